// Reading the shapes of features.h off a position, unrolled: the evaluation
// sums weights with it and the fitting tool collects indices with it.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <utility>

#include "eval/features.h"

namespace eval::detail {

// A pattern of up to ten cells, one bit each, as a base-3 number with 1 in
// every set cell's digit.
constexpr std::array<uint16_t, 1024> ternary = [] {
    std::array<uint16_t, 1024> t{};
    for (int b = 0; b < 1024; ++b)
        for (int i = 0, p = 1; i < 10; ++i, p *= 3)
            if (b >> i & 1)
                t[b] += static_cast<uint16_t>(p);
    return t;
}();

// The board mirrored: column a <-> h (each column is a byte), row 1 <-> 8,
// and about the a1-h8 diagonal.
inline Bits mirrorColumns(Bits b)
{
    return __builtin_bswap64(b);
}

inline Bits mirrorRows(Bits b)
{
    b = ((b >> 1) & 0x5555555555555555ull) | ((b & 0x5555555555555555ull) << 1);
    b = ((b >> 2) & 0x3333333333333333ull) | ((b & 0x3333333333333333ull) << 2);
    return ((b >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((b & 0x0F0F0F0F0F0F0F0Full) << 4);
}

inline Bits transpose(Bits b)
{
    Bits t = 0x0F0F0F0F00000000ull & (b ^ (b << 28));
    b ^= t ^ (t >> 28);
    t = 0x3333000033330000ull & (b ^ (b << 14));
    b ^= t ^ (t >> 14);
    t = 0x5500550055005500ull & (b ^ (b << 7));
    return b ^ t ^ (t >> 7);
}

// The board in eight orientations: as it is, transposed, with columns a-h
// swapped, both (in that order), then each of these with rows 1-8 swapped.
constexpr int Orientations = 8;
inline std::array<Bits, Orientations> orientations(Bits b)
{
    const Bits t = transpose(b);
    const Bits c = mirrorColumns(b), tc = mirrorColumns(t);
    return {b, t, c, tc, mirrorRows(b), mirrorRows(t), mirrorRows(c), mirrorRows(tc)};
}

// The orientations that bring each shape to a place of its own, as bit
// masks: the four edges and lines (a, row 1, h, row 8), the four corners
// (a1, h1, a8, h8), the oblong in all eight, the two long diagonals, and
// four of each shorter length (both sides of both long diagonals).
constexpr unsigned char placesOf[Shapes] = {0x0F, 0x55, 0xFF, 0x0F, 0x0F, 0x0F, 0x05, 0x17, 0x17, 0x17, 0x17};
static_assert([] {
    int n = 0;
    for (unsigned char m : placesOf)
        n += std::popcount(m);
    return n;
}() == PatternReadings);

// The diagonal from a(1 + Shift) towards h, one bit per cell in column
// order. Its cells lie in different bytes, so the multiplication gathers
// them into the top byte without carries.
template <int Shift> inline unsigned diagonal(Bits b)
{
    constexpr Bits mask = [] {
        Bits m = 0;
        for (int column = 0; column + Shift < 8; ++column)
            m |= Bits{1} << (column * 9 + Shift);
        return m;
    }();
    return static_cast<unsigned>(((b & mask) * 0x0101010101010101ull) >> (56 + Shift));
}

// The cells of a shape at a1, one bit each in the shape's order: the edge
// a1..a8 then b2, b7; the square a1 a2 a3 b1 b2 b3 c1 c2 c3; the oblong
// a1..a5 b1..b5; a line's cells from row 1; a diagonal's from column a.
template <int S> inline unsigned shapeAt(Bits b)
{
    if constexpr (S == EdgeX)
        return static_cast<unsigned>((b & 0xFF) | ((b >> 1) & 0x100) | ((b >> 5) & 0x200));
    else if constexpr (S == Corner9)
        return static_cast<unsigned>((b & 7) | ((b >> 5) & 0x38) | ((b >> 10) & 0x1C0));
    else if constexpr (S == Corner10)
        return static_cast<unsigned>((b & 0x1F) | ((b >> 3) & 0x3E0));
    else if constexpr (S <= Line4)
        return static_cast<unsigned>(b >> (8 * (S - Line2 + 1)) & 0xFF);
    else
        return diagonal<S - Diagonal8>(b);
}

template <int O, int... S, class Visit>
inline void readOrientation(Bits own, Bits opp, std::integer_sequence<int, S...>, Visit& visit)
{
    auto read = [&]<int Shape>() {
        if constexpr (placesOf[Shape] >> O & 1)
            visit(shapeOffset(Shape) + ternary[shapeAt<Shape>(own)] + 2 * ternary[shapeAt<Shape>(opp)]);
    };
    (read.template operator()<S>(), ...);
}

template <int... O, class Visit>
inline void readAll(const std::array<Bits, Orientations>& owns, const std::array<Bits, Orientations>& opps,
                    std::integer_sequence<int, O...>, Visit& visit)
{
    (readOrientation<O>(owns[O], opps[O], std::make_integer_sequence<int, Shapes>{}, visit), ...);
}

// Calls visit(index) for each of the PatternReadings shape readings.
template <class Visit> inline void readShapes(Bits own, Bits opp, Visit visit)
{
    readAll(orientations(own), orientations(opp), std::make_integer_sequence<int, Orientations>{}, visit);
}

inline int mobilityIndex(int offset, Bits moves)
{
    const int n = stoneCount(moves);
    return offset + (n < MobilityWeights ? n : MobilityWeights - 1);
}

} // namespace eval::detail

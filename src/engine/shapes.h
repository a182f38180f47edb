// Stone shapes read off a position wherever the board's symmetries put them.
// The solver's pattern estimate and the trained evaluation both read them,
// each at places of its own choosing and with weights of its own.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <utility>

#include "engine/bits.h"

// The shapes, each anchored at the corner a1.
enum Shape {
    EdgeX,    // an edge and the two cells diagonal to its corners
    Corner9,  // the 3x3 square at a corner
    Corner10, // the 2x5 oblong at a corner, along one edge
    Line2,    // the lines parallel to an edge, one to three cells in
    Line3,
    Line4,
    Diagonal8, // the diagonals of 8 down to 4 cells
    Diagonal7,
    Diagonal6,
    Diagonal5,
    Diagonal4,
    Shapes
};
constexpr int shapeCells[Shapes] = {10, 9, 10, 8, 8, 8, 8, 7, 6, 5, 4};

constexpr int powerOf3(int n)
{
    return n == 0 ? 1 : 3 * powerOf3(n - 1);
}

// Where each shape's weights start in a table of all shapes' weights. An
// arrangement of stones is a base-3 number, one digit per cell in the
// shape's order: 0 empty, 1 the side to move, 2 the other side.
constexpr int shapeOffset(int shape)
{
    return shape == 0 ? 0 : shapeOffset(shape - 1) + powerOf3(shapeCells[shape - 1]);
}
constexpr int ShapeWeights = shapeOffset(Shapes);

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

// The orientations each shape is read in, one bit per orientation: those
// that bring it to a place of its own (the others repeat a reading, perhaps
// reversed). Which of them an evaluation picks fixes the order of its
// readings and the meaning of its stored weights.
using Places = std::array<unsigned char, Shapes>;

constexpr int readingsOf(const Places& places)
{
    int n = 0;
    for (unsigned char m : places)
        n += std::popcount(m);
    return n;
}

namespace shapes_detail {

template <Places P, int O, int... S, class Visit>
inline void readOrientation(Bits own, Bits opp, std::integer_sequence<int, S...>, Visit& visit)
{
    auto read = [&]<int K>() {
        if constexpr (P[K] >> O & 1)
            visit(shapeOffset(K) + ternary[shapeAt<K>(own)] + 2 * ternary[shapeAt<K>(opp)]);
    };
    (read.template operator()<S>(), ...);
}

template <Places P, int... O, class Visit>
inline void readAll(const std::array<Bits, Orientations>& owns, const std::array<Bits, Orientations>& opps,
                    std::integer_sequence<int, O...>, Visit& visit)
{
    (readOrientation<P, O>(owns[O], opps[O], std::make_integer_sequence<int, Shapes>{}, visit), ...);
}

} // namespace shapes_detail

// Calls visit(index among ShapeWeights) for each reading at the places P,
// orientation by orientation and shape by shape within one, all unrolled.
template <Places P, class Visit> inline void readShapes(Bits own, Bits opp, Visit visit)
{
    shapes_detail::readAll<P>(orientations(own), orientations(opp),
                              std::make_integer_sequence<int, Orientations>{}, visit);
}

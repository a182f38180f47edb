#include "engine/patterns.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace {

// Written by the build from src/engine/pattern-weights.bin.
constexpr unsigned char weightBytes[] = {
#include "pattern_weights.inc"
};
static_assert(sizeof weightBytes == PatternWeightCount * sizeof(int16_t), "pattern-weights.bin is stale");
static_assert(std::endian::native == std::endian::little, "the weights are stored little-endian");

// One weight, read in place (the copy compiles to a single load).
inline int weightAt(int index)
{
    int16_t w;
    std::memcpy(&w, weightBytes + index * sizeof w, sizeof w);
    return w;
}

// A stone pattern of up to ten cells, one bit each, read as a ternary number:
// own stones count 1, the opponent's 2.
constexpr std::array<uint16_t, 1024> ternaryOf = [] {
    std::array<uint16_t, 1024> t{};
    for (int b = 0; b < 1024; ++b)
        for (int i = 0, p = 1; i < 10; ++i, p *= 3)
            if (b >> i & 1)
                t[b] += p;
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

// The eight orientations of one side's stones, in the order the header gives.
inline std::array<Bits, Symmetries> orientations(Bits b)
{
    const Bits t = transpose(b);
    const Bits c = mirrorColumns(b), tc = mirrorColumns(t);
    return {b, t, c, tc, mirrorRows(b), mirrorRows(t), mirrorRows(c), mirrorRows(tc)};
}

// The orientations that bring each shape to a place of its own (the others
// repeat a reading, perhaps reversed): the four edges and lines (a, row 1,
// h, row 8), the four corners, all eight for the corner's oblong, both long
// diagonals, and both sides of each for the shorter ones.
constexpr unsigned char placesOf[PatternKinds] = {0x0F, 0x8D, 0xFF, 0x0F, 0x0F, 0x0F,
                                                  0x05, 0x17, 0x17, 0x17, 0x17};
static_assert([] {
    int n = 0;
    for (unsigned char m : placesOf)
        n += std::popcount(m);
    return n;
}() == PatternFeatures);

// The diagonal starting at a(1 + shift), one bit per column, as bits 0..7-shift.
// Each cell lies in a column byte of its own, so the multiplication gathers
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

// The cells of one shape in one orientation, as a bit pattern.
template <int Kind> inline unsigned shapeOf(Bits b)
{
    if constexpr (Kind == EdgeX)
        return static_cast<unsigned>((b & 0xFF) | ((b >> 1) & 0x100) | ((b >> 5) & 0x200));
    else if constexpr (Kind == Corner9)
        return static_cast<unsigned>((b & 7) | ((b >> 5) & 0x38) | ((b >> 10) & 0x1C0));
    else if constexpr (Kind == Corner10)
        return static_cast<unsigned>((b & 0x1F) | ((b >> 3) & 0x3E0));
    else if constexpr (Kind <= Line4)
        return static_cast<unsigned>(b >> (8 * (Kind - Line2 + 1)) & 0xFF);
    else
        return diagonal<Kind - Diagonal8>(b);
}

constexpr auto offsets = [] {
    std::array<int, PatternKinds> o{};
    for (int k = 0; k < PatternKinds; ++k)
        o[k] = patternOffset(k);
    return o;
}();

// Calls visit(index in the weight table) for each reading, all unrolled:
// only the shapes each orientation needs are read.
template <int S, int... Kinds, class Visit>
inline void readOrientation(Bits own, Bits opp, std::integer_sequence<int, Kinds...>, Visit& visit)
{
    auto read = [&]<int Kind>() {
        if constexpr (placesOf[Kind] >> S & 1)
            visit(offsets[Kind] + ternaryOf[shapeOf<Kind>(own)] + 2 * ternaryOf[shapeOf<Kind>(opp)]);
    };
    (read.template operator()<Kinds>(), ...);
}

template <int... S, class Visit>
inline void readAll(const std::array<Bits, Symmetries>& owns, const std::array<Bits, Symmetries>& opps,
                    std::integer_sequence<int, S...>, Visit& visit)
{
    (readOrientation<S>(owns[S], opps[S], std::make_integer_sequence<int, PatternKinds>{}, visit), ...);
}

template <class Visit> inline void readShapes(Bits own, Bits opp, Visit visit)
{
    readAll(orientations(own), orientations(opp), std::make_integer_sequence<int, Symmetries>{}, visit);
}

} // namespace

void patternOrientations(Bits b, Bits out[Symmetries])
{
    const auto all = orientations(b);
    std::copy(all.begin(), all.end(), out);
}

void patternIndices(Bits own, Bits opp, int indices[PatternFeatures])
{
    int n = 0;
    readShapes(own, opp, [&](int index) { indices[n++] = index; });
}

int patternValue(Bits own, Bits opp)
{
    int v = 0;
    readShapes(own, opp, [&](int index) { v += weightAt(index); });
    return v;
}

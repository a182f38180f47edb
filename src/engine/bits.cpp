#include "engine/bits.h"
#include "engine/line_masks.h"

#include <array>
#include <bit>
#include <utility>

namespace bits_detail {

namespace {

constexpr Bits rayFrom(int bit, int columnStep, int rowStep)
{
    Bits ray = 0;
    int column = bit / 8 + columnStep, row = bit % 8 + rowStep;
    for (; column >= 0 && column < 8 && row >= 0 && row < 8; column += columnStep, row += rowStep)
        ray |= Bits{1} << (column * 8 + row);
    return ray;
}

// The stones turned along one line from cell Bit: the run of `opp` next to
// it, when an `own` stone ends it. Branch-free: along a line that raises the
// bit index a carry runs through the run to the first other cell; along one
// that lowers it, that cell is the highest of the line not held by `opp`.
template <int Bit, int ColumnStep, int RowStep> Bits flipsAlong(Bits own, Bits opp)
{
    constexpr Bits ray = rayFrom(Bit, ColumnStep, RowStep);
    if constexpr (std::popcount(ray) < 2) {
        return 0; // no room for a run and the stone ending it
    } else if constexpr (ColumnStep * 8 + RowStep > 0) {
        const Bits end = ((opp | ~ray) + 1) & own & ray;
        return (end - (end != 0)) & ray;
    } else {
        // Bit 0 stands in when the whole line is `opp`; it is no `own` end then.
        const Bits end = (Bits{1} << 63 >> __builtin_clzll((ray & ~opp) | 1)) & own & ray;
        return (0 - (end << 1)) & ray;
    }
}

template <int Bit> Bits flipsAtCell(Bits own, Bits opp)
{
    return flipsAlong<Bit, 0, 1>(own, opp) | flipsAlong<Bit, 1, -1>(own, opp) |
           flipsAlong<Bit, 1, 0>(own, opp) | flipsAlong<Bit, 1, 1>(own, opp) |
           flipsAlong<Bit, 0, -1>(own, opp) | flipsAlong<Bit, -1, 1>(own, opp) |
           flipsAlong<Bit, -1, 0>(own, opp) | flipsAlong<Bit, -1, -1>(own, opp);
}

template <std::size_t... Bit> constexpr std::array<FlipsFn, 64> makeFlipsAt(std::index_sequence<Bit...>)
{
    return {&flipsAtCell<Bit>...};
}

} // namespace

constinit const std::array<FlipsFn, 64> flipsAt = makeFlipsAt(std::make_index_sequence<64>{});

constinit const std::array<FlipLines, 64> flipLines = [] {
    constexpr int steps[4][2] = {{0, 1}, {1, 0}, {1, 1}, {1, -1}}; // bit steps 1, 8, 9 and 7
    std::array<FlipLines, 64> t{};
    for (int bit = 0; bit < 64; ++bit)
        for (int lane = 0; lane < 4; ++lane) {
            t[bit].up[lane] = rayFrom(bit, steps[lane][0], steps[lane][1]);
            t[bit].down[lane] = rayFrom(bit, -steps[lane][0], -steps[lane][1]);
        }
    return t;
}();

#if defined(REVERSE_AVX2_MOVES)
// Set before main, perhaps before the compiler's own start-up detection has
// run, hence the explicit init. The check also asks whether the system saves
// the vector registers.
const bool avx2Moves =
    (__builtin_cpu_init(), __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                               __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt"));
#endif

} // namespace bits_detail

Bits bitsOfColour(int colour, const Board& board)
{
    Bits b = 0;
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (board[cellIndex(column, row)] == colour)
                b |= Bits{1} << bitOf(column, row);
    return b;
}

Board boardOfBits(Bits black, Bits white)
{
    Board board{};
    for (int bit = 0; bit < 64; ++bit) {
        const Move m = moveOfBit(bit);
        if (black >> bit & 1)
            board[cellIndex(m.column, m.row)] = Black;
        else if (white >> bit & 1)
            board[cellIndex(m.column, m.row)] = White;
    }
    return board;
}

namespace {

// Line patterns: cell values 0 empty, 1 the evaluated side, 2 the other side.
constexpr int LinePatterns = 6561;

// One side's share of the edge terms on one edge line c[0..7] (corners at
// both ends): the corner runs along this line, the corner bonus where the
// line owns its corners, and the edge shape (C cells and the held middle).
constexpr int lineSideScore(const int c[8], int s, bool countCorners)
{
    int v = 0;
    if (c[0] == s) {
        v += countCorners ? 10000 : 0;
        for (int i = 1; i < 8 && c[i] == s; ++i)
            v += 600;
    }
    if (c[7] == s) {
        v += countCorners ? 10000 : 0;
        for (int i = 6; i >= 0 && c[i] == s; --i)
            v += 600;
    }
    const bool middleHeld = c[2] == s && c[3] == s && c[4] == s && c[5] == s;
    if (c[0] == 0 && c[7] == 0 && middleHeld) {
        const int a = c[1], b = c[6];
        if (a == b)
            v += 1000;
        else if ((a == s && b == 0) || (a == 0 && b == s))
            v -= 1000;
    } else {
        if (c[1] == s && c[0] == 0)
            v -= 900;
        if (c[6] == s && c[7] == 0)
            v -= 900;
    }
    return v;
}

struct LineTables {
    int withCorners[LinePatterns]; // the column edges, which hold all four corners
    int noCorners[LinePatterns];   // the row edges
    int base3[256];                // an 8-bit line as a base-3 number of 0/1 digits
};

constexpr LineTables makeLineTables()
{
    LineTables t{};
    for (int p = 0; p < LinePatterns; ++p) {
        int c[8] = {};
        for (int i = 0, q = p; i < 8; ++i, q /= 3)
            c[i] = q % 3;
        t.withCorners[p] = lineSideScore(c, 1, true) - lineSideScore(c, 2, true);
        t.noCorners[p] = lineSideScore(c, 1, false) - lineSideScore(c, 2, false);
    }
    for (int b = 0; b < 256; ++b)
        for (int i = 7; i >= 0; --i)
            t.base3[b] = t.base3[b] * 3 + (b >> i & 1);
    return t;
}

constinit const LineTables lineTables = makeLineTables();

// Row r (0-based) of every column gathered into one byte, column 1 lowest.
inline unsigned rowLine(Bits b, int r)
{
    return static_cast<unsigned>((((b >> r) & 0x0101010101010101ull) * 0x0102040810204080ull) >> 56);
}

inline int linePattern(unsigned own, unsigned opp)
{
    return lineTables.base3[own] + 2 * lineTables.base3[opp];
}

int edgeTerms(Bits own, Bits opp)
{
    const LineTables& t = lineTables;
    return t.withCorners[linePattern(own & 0xFF, opp & 0xFF)] +
           t.withCorners[linePattern(own >> 56, opp >> 56)] +
           t.noCorners[linePattern(rowLine(own, 0), rowLine(opp, 0))] +
           t.noCorners[linePattern(rowLine(own, 7), rowLine(opp, 7))];
}

// Diagonal neighbours of empty corners.
int xCellTerms(Bits own, Bits opp)
{
    constexpr int cornerAndX[4][2] = {{0, 9}, {7, 14}, {56, 49}, {63, 54}};
    const Bits empty = ~(own | opp);
    int v = 0;
    for (const auto& cx : cornerAndX) {
        if (!(empty >> cx[0] & 1))
            continue;
        v -= 950 * static_cast<int>(own >> cx[1] & 1);
        v += 950 * static_cast<int>(opp >> cx[1] & 1);
    }
    return v;
}

} // namespace

int evaluateBitsWithMobility(Bits own, Bits opp, int ownMoves, int oppMoves)
{
    const int stoneDiff = stoneCount(own) - stoneCount(opp);
    if (ownMoves == 0 && oppMoves == 0) {
        const int v = stoneDiff * 1000;
        return v > 0 ? v + 300000 : v < 0 ? v - 300000 : 0;
    }
    return edgeTerms(own, opp) + xCellTerms(own, opp) + 70 * (ownMoves - oppMoves) - 50 * stoneDiff;
}

int evaluateBits(Bits own, Bits opp)
{
    return evaluateBitsWithMobility(own, opp, stoneCount(legalMoves(own, opp)),
                                    stoneCount(legalMoves(opp, own)));
}

uint64_t perftBits(Bits own, Bits opp, int depth)
{
    if (depth == 0)
        return 1;
    Bits moves = legalMoves(own, opp);
    if (moves == 0)
        return legalMoves(opp, own) == 0 ? 1 : perftBits(opp, own, depth - 1);
    uint64_t n = 0;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        n += depth == 1 ? 1 : perftBits(opp & ~flips, own | flips | Bits{1} << bit, depth - 1);
    }
    return n;
}

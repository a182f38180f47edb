#include "engine/stability.h"

#include <array>

#include "engine/line_masks.h"

namespace {

constexpr Bits Row1 = 0x0101010101010101ull, Row8 = 0x8080808080808080ull;
constexpr Bits Column1 = 0xFFull, Column8 = 0xFF00000000000000ull;
constexpr Bits Border = Row1 | Row8 | Column1 | Column8;

// Cells fewer than 1, 2 and 4 steps from the border when stepping `shift`
// bits up (along +) or down (along -) one axis.
struct AxisMasks {
    Bits up[3], down[3];
};

constexpr int stepsToBorder(int bit, int dc, int dr)
{
    int n = 0;
    for (int c = bit / 8 + dc, r = bit % 8 + dr; c >= 0 && c < 8 && r >= 0 && r < 8; c += dc, r += dr)
        ++n;
    return n;
}

constexpr AxisMasks makeAxis(int dc, int dr)
{
    AxisMasks m{};
    for (int bit = 0; bit < 64; ++bit)
        for (int k = 0; k < 3; ++k) {
            if (stepsToBorder(bit, dc, dr) < 1 << k)
                m.up[k] |= Bits{1} << bit;
            if (stepsToBorder(bit, -dc, -dr) < 1 << k)
                m.down[k] |= Bits{1} << bit;
        }
    return m;
}

// Shift 1 steps down a column, 8 along a row, 9 and 7 along the diagonals.
constexpr AxisMasks columnAxis = makeAxis(0, 1), rowAxis = makeAxis(1, 0), risingAxis = makeAxis(1, 1),
                    fallingAxis = makeAxis(1, -1);

} // namespace

constinit const std::array<bits_detail::FullLineMasks, 3> bits_detail::fullLineMasks = [] {
    std::array<FullLineMasks, 3> t{};
    const AxisMasks* axes[4] = {&columnAxis, &rowAxis, &risingAxis, &fallingAxis};
    for (int k = 0; k < 3; ++k)
        for (int lane = 0; lane < 4; ++lane) {
            t[k].up[lane] = axes[lane]->up[k];
            t[k].down[lane] = axes[lane]->down[k];
        }
    return t;
}();

namespace {

// Cells whose whole line along one axis is occupied: each doubling step
// checks twice as many cells on either side, the border counting as full.
template <int Shift> Bits fullAlong(Bits occupied, const AxisMasks& m)
{
    Bits up = occupied, down = occupied;
    up &= (up >> Shift) | m.up[0];
    down &= (down << Shift) | m.down[0];
    up &= (up >> 2 * Shift) | m.up[1];
    down &= (down << 2 * Shift) | m.down[1];
    up &= (up >> 4 * Shift) | m.up[2];
    down &= (down << 4 * Shift) | m.down[2];
    return up & down;
}

// Cells whose line along each axis is full: no move can turn along it.
struct FullLines {
    Bits column, row, rising, falling;
};

FullLines fullLines(Bits occupied)
{
    return {fullAlong<1>(occupied, columnAxis), fullAlong<8>(occupied, rowAxis),
            fullAlong<9>(occupied, risingAxis), fullAlong<7>(occupied, fallingAxis)};
}

// Stones of one edge line (8 cells, one byte per side) that no sequence of
// moves can turn. An edge stone lies at the end of every other line through
// it, so only moves along the edge can turn it: what holds on the line alone
// holds on the board. Any empty cell may be filled by either side (a move may
// be legal through another line), turning along the line what it encloses.
class EdgeTable {
  public:
    EdgeTable()
    {
        for (int own = 0; own < 256; ++own)
            for (int opp = 0; opp < 256; ++opp)
                known_[own][opp] = false;
        for (int own = 0; own < 256; ++own)
            for (int opp = 0; opp < 256; ++opp)
                if ((own & opp) == 0)
                    stable(own, opp);
    }
    unsigned char operator()(unsigned own, unsigned opp) const { return stable_[own][opp]; }
    const unsigned char (&lines() const)[256][256] { return stable_; }

  private:
    alignas(64) unsigned char stable_[256][256];
    bool known_[256][256];

    // Stones of `p` turned by `p` playing cell x of the line.
    static int turned(int x, int p, int q)
    {
        int flips = 0;
        for (int step : {-1, 1}) {
            int run = 0, i = x + step;
            for (; i >= 0 && i < 8 && (q >> i & 1); i += step)
                run |= 1 << i;
            if (i >= 0 && i < 8 && (p >> i & 1))
                flips |= run;
        }
        return flips;
    }

    unsigned char stable(int own, int opp)
    {
        if (known_[own][opp])
            return stable_[own][opp];
        int result = own;
        const int empty = ~(own | opp) & 0xFF;
        for (int x = 0; x < 8; ++x) {
            if (!(empty >> x & 1))
                continue;
            const int byOwn = turned(x, own, opp), byOpp = turned(x, opp, own);
            result &= stable(own | byOwn | 1 << x, opp & ~byOwn);
            result &= stable(own & ~byOpp, opp | byOpp | 1 << x);
        }
        known_[own][opp] = true;
        stable_[own][opp] = static_cast<unsigned char>(result);
        return stable_[own][opp];
    }
};

// Made before main, as the search reads it without a guard.
const EdgeTable edges;

const EdgeTable& edgeTable()
{
    return edges;
}

// Row 1 (r = 0) or row 8 (r = 7) of every column as one byte, column 1 lowest.
inline unsigned rowOf(Bits b, int r)
{
    return static_cast<unsigned>((((b >> r) & Row1) * 0x0102040810204080ull) >> 56);
}

// rowOf undone: bit c of a line goes to row 1 of column c + 1.
constexpr std::array<Bits, 256> rowSpread = [] {
    std::array<Bits, 256> t{};
    for (unsigned line = 0; line < 256; ++line)
        for (int c = 0; c < 8; ++c)
            if (line >> c & 1)
                t[line] |= Bits{1} << c * 8;
    return t;
}();

inline Bits spreadRow(unsigned line, int r)
{
    return rowSpread[line] << r;
}

} // namespace

const unsigned char (&stability_detail::edgeLines)[256][256] = edges.lines();

Bits edgeStable(Bits own, Bits opp)
{
    const EdgeTable& t = edgeTable();
    Bits s = t(own & 0xFF, opp & 0xFF);
    s |= Bits{t(own >> 56, opp >> 56)} << 56;
    s |= spreadRow(t(rowOf(own, 0), rowOf(opp, 0)), 0);
    s |= spreadRow(t(rowOf(own, 7), rowOf(opp, 7)), 7);
    return s;
}

Bits stableStones(Bits own, Bits opp)
{
    const FullLines f = fullLines(own | opp);
    const Bits notRow1 = ~Row1, notRow8 = ~Row8;
    const Bits seed = edgeStable(own, opp);
    Bits stable = seed;
    for (;;) {
        const Bits alongColumn =
            f.column | Row1 | Row8 | ((stable << 1) & notRow1) | ((stable >> 1) & notRow8);
        const Bits alongRow = f.row | Column1 | Column8 | (stable << 8) | (stable >> 8);
        const Bits alongRising = f.rising | Border | ((stable << 9) & notRow1) | ((stable >> 9) & notRow8);
        const Bits alongFalling = f.falling | Border | ((stable << 7) & notRow8) | ((stable >> 7) & notRow1);
        const Bits next = seed | (own & alongColumn & alongRow & alongRising & alongFalling);
        if (next == stable)
            return stable;
        stable = next;
    }
}

// Exact endgame solver: negamax over the final disc difference (empty cells
// count for nobody) with fail-soft alpha-beta. Near the end it tries moves in
// odd regions first (parity); deeper it orders by the opponent's mobility
// and keeps bounds in a transposition table. The value of a position does not
// depend on the search that found it, so table entries stay valid forever.
#include <atomic>

#include "ai/levels.h"
#include "engine/bits.h"
#include "engine/engine.h"

namespace {

constexpr int Inf = 64;          // no final difference lies outside +-64, so this window is exact
constexpr int ParityDepth = 7;   // at or below this many empties: parity order, no table
constexpr int TryCellsDepth = 4; // at or below: no move generation
constexpr Bits Corners = (Bits{1} << 0) | (Bits{1} << 7) | (Bits{1} << 56) | (Bits{1} << 63);
constexpr Bits Quadrants[4] = {0x000000000F0F0F0Full, 0x00000000F0F0F0F0ull, 0x0F0F0F0F00000000ull,
                               0xF0F0F0F000000000ull};

thread_local uint64_t nodeCount = 0;

// Bounds on the exact value of one position.
struct TableEntry {
    Bits own, opp;
    signed char lower, upper;
    signed char bestBit; // -1 when unknown
};

constexpr int TableBits = 20;
TableEntry table[1 << TableBits];
// One search at a time owns the table; a second thread searches without it.
std::atomic_flag tableBusy = ATOMIC_FLAG_INIT;
thread_local bool tableOwned = false;

inline unsigned tableIndex(Bits own, Bits opp)
{
    const Bits h = own * 0x9E3779B97F4A7C15ull ^ (opp + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<unsigned>(h >> (64 - TableBits));
}

inline int finalDiff(Bits own, Bits opp)
{
    return stoneCount(own) - stoneCount(opp);
}

// Exactly one empty cell, at `bit`.
int solveLastCell(Bits own, Bits opp, int bit)
{
    ++nodeCount;
    Bits flips = flipsOf(bit, own, opp);
    if (flips)
        return 2 * stoneCount(own | flips) + 2 - 64;
    flips = flipsOf(bit, opp, own);
    if (flips)
        return 64 - 2 * (stoneCount(opp | flips) + 1);
    return finalDiff(own, opp);
}

int solveDeep(Bits own, Bits opp, int alpha, int beta, int empties);

constexpr Bits Row1 = 0x0101010101010101ull, Row8 = 0x8080808080808080ull;
constexpr Bits Column1 = 0xFFull, Column8 = 0xFF00000000000000ull;
constexpr Bits Border = Row1 | Row8 | Column1 | Column8;

struct DiagonalMasks {
    Bits rising[15], falling[15]; // along +9 and along +7
};

constexpr DiagonalMasks makeDiagonals()
{
    DiagonalMasks d{};
    for (int bit = 0; bit < 64; ++bit) {
        const int c = bit / 8, r = bit % 8;
        d.rising[c - r + 7] |= Bits{1} << bit;
        d.falling[c + r] |= Bits{1} << bit;
    }
    return d;
}

constinit const DiagonalMasks diagonals = makeDiagonals();

// Cells whose line along each axis is full: no move can turn along it.
struct FullLines {
    Bits column, row, rising, falling;
};

FullLines fullLines(Bits occupied)
{
    FullLines f{};
    Bits t = occupied & (occupied >> 1);
    t &= t >> 2;
    t &= t >> 4;
    f.column = (t & Row1) * 0xFF;
    t = occupied & (occupied >> 8);
    t &= t >> 16;
    t &= t >> 32;
    f.row = (t & Column1) * Row1;
    for (int i = 0; i < 15; ++i) {
        if ((occupied & diagonals.rising[i]) == diagonals.rising[i])
            f.rising |= diagonals.rising[i];
        if ((occupied & diagonals.falling[i]) == diagonals.falling[i])
            f.falling |= diagonals.falling[i];
    }
    return f;
}

// Stones of `own` that can never be turned: along every axis the line is
// full, or a neighbour is the border or another such stone.
Bits stableStones(Bits own, Bits opp)
{
    const FullLines f = fullLines(own | opp);
    const Bits notRow1 = ~Row1, notRow8 = ~Row8;
    Bits stable = 0;
    for (;;) {
        const Bits alongColumn =
            f.column | Row1 | Row8 | ((stable << 1) & notRow1) | ((stable >> 1) & notRow8);
        const Bits alongRow = f.row | Column1 | Column8 | (stable << 8) | (stable >> 8);
        const Bits alongRising = f.rising | Border | ((stable << 9) & notRow1) | ((stable >> 9) & notRow8);
        const Bits alongFalling = f.falling | Border | ((stable << 7) & notRow8) | ((stable >> 7) & notRow1);
        const Bits next = own & alongColumn & alongRow & alongRising & alongFalling;
        if (next == stable)
            return stable;
        stable = next;
    }
}

// Exactly two empty cells, a and b: no lists, no ordering.
int solveTwoCells(Bits own, Bits opp, int alpha, int beta, int a, int b)
{
    ++nodeCount;
    int best = -Inf;
    bool moved = false;
    if (const Bits flips = flipsOf(a, own, opp)) {
        moved = true;
        best = -solveLastCell(opp & ~flips, own | flips | Bits{1} << a, b);
        if (best >= beta)
            return best;
    }
    if (const Bits flips = flipsOf(b, own, opp)) {
        moved = true;
        const int v = -solveLastCell(opp & ~flips, own | flips | Bits{1} << b, a);
        best = v > best ? v : best;
    }
    if (moved)
        return best;
    if (flipsOf(a, opp, own) == 0 && flipsOf(b, opp, own) == 0)
        return finalDiff(own, opp);
    --nodeCount; // the pass is not a node of its own
    return -solveTwoCells(opp, own, -beta, -alpha, a, b);
}

// The opponent keeps its stable stones, which caps what this side can reach.
// Worked out only when even all opponent stones being stable could cut.
inline int stabilityCeiling(Bits own, Bits opp, int alpha)
{
    if (64 - 2 * stoneCount(opp) > alpha)
        return Inf;
    return 64 - 2 * stoneCount(stableStones(opp, own));
}

// Few empties: no table, odd regions first. With very few empties it is
// cheaper to try each empty cell than to generate the moves first.
int solveShallow(Bits own, Bits opp, int alpha, int beta, int empties)
{
    const Bits empty = ~(own | opp);
    if (empties == 1)
        return solveLastCell(own, opp, lowestBit(empty));
    if (empties == 2)
        return solveTwoCells(own, opp, alpha, beta, lowestBit(empty), 63 - __builtin_clzll(empty));
    ++nodeCount;
    if (empties >= 4)
        if (const int ceiling = stabilityCeiling(own, opp, alpha); ceiling <= alpha)
            return ceiling;
    const Bits tries = empties <= TryCellsDepth ? empty : legalMoves(own, opp);
    Bits odd = 0;
    for (Bits q : Quadrants)
        if (stoneCount(empty & q) & 1)
            odd |= q;
    int best = -Inf;
    bool moved = false;
    for (Bits group : {tries & odd, tries & ~odd}) {
        for (; group; group &= group - 1) {
            const int bit = lowestBit(group);
            const Bits flips = flipsOf(bit, own, opp);
            if (flips == 0)
                continue;
            moved = true;
            const int floor = best > alpha ? best : alpha;
            const int v =
                -solveShallow(opp & ~flips, own | flips | Bits{1} << bit, -beta, -floor, empties - 1);
            if (v > best) {
                best = v;
                if (best >= beta)
                    return best;
            }
        }
    }
    if (moved)
        return best;
    if (legalMoves(opp, own) == 0)
        return finalDiff(own, opp);
    --nodeCount; // the pass is not a node of its own
    return -solveShallow(opp, own, -beta, -alpha, empties);
}

int solve(Bits own, Bits opp, int alpha, int beta, int empties)
{
    return empties <= ParityDepth ? solveShallow(own, opp, alpha, beta, empties)
                                  : solveDeep(own, opp, alpha, beta, empties);
}

struct Child {
    Bits own, opp; // after the move, opponent to move first
    int key;       // lower is tried first
    int bit;
};

// Empty cells next to `stones`: where the other side may find moves later.
Bits frontier(Bits stones, Bits empty)
{
    const Bits notRow1 = 0xFEFEFEFEFEFEFEFEull, notRow8 = 0x7F7F7F7F7F7F7F7Full;
    const Bits spread = ((stones << 1) & notRow1) | ((stones >> 1) & notRow8) | (stones << 8) |
                        (stones >> 8) | ((stones << 9) & notRow1) | ((stones >> 9) & notRow8) |
                        ((stones << 7) & notRow8) | ((stones >> 7) & notRow1);
    return spread & empty;
}

// Fastest first: fewest replies for the opponent (corners count twice), few
// empty cells next to own stones, own corners a little earlier,
// the table's best move before everything.
int orderKey(Bits childOwn, Bits childOpp, int bit, int hint)
{
    if (bit == hint)
        return -1000;
    const Bits replies = legalMoves(childOwn, childOpp);
    int key = 16 * (stoneCount(replies) + stoneCount(replies & Corners));
    key += 4 * stoneCount(frontier(childOpp, ~(childOwn | childOpp)));
    key -= (Corners >> bit & 1) * 12;
    return key;
}

void storeBounds(TableEntry& e, Bits own, Bits opp, int lower, int upper, int bestBit)
{
    if (e.own != own || e.opp != opp) {
        e.own = own;
        e.opp = opp;
        e.lower = -64;
        e.upper = 64;
    }
    e.lower = static_cast<signed char>(lower > e.lower ? lower : e.lower);
    e.upper = static_cast<signed char>(upper < e.upper ? upper : e.upper);
    e.bestBit = static_cast<signed char>(bestBit);
}

int solveDeep(Bits own, Bits opp, int alpha, int beta, int empties)
{
    ++nodeCount;
    TableEntry* entry = nullptr;
    int hint = -1;
    if (tableOwned) {
        entry = &table[tableIndex(own, opp)];
        if (entry->own == own && entry->opp == opp && (own | opp) != 0) {
            if (entry->lower >= beta)
                return entry->lower;
            if (entry->upper <= alpha)
                return entry->upper;
            if (entry->lower == entry->upper)
                return entry->lower;
            alpha = alpha > entry->lower ? alpha : entry->lower;
            beta = beta < entry->upper ? beta : entry->upper;
            hint = entry->bestBit;
        }
    }
    if (const int ceiling = stabilityCeiling(own, opp, alpha); ceiling <= alpha)
        return ceiling;
    Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        if (legalMoves(opp, own) == 0)
            return finalDiff(own, opp);
        --nodeCount;
        return -solveDeep(opp, own, -beta, -alpha, empties);
    }
    Child children[64];
    int n = 0;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        Child& c = children[n++];
        c.own = opp & ~flips;
        c.opp = own | flips | Bits{1} << bit;
        c.bit = bit;
        c.key = orderKey(c.own, c.opp, bit, hint);
    }
    // A child already known to be bad enough for the opponent cuts at once.
    if (entry && empties - 1 > ParityDepth)
        for (int i = 0; i < n; ++i) {
            const TableEntry& e = table[tableIndex(children[i].own, children[i].opp)];
            if (e.own == children[i].own && e.opp == children[i].opp && -e.upper >= beta)
                return -e.upper;
        }
    const int alpha0 = alpha;
    int best = -Inf, bestBit = -1;
    for (int i = 0; i < n; ++i) {
        int pick = i;
        for (int j = i + 1; j < n; ++j)
            if (children[j].key < children[pick].key)
                pick = j;
        const Child c = children[pick];
        children[pick] = children[i];
        const int floor = best > alpha ? best : alpha;
        int v;
        if (i == 0) {
            v = -solve(c.own, c.opp, -beta, -floor, empties - 1);
        } else {
            // Later moves first only have to show they are no better.
            v = -solve(c.own, c.opp, -floor - 1, -floor, empties - 1);
            if (v > floor && v < beta)
                v = -solve(c.own, c.opp, -beta, -floor, empties - 1);
        }
        if (v > best) {
            best = v;
            bestBit = c.bit;
            if (best >= beta)
                break;
        }
    }
    if (entry) {
        const int lower = best > alpha0 ? best : -64;
        const int upper = best < beta ? best : 64;
        storeBounds(*entry, own, opp, lower, upper, bestBit);
    }
    return best;
}

// Exact value for `own` to move, passing if it must.
int solveExact(Bits own, Bits opp, int alpha, int beta)
{
    const int empties = 64 - stoneCount(own | opp);
    if (empties == 0)
        return finalDiff(own, opp);
    return solve(own, opp, alpha, beta, empties);
}

// Takes the table for this thread's search when no other search has it.
bool claimTable()
{
    if (tableOwned)
        return false;
    tableOwned = !tableBusy.test_and_set(std::memory_order_acquire);
    return tableOwned;
}

void releaseTable(bool claimed)
{
    if (!claimed)
        return;
    tableOwned = false;
    tableBusy.clear(std::memory_order_release);
}

} // namespace

void clearSolverTable()
{
    const bool claimed = claimTable();
    if (claimed)
        for (TableEntry& e : table)
            e = TableEntry{};
    releaseTable(claimed);
}

uint64_t solverNodes()
{
    return nodeCount;
}

void resetSolverNodes()
{
    nodeCount = 0;
}

int solveEndgame(int colour, const Board& board)
{
    const bool claimed = claimTable();
    const int v = solveExact(bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), -Inf, Inf);
    releaseTable(claimed);
    return v;
}

void fastSearchToEnd(int colour, const Board& board)
{
    const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
    Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        chosenMove = {0, 0};
        return;
    }
    const bool claimed = claimTable();
    int bestBit = -1, best = -Inf;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const Bits childOwn = opp & ~flips, childOpp = own | flips | Bits{1} << bit;
        if (bestBit >= 0 && -solveExact(childOwn, childOpp, -best - 1, -best) <= best)
            continue; // proved not strictly better
        const int v = -solveExact(childOwn, childOpp, -Inf, bestBit < 0 ? Inf : -best);
        if (bestBit < 0 || v > best) {
            best = v;
            bestBit = bit;
        }
    }
    releaseTable(claimed);
    bestScore = best;
    chosenMove = moveOfBit(bestBit);
}

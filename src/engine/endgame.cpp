// Exact endgame solver: fail-soft negamax over the final disc difference.
//
// - Null-window searches after the first move (PVS); a whole-window solve
//   first asks whether the value lies within three of a guess, then
//   whether it is the bound that answer proved, then widens the window from
//   each new bound. The guess is a draw, or from 22 empty cells the value of
//   a narrowed search that tries only the three best-ordered moves wherever
//   twelve or more cells are empty: far cheaper than the solve, and rarely
//   more than a few stones off. Its best moves also lead the solve's order.
// - A transposition table of proven bounds from six empty cells up (a small
//   one of its own up to seven), with enhanced transposition cutoffs from
//   seven.
// - A stability cutoff: the opponent's stable stones cap what the side to
//   move can reach.
// - Move ordering: the table's move first, then few replies for the opponent
//   (fastest first), few empty cells next to own stones, settled corner
//   stones, a cell in an odd quadrant; from fourteen empty cells also a
//   shallow search below each child (one ply, two from seventeen, three
//   from eighteen) of an estimate made of the same terms for both sides and
//   of edge, corner and diagonal patterns, exact only near the best
//   sibling's value. The table's move is tried before those searches: when
//   it cuts, they are saved.
// - Five empty cells: no table, fewest replies first. Four or fewer: moves
//   in odd quadrants first, and dedicated code for each count.
#include <utility>
#if defined(REVERSE_AVX2_MOVES)
#include <immintrin.h>

#include "engine/line_masks.h"
#endif

#include "ai/levels.h"
#include "engine/bits.h"
#include "engine/engine.h"
#include "engine/parallel.h"
#include "engine/patterns.h"
#include "engine/solver.h"
#include "engine/stability.h"
#include "engine/table.h"

namespace {

constexpr int Max = 64;            // no final difference lies outside +-64
constexpr int Unbounded = 1 << 29; // beyond any value of the shallow search
constexpr int ShallowMax = 4;      // at or below: no table, parity order
constexpr int LightCells = 5;      // here: no table, fewest replies first
constexpr int EtcMin = 7;          // from here: children's table bounds may cut at once
constexpr int ProbeMin = 14;       // from here: ordering by a shallow search of the children
constexpr int MidProbeMin = 17;    // from here it reaches two plies below each child
constexpr int DeepProbeMin = 18;   // and from here three (deeper costs more than it saves)
constexpr int AspirationMin = 12;  // from here a whole-window solve starts around a guess
constexpr int GuessMargin = 3;     // the first window: the guess plus or minus this
constexpr int StepWidth = 2;       // the first widening after a guess proved wrong twice
constexpr int GuessMin = 22;       // from here the guess comes from a narrowed search...
constexpr int GuessWidth = 3;      // ...of the best-ordered moves only
constexpr int GuessNarrowMin = 12; // at nodes with this many empty cells or more
constexpr int SplitMin = 12;       // from here a node may hand moves to other threads...
constexpr int SplitAfter = 2;      // ...once this many moves were searched without a cut
constexpr int ParallelMin = 16;    // a solve from fewer empty cells stays on one thread

// Ordering weights, per stone or cell. The order key scores one move; the
// estimate scores a position at the leaves of the shallow search.
constexpr int KeyReplies = 16, KeyFrontier = 2, KeyCorners = 4, KeyParity = 4;
constexpr int EstimateMoves = 16, EstimateFrontier = 8, EstimateCorners = 48, EstimateDisc = 16;
// A child's shallow search stops once the move proves this much worse than
// the best sibling so far: only its place near the back matters then.
constexpr int ProbeSlack = 64;

constexpr Bits Corners = 0x8100000000000081ull;
constexpr Bits NearCorners = 0x42C300000000C342ull; // the cells beside the corners
constexpr Bits Quadrants[4] = {0x000000000F0F0F0Full, 0x00000000F0F0F0F0ull, 0x0F0F0F0F00000000ull,
                               0xF0F0F0F000000000ull};

thread_local uint64_t nodeCount = 0;
std::atomic<bool> portableOnly{false};

template <Scoring S> inline int finalOf(Bits own, Bits opp)
{
    const int diff = stoneCount(own) - stoneCount(opp);
    if constexpr (S == Scoring::EmptiesToWinner) {
        const int empties = 64 - stoneCount(own | opp);
        return diff > 0 ? diff + empties : diff < 0 ? diff - empties : 0;
    }
    return diff;
}

// Empty cells of the quadrants holding an odd number of them: a move there
// tends to leave the last move of the region to this side.
inline Bits oddQuadrants(Bits empty)
{
    Bits odd = 0;
    for (Bits q : Quadrants)
        if (stoneCount(empty & q) & 1)
            odd |= q & empty;
    return odd;
}

// Empty cells next to `stones`: where the other side may find moves later.
inline Bits frontier(Bits stones, Bits empty)
{
    const Bits notRow1 = 0xFEFEFEFEFEFEFEFEull, notRow8 = 0x7F7F7F7F7F7F7F7Full;
    const Bits spread = ((stones << 1) & notRow1) | ((stones >> 1) & notRow8) | (stones << 8) |
                        (stones >> 8) | ((stones << 9) & notRow1) | ((stones >> 9) & notRow8) |
                        ((stones << 7) & notRow8) | ((stones >> 7) & notRow1);
    return spread & empty;
}

inline int weightedMoves(Bits moves)
{
    return stoneCount(moves) + stoneCount(moves & Corners);
}

// The empty cells, odd quadrants first, into cells[]; returns their count.
inline int parityOrdered(Bits empty, int cells[])
{
    const Bits odd = oddQuadrants(empty);
    int n = 0;
    for (Bits group : {empty & odd, empty & ~odd})
        for (; group; group &= group - 1)
            cells[n++] = lowestBit(group);
    return n;
}

// Stands for moves not worked out yet: no position has every cell free to play.
constexpr Bits UnknownMoves = ~Bits{0};

struct Child {
    Bits own, opp; // after the move: the opponent to move
    int key;       // higher is tried first
    int bit;
    Bits moves; // the opponent's, or UnknownMoves until the ordering needs them
};

// Swaps the highest key of children[i..n) into place i and returns it.
inline const Child& takeBest(Child children[], int i, int n)
{
    int pick = i;
    for (int j = i + 1; j < n; ++j)
        if (children[j].key > children[pick].key)
            pick = j;
    std::swap(children[i], children[pick]);
    return children[i];
}

// The search for any processor.
namespace portable {
[[gnu::always_inline]] inline Bits movesFor(Bits own, Bits opp)
{
    return bits_detail::portableLegalMoves(own, opp);
}
[[gnu::always_inline]] inline Bits flipsFor(int bit, Bits own, Bits opp)
{
    return bits_detail::portableFlips(bit, own, opp);
}
inline Bits stableFor(Bits own, Bits opp)
{
    return stableStones(own, opp);
}
#include "engine/endgame_search.h"
} // namespace portable

} // namespace

// The same search with the AVX2 forms inlined, chosen at start-up where the
// processor runs them. Only the code of this region is compiled for AVX2:
// what it calls from outside stays as it is, and all of it is internal.
#if defined(REVERSE_AVX2_MOVES)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,bmi,bmi2,popcnt"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,bmi,bmi2,popcnt")
#endif
#include "engine/kernels_avx2.h"
namespace {
namespace avx2 {
[[gnu::always_inline]] inline Bits movesFor(Bits own, Bits opp)
{
    return bits_detail::avx2::moves(own, opp);
}
[[gnu::always_inline]] inline Bits flipsFor(int bit, Bits own, Bits opp)
{
    return bits_detail::avx2::flips(bit, own, opp);
}
inline Bits stableFor(Bits own, Bits opp)
{
    return bits_detail::avx2::stable(own, opp);
}
#include "engine/endgame_search.h"
} // namespace avx2
} // namespace
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

namespace {

template <class Search>
int runOn(Bits own, Bits opp, int alpha, int beta, SolverTable& table, SolverTable& nearEnd,
          const StopFlag* stop, SolverPool* pool)
{
    Search search(table, nearEnd, stop);
    search.usePool(pool);
    // The pool's threads share the main table while the solve runs.
    table.share(pool != nullptr);
    const int v = search.run(own, opp, alpha, beta);
    table.share(false);
    nodeCount += search.nodes();
    return v;
}

template <Scoring S>
int runSearch(Bits own, Bits opp, int alpha, int beta, const StopFlag* stop, SolverHelpers* helpers)
{
    SolverTable& table = SolverTable::ofThisThread();
    SolverTable& nearEnd = SolverTable::nearEndOfThisThread();
    table.startSolve();
    nearEnd.startSolve();
    SolverPool* pool = helpers && 64 - stoneCount(own | opp) >= ParallelMin ? &helpers->pool() : nullptr;
#if defined(REVERSE_AVX2_MOVES)
    if (bits_detail::avx2Moves && !portableOnly.load(std::memory_order_relaxed))
        return runOn<avx2::Search<S>>(own, opp, alpha, beta, table, nearEnd, stop, pool);
#endif
    return runOn<portable::Search<S>>(own, opp, alpha, beta, table, nearEnd, stop, pool);
}

} // namespace

int finalScore(Bits own, Bits opp, Scoring scoring)
{
    return scoring == Scoring::EmptiesToWinner ? finalOf<Scoring::EmptiesToWinner>(own, opp)
                                               : finalOf<Scoring::EmptiesToNobody>(own, opp);
}

SolverHelpers::SolverHelpers(int threads)
{
    if (threads <= 0)
        threads = static_cast<int>(std::thread::hardware_concurrency());
    pool_ = std::make_unique<SolverPool>(threads > 1 ? threads - 1 : 0);
}

SolverHelpers::~SolverHelpers() = default;

int SolverHelpers::threads() const
{
    return pool_->threads();
}

int solveWindow(Bits own, Bits opp, Scoring scoring, int alpha, int beta, const StopFlag* stop,
                SolverHelpers* helpers)
{
    return scoring == Scoring::EmptiesToWinner
               ? runSearch<Scoring::EmptiesToWinner>(own, opp, alpha, beta, stop, helpers)
               : runSearch<Scoring::EmptiesToNobody>(own, opp, alpha, beta, stop, helpers);
}

Solution solveBest(Bits own, Bits opp, Scoring scoring, const StopFlag* stop, int preferBit,
                   SolverHelpers* helpers)
{
    const Bits moves = legalMoves(own, opp);
    const int value = solveWindow(own, opp, scoring, -Max, Max, stop, helpers);
    if (moves == 0)
        return {value, -1};
    // Whether playing `bit` reaches the value: a window around it suffices.
    auto reaches = [&](int bit) {
        const Bits flips = flipsOf(bit, own, opp);
        return -solveWindow(opp & ~flips, own | flips | Bits{1} << bit, scoring, -value - 1, -value + 1, stop,
                            helpers) >= value;
    };
    if (preferBit >= 0 && (moves >> preferBit & 1) && reaches(preferBit))
        return {value, preferBit};
    for (Bits m = moves; m; m &= m - 1)
        if (reaches(lowestBit(m)) || (stop && stop->load()))
            return {value, lowestBit(m)};
    return {value, lowestBit(moves)}; // not reached: some move has the position's value
}

int tableMove(Bits own, Bits opp, Scoring scoring)
{
    const std::optional<TableEntry> e =
        SolverTable::ofThisThreadFor(64 - stoneCount(own | opp))
            .find(own, opp, static_cast<unsigned char>(1 + static_cast<int>(scoring)));
    return e ? e->move : -1;
}

void usePortableSearch(bool portable)
{
    portableOnly.store(portable, std::memory_order_relaxed);
}

void clearSolverTable()
{
    SolverTable::releaseThisThread();
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
    return solveEndgame(colour, board, Scoring::EmptiesToNobody);
}

int solveEndgame(int colour, const Board& board, Scoring scoring)
{
    return solveWindow(bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), scoring, -Max,
                       Max);
}

void fastSearchToEnd(int colour, const Board& board)
{
    const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
    Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        chosenMove = {0, 0};
        return;
    }
    constexpr Scoring plain = Scoring::EmptiesToNobody;
    int bestBit = -1, best = -Max;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const Bits childOwn = opp & ~flips, childOpp = own | flips | Bits{1} << bit;
        if (bestBit >= 0 && -solveWindow(childOwn, childOpp, plain, -best - 1, -best) <= best)
            continue; // proved not strictly better
        const int v = -solveWindow(childOwn, childOpp, plain, -Max, bestBit < 0 ? Max : -best);
        if (bestBit < 0 || v > best) {
            best = v;
            bestBit = bit;
        }
    }
    bestScore = best;
    chosenMove = moveOfBit(bestBit);
}

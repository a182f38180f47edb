// The midgame search: the value of positions and moves long before the exact
// solver reaches them, by iterative deepening over a static evaluation of the
// final disc difference, with the exact solver taking over where it finishes
// in time.
//
// Values are final disc differences for the side to move, the empty cells of
// a game that ends early going to the winner, in units of 1/DiscUnits disc.
// An exact value is a whole number of discs (a multiple of DiscUnits).
//
// Depth counts moves: a pass is free, so a search as deep as the empty cells
// reaches the end of every line and is exact. A search 0 moves deep is the
// evaluation, even of a finished game.
//
// Timed searches return at the latest a few milliseconds after their budget
// (less when the next depth would not finish in it), with the deepest
// results finished; a stop flag set from another thread ends them as soon,
// with no result.
//
// Threads: any thread may call these, several at once. Every search shares
// one table of bounds (entries are true whoever wrote them); a timed search
// with two threads starts one helper thread and joins it before returning.
// Callers check midgameReady() first: without the evaluation the estimates
// mean nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/bits.h"
#include "engine/mideval.h"
#include "engine/solver.h"

// Whether the evaluation the search needs is present.
bool midgameReady();

// The static evaluation the search stands on, for `own` to move: the
// estimated final difference, kept within the range of real ones, and the
// final difference itself once a side has no stones.
int midgameEstimate(Bits own, Bits opp);

// Limits of a timed search.
struct MidgameLimits {
    double seconds = 1.0; // wall-clock budget; the first depth always finishes
    int maxDepth = 60;    // moves deep at most
    // From this many empty cells down the solver is tried, after estimates
    // of up to a quarter of the budget; what it does not finish keeps them.
    int exactFrom = 20;
    int threads = 2; // 1 or 2
};

// The best line from a position: moves as bits, -1 for a pass.
using Line = std::vector<int>;
constexpr int LineMoves = 10; // longest line kept

struct MoveValue {
    int bit;    // the move
    int value;  // for the side to move at the root, 1/DiscUnits discs
    bool exact; // the solver's value, not an estimate
    int depth;  // moves searched, this one included (exact: to the end)
    Line line;  // starts with the move
};

struct MidgameValues {
    std::vector<MoveValue> moves; // every legal move, in bit order (empty: none, or stopped)
    bool stopped = false;         // the stop flag was set: nothing above is a result
    uint64_t nodes = 0;
};

// Every legal move's value within the budget: each move is searched with a
// window wide enough to give its value at the depth reported.
MidgameValues midgameValues(Bits own, Bits opp, const MidgameLimits& limits, const StopFlag* stop = nullptr);

struct MidgameBest {
    int bit = -1; // -1: no legal move, or stopped
    int value = 0;
    bool exact = false;
    int depth = 0;
    Line line;
    bool stopped = false;
    uint64_t nodes = 0;
};

// The best move within the budget, with its value.
MidgameBest midgameBestMove(Bits own, Bits opp, const MidgameLimits& limits, const StopFlag* stop = nullptr);

// The value of a search exactly `depth` moves deep (the position's minimax
// value over the evaluation), its best move and line; on the calling thread,
// with no time limit. Stopped: `stopped` set, the rest meaningless.
MidgameBest midgameFixedDepth(Bits own, Bits opp, int depth, const StopFlag* stop = nullptr);

// The nearest whole number of discs to a value.
inline int discsOf(int value)
{
    return value >= 0 ? (value + DiscUnits / 2) / DiscUnits : -((-value + DiscUnits / 2) / DiscUnits);
}

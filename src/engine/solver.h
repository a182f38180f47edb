// The exact endgame solver over bitboards: behind fastSearchToEnd and
// solveEndgame, and the base of the hint and the game analysis.
//
// Threads: every thread that solves has transposition tables of its own,
// allocated on its first solve and freed when the thread ends. Solves on
// different threads share nothing, and what a table holds only ever speeds a
// search up: every entry is a proven bound, so no result depends on what ran
// before. A solve given SolverHelpers runs on their threads too, which share
// its thread's main table while it runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/bits.h"

// How a game that ends with empty cells is counted. Both give the same
// value when the board ends full; table entries of one never answer the other.
enum class Scoring : unsigned char {
    EmptiesToNobody, // the plain levels' difference: stones on the board only
    EmptiesToWinner, // tournament play: the empty cells go to the winner
};

// Set from any thread to stop a solve: the search polls it and unwinds within
// a fraction of a millisecond, keeping nothing it learnt after the stop. The
// value a stopped solve returns is meaningless; the caller, which owns the
// flag, discards it.
using StopFlag = std::atomic<bool>;

class SolverPool;

// Threads that join the solves of the thread that made them, so that one
// solve uses several cores: they start with the object and are joined when
// it is destroyed, so nothing runs on after it. Only that thread may use
// the object, for one solve at a time. Solves from fewer than 16 empty cells
// stay on one thread, where the threads cost more than they give.
class SolverHelpers {
  public:
    // `threads` in all, counting the caller's; 0: one per processor core.
    explicit SolverHelpers(int threads = 0);
    ~SolverHelpers();
    SolverHelpers(const SolverHelpers&) = delete;
    SolverHelpers& operator=(const SolverHelpers&) = delete;

    int threads() const; // fewer than asked when the system would not start more
    SolverPool& pool() { return *pool_; }

  private:
    std::unique_ptr<SolverPool> pool_;
};

// The value for `own` to move (passing if it must) under best play. Fail-soft
// alpha-beta: exact when it lies strictly inside (alpha, beta), otherwise a
// bound on the side of the window where it lies. Values lie in -64..64.
int solveWindow(Bits own, Bits opp, Scoring scoring, int alpha, int beta, const StopFlag* stop = nullptr,
                SolverHelpers* helpers = nullptr);

// The exact value, and a move reaching it: `preferBit` when it does (a move
// the caller already knows, such as the one played), otherwise the first such
// move in bit order. bestBit is -1 when `own` has no move.
struct Solution {
    int value;
    int bestBit;
};
Solution solveBest(Bits own, Bits opp, Scoring scoring, const StopFlag* stop = nullptr, int preferBit = -1,
                   SolverHelpers* helpers = nullptr);

// The move this thread's table holds for the position: right after a
// whole-window solve of it, a move reaching its value. -1 when none is held.
int tableMove(Bits own, Bits opp, Scoring scoring);

// The final difference for `own` of a game that is over (neither side moves).
int finalScore(Bits own, Bits opp, Scoring scoring);

// Makes every later solve, on any thread, use the portable form of the search
// even where the processor runs the AVX2 one (which visits the same nodes),
// or the best form again: for tests and benchmarks that compare the two.
void usePortableSearch(bool portable);

// The exact endgame solver over bitboards: behind fastSearchToEnd and
// solveEndgame, and the base of the hint and the game analysis.
//
// Threads: every thread that solves has transposition tables of its own,
// allocated on its first solve and freed when the thread ends. Searches on
// different threads share nothing, and what a table holds only ever speeds a
// search up: every entry is a proven bound, so no result depends on what ran
// before.
#pragma once

#include <atomic>
#include <cstdint>

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

// The value for `own` to move (passing if it must) under best play. Fail-soft
// alpha-beta: exact when it lies strictly inside (alpha, beta), otherwise a
// bound on the side of the window where it lies. Values lie in -64..64.
int solveWindow(Bits own, Bits opp, Scoring scoring, int alpha, int beta, const StopFlag* stop = nullptr);

// The exact value, and a move reaching it: `preferBit` when it does (a move
// the caller already knows, such as the one played), otherwise the first such
// move in bit order. bestBit is -1 when `own` has no move.
struct Solution {
    int value;
    int bestBit;
};
Solution solveBest(Bits own, Bits opp, Scoring scoring, const StopFlag* stop = nullptr, int preferBit = -1);

// The move this thread's table holds for the position: right after a
// whole-window solve of it, a move reaching its value. -1 when none is held.
int tableMove(Bits own, Bits opp, Scoring scoring);

// The final difference for `own` of a game that is over (neither side moves).
int finalScore(Bits own, Bits opp, Scoring scoring);

// Makes every later solve, on any thread, use the portable form of the search
// even where the processor runs the AVX2 one (which visits the same nodes),
// or the best form again: for tests and benchmarks that compare the two.
void usePortableSearch(bool portable);

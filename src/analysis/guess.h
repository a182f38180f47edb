// The best move by the engine's evaluation when the exact solver is out of
// reach: iterative deepening alpha-beta for a fixed time.
#pragma once

#include "analysis/analysis.h"
#include "engine/bits.h"

// The bit of the best move found for `own` (which must have a move) within
// `seconds`, or sooner when `cancel` is set. Always a legal move: the first
// depth finishes however short the time.
int guessBestMove(Bits own, Bits opp, double seconds, const CancelFlag& cancel);

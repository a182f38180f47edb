// The trained evaluation: an estimate of the final disc difference of a
// position, from the arrangements of stones on the edges, corners, lines and
// diagonals and from both sides' mobility, with one set of weights per stage
// of the game. The weights were fitted to self-play games whose endings were
// played exactly (tools/train.cpp; the README's evaluation section says how
// to make them again) and ship inside the program, checked on first use.
#pragma once

#include "engine/bits.h"

// Units of the estimate per disc.
constexpr int EvalScale = 32;

// Whether the weights are present and sound. The first call checks them;
// every later one answers at once, from any thread.
bool evalReady();

// "" when ready; otherwise why not, in Japanese, for the one message that
// says the estimates are off.
const char* evalProblem();

// The estimated final disc difference (empty cells to the winner) for `own`
// to move, in 1/EvalScale discs, clamped to +-64*EvalScale. 0 when the
// weights are not ready.
int evalEstimate(Bits own, Bits opp);

// An estimate of the final disc difference from the shapes of the edges,
// corners, lines and diagonals (engine/shapes.h), for the solver's move
// ordering. Each shape is read wherever the board's symmetries put it; its
// value per arrangement of stones was fitted to positions solved exactly (the
// fitting tool is tools/fit-patterns.cpp).
#pragma once

#include "engine/bits.h"

// Readings per position, each an index among the ShapeWeights weights.
constexpr int PatternFeatures = 46;
// One disc of the estimate in weight units.
constexpr int PatternScale = 16;

// The weight-table index of each reading, for `own` to move.
void patternIndices(Bits own, Bits opp, int indices[PatternFeatures]);

// The estimate for `own` to move, in 1/PatternScale discs.
int patternValue(Bits own, Bits opp);

// What the evaluation reads from a position: each feature is one index into
// the weights of the position's stage. Shared by the evaluation and the tool
// that fits its weights.
#pragma once

#include "engine/shapes.h"

namespace eval {

// The shapes are read at the four edges and lines (a, row 1, h, row 8), the
// four corners (a1, h1, a8, h8), the oblong in all eight places, the two long
// diagonals, and four of each shorter length (both sides of both long
// diagonals).
constexpr Places placesOf = {0x0F, 0x55, 0xFF, 0x0F, 0x0F, 0x0F, 0x05, 0x17, 0x17, 0x17, 0x17};
constexpr int PatternReadings = readingsOf(placesOf);

// Then both sides' mobility, each a weight per number of moves (31 and more
// share the last).
constexpr int MobilityWeights = 32;
constexpr int OwnMobilityOffset = ShapeWeights;
constexpr int OppMobilityOffset = ShapeWeights + MobilityWeights;
constexpr int WeightsPerStage = ShapeWeights + 2 * MobilityWeights;
// The weight of a side with `moves` to play, among those from `offset`.
inline int mobilityIndex(int offset, Bits moves)
{
    const int n = stoneCount(moves);
    return offset + (n < MobilityWeights ? n : MobilityWeights - 1);
}

constexpr int Features = PatternReadings + 2;

// One stage spans `width` empty cells: stage = empties / width.
constexpr int MaxEmpties = 60;
constexpr int stageCount(int width)
{
    return MaxEmpties / width + 1;
}

// Every feature's index into its stage's weights, for `own` to move.
void featureIndices(Bits own, Bits opp, int out[Features]);

// The index of the same arrangement seen in the shape's mirror image, for
// the shapes that are their own mirror image (an edge read from its other
// end, the corner square about its diagonal...): both must weigh the same for
// the value not to depend on the board's orientation. Other indices are
// their own mirror.
int mirrorIndex(int index);

// The shape an index belongs to, or Shapes for the mobility weights.
int shapeOfIndex(int index);

} // namespace eval

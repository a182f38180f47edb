// What the evaluation reads from a position: each feature is one index into
// the weights of the position's stage. Shared by the evaluation and the tool
// that fits its weights.
#pragma once

#include "engine/bits.h"

namespace eval {

// Stone shapes, each anchored at the corner a1 and read wherever the
// board's symmetries put it.
enum Shape {
    EdgeX,    // an edge and the two cells diagonal to its corners
    Corner9,  // the 3x3 square at a corner
    Corner10, // the 2x5 oblong at a corner, along one edge
    Line2,    // the lines parallel to an edge, one to three cells in
    Line3,
    Line4,
    Diagonal8, // the diagonals of 8 down to 4 cells
    Diagonal7,
    Diagonal6,
    Diagonal5,
    Diagonal4,
    Shapes
};
constexpr int shapeCells[Shapes] = {10, 9, 10, 8, 8, 8, 8, 7, 6, 5, 4};

constexpr int powerOf3(int n)
{
    return n == 0 ? 1 : 3 * powerOf3(n - 1);
}

// Where each shape's weights start among a stage's weights. An arrangement
// of stones is a base-3 number, one digit per cell in the shape's order:
// 0 empty, 1 the side to move, 2 the other side.
constexpr int shapeOffset(int shape)
{
    return shape == 0 ? 0 : shapeOffset(shape - 1) + powerOf3(shapeCells[shape - 1]);
}
constexpr int PatternWeights = shapeOffset(Shapes);

// Both sides' mobility, each a weight per number of moves (31 and more
// share the last).
constexpr int MobilityWeights = 32;
constexpr int OwnMobilityOffset = PatternWeights;
constexpr int OppMobilityOffset = PatternWeights + MobilityWeights;
constexpr int WeightsPerStage = PatternWeights + 2 * MobilityWeights;

constexpr int PatternReadings = 46; // places of all shapes on the board
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

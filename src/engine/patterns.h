// An estimate of the final disc difference from the shapes of the edges,
// corners, lines and diagonals, for the solver's move ordering. Each shape
// is read wherever the board's symmetries put it; its value per arrangement
// of stones was fitted to positions solved exactly (the fitting tool is
// tools/fit-patterns.cpp).
#pragma once

#include <cstdint>

#include "engine/bits.h"

// The shapes, each anchored at the corner a1 and read through the board
// symmetries that move it to a new place: 46 readings in all.
enum PatternKind {
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
    PatternKinds
};
constexpr int Symmetries = 8;
constexpr int PatternFeatures = 46;
// Cells per shape, and where each shape's weights start in the one table.
constexpr int patternCells[PatternKinds] = {10, 9, 10, 8, 8, 8, 8, 7, 6, 5, 4};
constexpr int patternOffset(int kind)
{
    int offset = 0;
    for (int k = 0; k < kind; ++k) {
        int size = 1;
        for (int i = 0; i < patternCells[k]; ++i)
            size *= 3;
        offset += size;
    }
    return offset;
}
constexpr int PatternWeightCount = patternOffset(PatternKinds);
// One disc of the estimate in weight units.
constexpr int PatternScale = 16;

// The board in its eight orientations: as it is, about the a1-h8 diagonal,
// with columns a-h swapped, both, and each of these with rows 1-8 swapped.
void patternOrientations(Bits b, Bits out[Symmetries]);

// The weight-table index of each reading, for `own` to move.
void patternIndices(Bits own, Bits opp, int indices[PatternFeatures]);

// The estimate for `own` to move, in 1/PatternScale discs.
int patternValue(Bits own, Bits opp);

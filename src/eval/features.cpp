#include "eval/features.h"

namespace eval {

namespace {

// For each shape that is its own mirror image, the cell each cell mirrors
// to (in the shape's order); -1 for a shape without one.
constexpr int NoMirror = -1;
constexpr int mirrorCell(int shape, int cell)
{
    const int n = shapeCells[shape];
    switch (shape) {
    case EdgeX: // the edge reversed, the two X cells swapped
        return cell < 8 ? 7 - cell : 17 - cell;
    case Corner9: // about the corner's diagonal: column and row swap
        return cell % 3 * 3 + cell / 3;
    case Corner10:
        return NoMirror;
    default: // lines and diagonals read from the other end
        return n - 1 - cell;
    }
}

} // namespace

void featureIndices(Bits own, Bits opp, int out[Features])
{
    int n = 0;
    readShapes<placesOf>(own, opp, [&](int index) { out[n++] = index; });
    out[n++] = mobilityIndex(OwnMobilityOffset, legalMoves(own, opp));
    out[n] = mobilityIndex(OppMobilityOffset, legalMoves(opp, own));
}

int shapeOfIndex(int index)
{
    int shape = 0;
    while (shape < Shapes && index >= shapeOffset(shape + 1))
        ++shape;
    return shape;
}

int mirrorIndex(int index)
{
    const int shape = shapeOfIndex(index);
    if (shape == Shapes || mirrorCell(shape, 0) == NoMirror)
        return index;
    int digits = index - shapeOffset(shape), mirrored = 0;
    for (int cell = 0; cell < shapeCells[shape]; ++cell, digits /= 3)
        mirrored += digits % 3 * powerOf3(mirrorCell(shape, cell));
    return shapeOffset(shape) + mirrored;
}

} // namespace eval

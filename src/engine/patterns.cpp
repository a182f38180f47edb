#include "engine/patterns.h"

#include <bit>
#include <cstring>

#include "engine/shapes.h"

namespace {

// Written by the build from src/engine/pattern-weights.bin.
constexpr unsigned char weightBytes[] = {
#include "pattern_weights.inc"
};
static_assert(sizeof weightBytes == ShapeWeights * sizeof(int16_t), "pattern-weights.bin is stale");
static_assert(std::endian::native == std::endian::little, "the weights are stored little-endian");

// One weight, read in place (the copy compiles to a single load).
inline int weightAt(int index)
{
    int16_t w;
    std::memcpy(&w, weightBytes + index * sizeof w, sizeof w);
    return w;
}

// The four edges and lines (a, row 1, h, row 8), the four corners (a8 and
// h8 read on the transposed board), all eight for the corner's oblong, both
// long diagonals, and both sides of each for the shorter ones.
constexpr Places placesOf = {0x0F, 0x8D, 0xFF, 0x0F, 0x0F, 0x0F, 0x05, 0x17, 0x17, 0x17, 0x17};
static_assert(readingsOf(placesOf) == PatternFeatures);

} // namespace

void patternIndices(Bits own, Bits opp, int indices[PatternFeatures])
{
    int n = 0;
    readShapes<placesOf>(own, opp, [&](int index) { indices[n++] = index; });
}

int patternValue(Bits own, Bits opp)
{
    int v = 0;
    readShapes<placesOf>(own, opp, [&](int index) { v += weightAt(index); });
    return v;
}

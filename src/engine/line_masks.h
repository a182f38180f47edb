// Masks for the vector forms of the turned stones and the stable stones, one
// lane per line direction (steps of 1, 8, 9 and 7 bits).
#pragma once

#include <array>
#include <cstdint>

namespace bits_detail {
// The eight lines leading away from each cell: the four that raise the bit
// index and the four that lower it by the same steps.
struct alignas(32) FlipLines {
    uint64_t up[4], down[4];
};
extern const std::array<FlipLines, 64> flipLines;

// Cells fewer than 1, 2 and 4 steps ([0], [1], [2]) from the border along
// each direction: stepping up (raising the bit index) or down.
struct alignas(32) FullLineMasks {
    uint64_t up[4], down[4];
};
extern const std::array<FullLineMasks, 3> fullLineMasks;
} // namespace bits_detail

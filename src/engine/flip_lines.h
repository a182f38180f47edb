// The eight lines leading away from each cell, for the vector form of the
// turned stones: per cell, the four that raise the bit index (steps of 1, 8,
// 9 and 7) and the four that lower it (the same steps back), one lane each.
#pragma once

#include <array>
#include <cstdint>

namespace bits_detail {
struct alignas(32) FlipLines {
    uint64_t up[4], down[4];
};
extern const std::array<FlipLines, 64> flipLines;
} // namespace bits_detail

// The move generator in AVX2, for processors that have it: the four line
// directions fill side by side in one register. Compiled on its own with
// AVX2 enabled; legalMoves calls it only where the processor runs it.
#pragma once

#include <cstdint>

namespace bits_detail {
uint64_t legalMovesAvx2(uint64_t own, uint64_t opp);
} // namespace bits_detail

// The move generator, the turned stones and the stable stones in AVX2 (with
// BMI2), for processors that have them (kernels_avx2.h). Compiled on its own
// for them; legalMoves and flipsOf call them only where the processor runs
// them.
#pragma once

#include <cstdint>

namespace bits_detail {
uint64_t legalMovesAvx2(uint64_t own, uint64_t opp);
uint64_t flipsAvx2(int bit, uint64_t own, uint64_t opp);
uint64_t stableStonesAvx2(uint64_t own, uint64_t opp);
} // namespace bits_detail

// The move generator and the turned stones in AVX2, for processors that have
// it (kernels_avx2.h). Compiled on its own with AVX2 enabled; legalMoves and
// flipsOf call them only where the processor runs them.
#pragma once

#include <cstdint>

namespace bits_detail {
uint64_t legalMovesAvx2(uint64_t own, uint64_t opp);
uint64_t flipsAvx2(int bit, uint64_t own, uint64_t opp);
} // namespace bits_detail

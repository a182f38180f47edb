// Only this file is compiled for AVX2; the code it shares with the solver's
// AVX2 copy has internal linkage, so no shared inline function picks up AVX2
// code.
#include "engine/moves_avx2.h"

#include <immintrin.h>

#include "engine/kernels_avx2.h"

namespace bits_detail {

uint64_t legalMovesAvx2(uint64_t own, uint64_t opp)
{
    return avx2::moves(own, opp);
}

uint64_t flipsAvx2(int bit, uint64_t own, uint64_t opp)
{
    return avx2::flips(bit, own, opp);
}

uint64_t stableStonesAvx2(uint64_t own, uint64_t opp)
{
    return avx2::stable(own, opp);
}

} // namespace bits_detail

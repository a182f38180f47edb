// Only this file is compiled for AVX2; it includes nothing that another file
// compiles without it, so no shared inline function picks up AVX2 code.
#include "engine/moves_avx2.h"

#include <immintrin.h>

namespace bits_detail {

uint64_t legalMovesAvx2(uint64_t own, uint64_t opp)
{
    // One lane per line direction: along a column (shift 1), a row (8) and
    // the diagonals (9, 7). Runs may not wrap across the board's edge, so all
    // but the row lane keep only the opponent's stones off rows 1 and 8.
    constexpr long long inner = 0x7E7E7E7E7E7E7E7Ell;
    const __m256i shift = _mm256_set_epi64x(7, 9, 8, 1), shift2 = _mm256_add_epi64(shift, shift);
    const __m256i p = _mm256_set1_epi64x(static_cast<long long>(own));
    const __m256i o = _mm256_and_si256(_mm256_set1_epi64x(static_cast<long long>(opp)),
                                       _mm256_set_epi64x(inner, inner, -1, inner));
    // Runs of `o` next to `p`, both ways, doubling the reach after two steps.
    __m256i up = _mm256_and_si256(o, _mm256_sllv_epi64(p, shift));
    __m256i down = _mm256_and_si256(o, _mm256_srlv_epi64(p, shift));
    up = _mm256_or_si256(up, _mm256_and_si256(o, _mm256_sllv_epi64(up, shift)));
    down = _mm256_or_si256(down, _mm256_and_si256(o, _mm256_srlv_epi64(down, shift)));
    const __m256i upPair = _mm256_and_si256(o, _mm256_sllv_epi64(o, shift));
    const __m256i downPair = _mm256_and_si256(o, _mm256_srlv_epi64(o, shift));
    for (int i = 0; i < 2; ++i) {
        up = _mm256_or_si256(up, _mm256_and_si256(upPair, _mm256_sllv_epi64(up, shift2)));
        down = _mm256_or_si256(down, _mm256_and_si256(downPair, _mm256_srlv_epi64(down, shift2)));
    }
    const __m256i ends = _mm256_or_si256(_mm256_sllv_epi64(up, shift), _mm256_srlv_epi64(down, shift));
    __m128i all = _mm_or_si128(_mm256_castsi256_si128(ends), _mm256_extracti128_si256(ends, 1));
    all = _mm_or_si128(all, _mm_unpackhi_epi64(all, all));
    return static_cast<uint64_t>(_mm_cvtsi128_si64(all)) & ~(own | opp);
}

} // namespace bits_detail

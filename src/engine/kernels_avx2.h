// The move generator and the turned stones in AVX2, as inline code for code
// compiled for AVX2: moves_avx2.cpp, and the solver's AVX2 copy of its
// search. Include it only there, after <immintrin.h>. Everything here has
// internal linkage, so no copy of it can stand in for code that must run on
// any processor.
#pragma once

#include <cstdint>
#include <immintrin.h>

#include "engine/line_masks.h"
#include "engine/stability.h"

namespace bits_detail::avx2 {
namespace {

// Cells where `own` may play, as legalMoves. One lane per line direction:
// along a column (shift 1), a row (8) and the diagonals (9, 7). Runs may not
// wrap across the board's edge, so all but the row lane keep only the
// opponent's stones off rows 1 and 8.
[[maybe_unused, gnu::always_inline]] inline uint64_t moves(uint64_t own, uint64_t opp)
{
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

// Stones of `opp` turned by `own` playing on `bit`, as flipsOf: the eight
// lines through the cell in two registers, those that raise the bit index
// and those that lower it, four lanes each.
[[maybe_unused, gnu::always_inline]] inline uint64_t flips(int bit, uint64_t own, uint64_t opp)
{
    const FlipLines& lines = flipLines[bit];
    const __m256i p = _mm256_set1_epi64x(static_cast<long long>(own));
    const __m256i o = _mm256_set1_epi64x(static_cast<long long>(opp));
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_cmpeq_epi64(zero, zero);
    const __m256i up = _mm256_load_si256(reinterpret_cast<const __m256i*>(lines.up));
    const __m256i down = _mm256_load_si256(reinterpret_cast<const __m256i*>(lines.down));

    // Upwards a carry from below the cell runs through the opponent's run to
    // the first other cell of the line: the end, when it is own.
    const __m256i carried = _mm256_sub_epi64(_mm256_or_si256(o, _mm256_xor_si256(up, ones)), ones);
    const __m256i upEnd = _mm256_and_si256(_mm256_and_si256(carried, up), p);
    __m256i flips = _mm256_and_si256(_mm256_add_epi64(upEnd, ones), up);
    flips = _mm256_andnot_si256(_mm256_cmpeq_epi64(upEnd, zero), flips);

    // Downwards every cell of the line at or below a cell not held by the
    // opponent is smeared over (lines are at most seven long); the rest is
    // the run next to the cell, turned when the cell beyond it is own.
    const __m256i step = _mm256_set_epi64x(7, 9, 8, 1);
    __m256i beyond = _mm256_andnot_si256(o, down);
    beyond = _mm256_or_si256(beyond, _mm256_srlv_epi64(beyond, step));
    beyond = _mm256_or_si256(beyond, _mm256_srlv_epi64(beyond, _mm256_add_epi64(step, step)));
    beyond = _mm256_or_si256(beyond, _mm256_srlv_epi64(beyond, _mm256_slli_epi64(step, 2)));
    const __m256i run = _mm256_andnot_si256(beyond, down);
    const __m256i downEnd = _mm256_and_si256(_mm256_and_si256(_mm256_srlv_epi64(run, step), down), p);
    flips = _mm256_or_si256(flips, _mm256_andnot_si256(_mm256_cmpeq_epi64(downEnd, zero), run));

    __m128i all = _mm_or_si128(_mm256_castsi256_si128(flips), _mm256_extracti128_si256(flips, 1));
    all = _mm_or_si128(all, _mm_unpackhi_epi64(all, all));
    return static_cast<uint64_t>(_mm_cvtsi128_si64(all));
}

// Stones of `own` no sequence of moves can turn, as stableStones: the four
// axes side by side, one lane each (shifts of 1, 8, 9 and 7).
[[maybe_unused, gnu::always_inline]] inline uint64_t stable(uint64_t own, uint64_t opp)
{
    constexpr uint64_t row1 = 0x0101010101010101ull, row8 = 0x8080808080808080ull;
    constexpr long long notRow1 = static_cast<long long>(~row1), notRow8 = static_cast<long long>(~row8);
    constexpr long long border = static_cast<long long>(row1 | row8 | 0xFF000000000000FFull);
    const auto& edge = stability_detail::edgeLines;
    const uint64_t seed = edge[own & 0xFF][opp & 0xFF] | uint64_t{edge[own >> 56][opp >> 56]} << 56 |
                          _pdep_u64(edge[_pext_u64(own, row1)][_pext_u64(opp, row1)], row1) |
                          _pdep_u64(edge[_pext_u64(own, row8)][_pext_u64(opp, row8)], row8);

    // Cells whose line along the lane's axis is full: each step checks twice
    // as many cells on either side, the border counting as full.
    const __m256i step = _mm256_set_epi64x(7, 9, 8, 1);
    const __m256i occupied = _mm256_set1_epi64x(static_cast<long long>(own | opp));
    __m256i up = occupied, down = occupied;
    for (int k = 0; k < 3; ++k) {
        const __m256i shift = _mm256_sllv_epi64(step, _mm256_set1_epi64x(k)); // 1, 2 and 4 steps
        const FullLineMasks& m = fullLineMasks[k];
        up = _mm256_and_si256(up, _mm256_or_si256(_mm256_srlv_epi64(up, shift),
                                                  _mm256_load_si256(reinterpret_cast<const __m256i*>(m.up))));
        down = _mm256_and_si256(down,
                                _mm256_or_si256(_mm256_sllv_epi64(down, shift),
                                                _mm256_load_si256(reinterpret_cast<const __m256i*>(m.down))));
    }
    // A stone is stable when along each axis its line is full, or a
    // neighbour on that axis is the border or another stable stone.
    const __m256i settled =
        _mm256_or_si256(_mm256_and_si256(up, down), _mm256_set_epi64x(border, border, 0xFF000000000000FFll,
                                                                      static_cast<long long>(row1 | row8)));
    const __m256i upMask = _mm256_set_epi64x(notRow8, notRow1, -1, notRow1);
    const __m256i downMask = _mm256_set_epi64x(notRow1, notRow8, -1, notRow8);
    uint64_t stones = seed;
    for (;;) {
        const __m256i s = _mm256_set1_epi64x(static_cast<long long>(stones));
        const __m256i held =
            _mm256_or_si256(settled, _mm256_or_si256(_mm256_and_si256(_mm256_sllv_epi64(s, step), upMask),
                                                     _mm256_and_si256(_mm256_srlv_epi64(s, step), downMask)));
        __m128i all = _mm_and_si128(_mm256_castsi256_si128(held), _mm256_extracti128_si256(held, 1));
        all = _mm_and_si128(all, _mm_unpackhi_epi64(all, all));
        const uint64_t next = seed | (own & static_cast<uint64_t>(_mm_cvtsi128_si64(all)));
        if (next == stones)
            return stones;
        stones = next;
    }
}

} // namespace
} // namespace bits_detail::avx2

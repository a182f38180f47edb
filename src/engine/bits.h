// Bitboard primitives of the fast engine. A side's stones are one 64-bit word;
// bit (column - 1) * 8 + (row - 1) is the cell (column, row), so walking the
// set bits from the lowest visits cells in the column-major order of the
// plain move lists, and every tie-break can follow bit order.
#pragma once

#include <array>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "board/board.h"
#include "board/moves.h"
#include "engine/moves_avx2.h"

// Every machine this runs on has the population count instruction; without
// the target the builtin becomes a library call in the innermost loops.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC target("popcnt")
#endif

using Bits = uint64_t;

constexpr int bitOf(int column, int row)
{
    return (column - 1) * 8 + (row - 1);
}

inline Move moveOfBit(int bit)
{
    return {bit / 8 + 1, bit % 8 + 1};
}

inline int stoneCount(Bits b)
{
    return __builtin_popcountll(b);
}

inline int lowestBit(Bits b)
{
    return __builtin_ctzll(b);
}

// The stones of one colour on a plain board.
Bits bitsOfColour(int colour, const Board& board);
// The plain board holding the two colours (ring empty).
Board boardOfBits(Bits black, Bits white);

namespace bits_detail {
// Shifts one step along a line; the masks drop stones that would wrap from
// row 8 of one column to row 1 of the next (or back).
constexpr Bits NotRow1 = 0xFEFEFEFEFEFEFEFEull;
constexpr Bits NotRow8 = 0x7F7F7F7F7F7F7F7Full;
constexpr Bits Inner = 0x7E7E7E7E7E7E7E7Eull;

template <int Shift> inline Bits movesAlong(Bits own, Bits mask)
{
    Bits up = mask & (own << Shift);
    up |= mask & (up << Shift);
    Bits down = mask & (own >> Shift);
    down |= mask & (down >> Shift);
    const Bits upPair = mask & (mask << Shift);
    const Bits downPair = mask & (mask >> Shift);
    up |= upPair & (up << (2 * Shift));
    down |= downPair & (down >> (2 * Shift));
    up |= upPair & (up << (2 * Shift));
    down |= downPair & (down >> (2 * Shift));
    return (up << Shift) | (down >> Shift);
}

#if defined(__SSE2__)
// movesAlong's fill in one direction, for both lanes at once.
template <int Shift> inline __m128i fillUp(__m128i own, __m128i mask)
{
    __m128i run = _mm_and_si128(mask, _mm_slli_epi64(own, Shift));
    run = _mm_or_si128(run, _mm_and_si128(mask, _mm_slli_epi64(run, Shift)));
    const __m128i pair = _mm_and_si128(mask, _mm_slli_epi64(mask, Shift));
    run = _mm_or_si128(run, _mm_and_si128(pair, _mm_slli_epi64(run, 2 * Shift)));
    run = _mm_or_si128(run, _mm_and_si128(pair, _mm_slli_epi64(run, 2 * Shift)));
    return _mm_slli_epi64(run, Shift);
}
#endif

// The stones turned by a move on one cell, one function per cell: each
// knows its own lines, so the masks are constants and lines too short to
// enclose anything cost nothing.
using FlipsFn = Bits (*)(Bits own, Bits opp);
extern const std::array<FlipsFn, 64> flipsAt;

#if defined(REVERSE_AVX2_MOVES) // the build has the AVX2 forms
// Whether this processor runs the AVX2 forms (with BMI2) of the move
// generator, the turned and stable stones and the solver's search; set once
// at start-up.
extern const bool avx2Moves;
#endif

// flipsOf for any processor.
inline Bits portableFlips(int bit, Bits own, Bits opp)
{
    return flipsAt[bit](own, opp);
}

// legalMoves for any processor.
inline Bits portableLegalMoves(Bits own, Bits opp)
{
    const Bits inner = opp & Inner;
#if defined(__SSE2__)
    // The second lane holds the board with columns a-h swapped: one shift of
    // both lanes follows a line one way on the board and its mirror image the
    // other way, so the six lines across columns take three vector fills.
    const __m128i p =
        _mm_set_epi64x(static_cast<long long>(__builtin_bswap64(own)), static_cast<long long>(own));
    const __m128i o =
        _mm_set_epi64x(static_cast<long long>(__builtin_bswap64(opp)), static_cast<long long>(opp));
    const __m128i oInner = _mm_and_si128(o, _mm_set1_epi64x(static_cast<long long>(Inner)));
    const __m128i m = _mm_or_si128(_mm_or_si128(fillUp<8>(p, o), fillUp<9>(p, oInner)), fillUp<7>(p, oInner));
    const Bits across = static_cast<Bits>(_mm_cvtsi128_si64(m)) |
                        __builtin_bswap64(static_cast<Bits>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(m, m))));
    return (across | movesAlong<1>(own, inner)) & ~(own | opp);
#else
    const Bits moves = movesAlong<1>(own, inner) | movesAlong<8>(own, opp) | movesAlong<7>(own, inner) |
                       movesAlong<9>(own, inner);
    return moves & ~(own | opp);
#endif
}

} // namespace bits_detail

// Cells where `own` may play: empty and enclosing at least one run of `opp`.
inline Bits legalMoves(Bits own, Bits opp)
{
#if defined(REVERSE_AVX2_MOVES)
    if (bits_detail::avx2Moves)
        return bits_detail::legalMovesAvx2(own, opp);
#endif
    return bits_detail::portableLegalMoves(own, opp);
}

// Stones of `opp` turned by `own` playing on bit; 0 when it turns nothing.
inline Bits flipsOf(int bit, Bits own, Bits opp)
{
#if defined(REVERSE_AVX2_MOVES)
    if (bits_detail::avx2Moves)
        return bits_detail::flipsAvx2(bit, own, opp);
#endif
    return bits_detail::portableFlips(bit, own, opp);
}

// Evaluation of the position for the side owning `own`, exactly the plain
// evaluatePosition for that colour. The second form takes both mobilities
// when the caller already has them.
int evaluateBits(Bits own, Bits opp);
int evaluateBitsWithMobility(Bits own, Bits opp, int ownMoves, int oppMoves);

// Leaf count of the move tree `depth` plies deep; a forced pass is a ply and a
// finished game is one leaf whatever depth remains.
uint64_t perftBits(Bits own, Bits opp, int depth);

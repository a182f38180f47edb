// Positions along random games from the start, for tests and benchmarks that
// want every stage: the side to move having a move or not, passes played.
// The same seed gives the same positions.
#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "engine/bits.h"

struct GamePosition {
    Bits own, opp; // `own` is to move
};

// Whole random games until there are at least `count` positions.
inline std::vector<GamePosition> randomGamePositions(int count, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::vector<GamePosition> out;
    while (static_cast<int>(out.size()) < count) {
        Bits own = Bits{1} << bitOf(4, 5) | Bits{1} << bitOf(5, 4);
        Bits opp = Bits{1} << bitOf(4, 4) | Bits{1} << bitOf(5, 5);
        for (;;) {
            out.push_back({own, opp});
            Bits moves = legalMoves(own, opp);
            if (moves == 0) {
                if (legalMoves(opp, own) == 0)
                    break;
                std::swap(own, opp);
                continue;
            }
            for (int n = static_cast<int>(rng() % stoneCount(moves)); n > 0; --n)
                moves &= moves - 1;
            const int bit = lowestBit(moves);
            const Bits flips = flipsOf(bit, own, opp);
            const Bits next = opp & ~flips;
            opp = own | flips | Bits{1} << bit;
            own = next;
        }
    }
    return out;
}

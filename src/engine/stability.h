// Stones that can never be turned again, for the solver's cutoff and its
// move ordering.
#pragma once

#include "engine/bits.h"

// Stones of `own` that no sequence of moves can turn: along every axis the
// line is full, or a neighbour on that axis is the border or another such
// stone. Exact for what it finds; it may miss some stable stones.
Bits stableStones(Bits own, Bits opp);

// The stones of `own` on the four edges that no move along the edge can turn
// (and no other move can).
Bits edgeStable(Bits own, Bits opp);

namespace stability_detail {
// For each own and opponent stones of an edge line (one byte each), those of
// the own that no move can turn: what edgeStable reads for each edge.
extern const unsigned char (&edgeLines)[256][256];
} // namespace stability_detail

// A cheap subset of the above for ordering moves: own corners and the own
// edge stones joined to them along the edge (two steps from the corner).
// Only the border cells of `own` count.
inline Bits cornerStable(Bits own)
{
    constexpr Bits corners = 0x8100000000000081ull;
    constexpr Bits column1or8 = 0xFF000000000000FFull, row1or8 = 0x8181818181818181ull;
    Bits stable = own & corners;
    for (int i = 0; i < 2; ++i)
        stable |= own & ((((stable << 1) | (stable >> 1)) & column1or8) |
                         (((stable << 8) | (stable >> 8)) & row1or8));
    return stable;
}

// The evaluation the midgame search stands on: the one place that names it.
#pragma once

#include "engine/patterns.h"

// One disc in the evaluation's units.
constexpr int DiscUnits = PatternScale;

// Whether the evaluation can be used.
inline bool evaluationReady()
{
    return true;
}

// The estimated final disc difference for `own` to move, in 1/DiscUnits discs.
inline int evaluationOf(Bits own, Bits opp)
{
    return patternValue(own, opp);
}

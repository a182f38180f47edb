// The evaluation the midgame search stands on: the one place that names it.
#pragma once

#include "engine/patterns.h"
#include "eval/eval.h"

// One disc in the evaluation's units.
constexpr int DiscUnits = EvalScale;
static_assert(DiscUnits % PatternScale == 0, "the pattern estimate must convert exactly");

// Whether the evaluation can be used: the trained weights are built in and
// sound. Without them the search still runs on the solver's pattern
// estimate, but its values are too rough to show or to play a level by.
inline bool evaluationReady()
{
    return evalReady();
}

// The estimated final disc difference for `own` to move, in 1/DiscUnits discs.
inline int evaluationOf(Bits own, Bits opp)
{
    if (evalReady())
        return evalEstimate(own, opp);
    return patternValue(own, opp) * (DiscUnits / PatternScale);
}

// The fit and the accuracy report of reverse-train.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "train.h"

struct FitSettings {
    int stageWidth = 4;     // empty cells per stage
    int margin = 1;         // each stage also learns from this many empty cells either side
    double lambda = 4;      // the ridge term, in squared discs per weight
    double stageLambda = 4; // the same for the weights of each stage
    int iterations = 60;    // conjugate-gradient steps per stage
    int threads = 1;
    // Fit one set of weights to all stages first; each stage then learns
    // only how it differs, so stages with few positions lean on the rest.
    bool pooled = false;
    // Finished stages are kept here under `key` (which names the data and
    // the settings), so a fit that was stopped goes on where it was.
    std::string cacheFolder;
    uint64_t key = 0;
};

// Weights for every stage, stage after stage, in eval::WeightsPerStage blocks.
std::vector<int16_t> fitWeights(const std::vector<Sample>& samples, const FitSettings& settings);

// The evaluation's mean absolute error, in discs, on `samples`: against the
// exact values at 20 to 24 empty cells, and by stage against the games' results.
void printAccuracy(const std::vector<Sample>& samples);

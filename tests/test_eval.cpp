// The trained evaluation: its value does not depend on the board's
// orientation, the fitting tool reads the same features it sums, it knows
// the game, and damaged weights are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <random>
#include <vector>

#include "engine/midgame.h"
#include "engine/patterns.h"
#include "engine/shapes.h"
#include "engine/solver.h"
#include "eval/eval.h"
#include "eval/features.h"
#include "eval/weights.h"
#include "random_games.h"

namespace {

using Position = GamePosition;

std::vector<Position> randomPositions(int count)
{
    return randomGamePositions(count, 20240611);
}

// The estimate in each of the board's eight orientations.
std::vector<int> estimatesAround(const Position& p)
{
    const auto owns = orientations(p.own), opps = orientations(p.opp);
    std::vector<int> v;
    for (int o = 0; o < Orientations; ++o)
        v.push_back(evalEstimate(owns[o], opps[o]));
    return v;
}

// Weights drawn at random, equal for mirrored arrangements as the fit makes them.
std::vector<unsigned char> randomBlob(int stageWidth)
{
    std::mt19937 rng(7);
    std::vector<int16_t> w(static_cast<size_t>(eval::stageCount(stageWidth)) * eval::WeightsPerStage);
    for (int16_t& x : w)
        x = static_cast<int16_t>(static_cast<int>(rng() % 401) - 200);
    for (size_t stage = 0; stage < w.size(); stage += eval::WeightsPerStage)
        for (int i = 0; i < eval::WeightsPerStage; ++i)
            w[stage + i] = w[stage + std::min(i, eval::mirrorIndex(i))];
    return eval::makeBlob(stageWidth, w);
}

// Back to the built-in weights after a test swaps them.
struct BuiltinWeightsAfter {
    ~BuiltinWeightsAfter() { eval::useWeights(eval::builtinBlob(), eval::builtinBlobSize()); }
};

// Whether a message survives conversion to code page 932, as every text
// the player may see must.
bool inCp932(const char* text)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(std::strlen(text) * 2 + 4, '\0');
    char* in = const_cast<char*>(text);
    char* dst = out.data();
    size_t inLeft = std::strlen(text), outLeft = out.size();
    const bool ok = cd != iconv_t(-1) && iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1) && inLeft == 0;
    if (cd != iconv_t(-1))
        iconv_close(cd);
    return ok;
}

} // namespace

TEST(TrainedEvaluation, SameValueInAllEightOrientations)
{
    const std::vector<Position> positions = randomPositions(2000);
    ASSERT_TRUE(evalReady()) << evalProblem();
    for (const Position& p : positions) {
        const std::vector<int> v = estimatesAround(p);
        for (int o = 1; o < Orientations; ++o)
            ASSERT_EQ(v[o], v[0]) << "orientation " << o << ", built-in weights";
    }
    // Random weights reach arrangements the fitted ones leave at zero.
    BuiltinWeightsAfter restore;
    const std::vector<unsigned char> blob = randomBlob(3);
    ASSERT_STREQ(eval::useWeights(blob.data(), blob.size()), "");
    for (const Position& p : positions) {
        const std::vector<int> v = estimatesAround(p);
        for (int o = 1; o < Orientations; ++o)
            ASSERT_EQ(v[o], v[0]) << "orientation " << o << ", random weights";
    }
}

// The fitting tool learns through featureIndices: the estimate must be the
// sum of the weights at exactly those indices, in the position's stage.
TEST(TrainedEvaluation, EstimateIsTheSumOverTheFittedFeatures)
{
    BuiltinWeightsAfter restore;
    constexpr int Width = 3;
    const std::vector<unsigned char> blob = randomBlob(Width);
    ASSERT_STREQ(eval::useWeights(blob.data(), blob.size()), "");
    auto weight = [&](int stage, int index) {
        const unsigned char* at = blob.data() + eval::BlobHeaderSize +
                                  2 * (static_cast<size_t>(stage) * eval::WeightsPerStage + index);
        return static_cast<int16_t>(at[0] | at[1] << 8);
    };
    for (const Position& p : randomPositions(500)) {
        int features[eval::Features];
        eval::featureIndices(p.own, p.opp, features);
        const int stage = (64 - stoneCount(p.own | p.opp)) / Width;
        int sum = 0;
        for (int f : features)
            sum += weight(stage, f);
        ASSERT_EQ(evalEstimate(p.own, p.opp), std::clamp(sum, -64 * EvalScale, 64 * EvalScale));
    }
}

// On positions it was not fitted to, the estimate must come far closer to
// the exact value than a guess of a draw.
TEST(TrainedEvaluation, EstimateComesCloseToTheExactValue)
{
    double estimateError = 0, drawError = 0;
    int n = 0;
    for (const Position& p : randomPositions(4000)) {
        if (64 - stoneCount(p.own | p.opp) != 14 || n == 60)
            continue;
        const int exact = solveWindow(p.own, p.opp, Scoring::EmptiesToWinner, -64, 64);
        estimateError += std::abs(evalEstimate(p.own, p.opp) / double(EvalScale) - exact);
        drawError += std::abs(exact);
        ++n;
    }
    ASSERT_EQ(n, 60);
    EXPECT_LT(estimateError, drawError / 2)
        << "mean error " << estimateError / n << ", of a draw " << drawError / n;
}

TEST(TrainedEvaluation, DamagedWeightsAreRefused)
{
    ASSERT_TRUE(evalReady());
    EXPECT_STREQ(evalProblem(), "");
    BuiltinWeightsAfter restore;
    const std::vector<unsigned char> good(eval::builtinBlob(), eval::builtinBlob() + eval::builtinBlobSize());
    const Position start = randomPositions(1)[0];

    std::vector<unsigned char> flipped = good;
    flipped[flipped.size() / 2] ^= 0x10;
    EXPECT_STRNE(eval::useWeights(flipped.data(), flipped.size()), "");
    EXPECT_TRUE(inCp932(evalProblem())) << evalProblem();
    EXPECT_FALSE(evalReady());
    EXPECT_STRNE(evalProblem(), "");
    EXPECT_EQ(evalEstimate(start.own, start.opp), 0);
    // The midgame search says it is not ready, yet still runs, on the
    // solver's pattern estimate in the search's own units.
    EXPECT_FALSE(midgameReady());
    for (const Position& p : randomPositions(200)) {
        if (p.own == 0 || p.opp == 0)
            continue;
        const int scaled = patternValue(p.own, p.opp) * DiscUnits / PatternScale;
        ASSERT_EQ(midgameEstimate(p.own, p.opp), std::clamp(scaled, -64 * DiscUnits, 64 * DiscUnits));
    }
    const MidgameBest best = midgameFixedDepth(start.own, start.opp, 4);
    EXPECT_TRUE(legalMoves(start.own, start.opp) >> best.bit & 1);

    std::vector<unsigned char> truncated(good.begin(), good.end() - 2);
    std::vector<unsigned char> otherWidth = good, otherKind = good;
    otherWidth[8] ^= 1;
    otherKind[0] = 'X';
    for (const std::vector<unsigned char>* bad : {&truncated, &otherWidth, &otherKind}) {
        const char* problem = eval::useWeights(bad->data(), bad->size());
        EXPECT_STRNE(problem, "");
        EXPECT_TRUE(inCp932(problem)) << problem;
    }
    EXPECT_STRNE(eval::useWeights(nullptr, 0), "");
    EXPECT_TRUE(inCp932(evalProblem())) << evalProblem();

    EXPECT_STREQ(eval::useWeights(good.data(), good.size()), "");
    EXPECT_TRUE(evalReady());
    EXPECT_TRUE(midgameReady());
}

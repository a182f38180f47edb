// The cost of one static estimate: the trained evaluation against the
// solver's pattern estimate and the levels' evaluation, on positions of
// random games (every stage), and the first call's check of the weights.
//
//   build/bench/reverse-bench-eval
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/patterns.h"
#include "eval/eval.h"
#include "eval/weights.h"
#include "random_games.h"

namespace {

using Position = GamePosition;

// A power of two of them, so the loop below can wrap with a mask.
const std::vector<Position>& positions()
{
    static const std::vector<Position> all = [] {
        std::vector<Position> p = randomGamePositions(4096, 5);
        p.resize(4096);
        return p;
    }();
    return all;
}

template <int (*Estimate)(Bits, Bits)> void estimate(benchmark::State& state)
{
    const std::vector<Position>& p = positions();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Estimate(p[i].own, p[i].opp));
        i = (i + 1) & (p.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

void checkWeights(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(eval::blobProblem(eval::builtinBlob(), eval::builtinBlobSize()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(eval::builtinBlobSize()));
}

BENCHMARK(estimate<evalEstimate>)->Name("evalEstimate");
BENCHMARK(estimate<patternValue>)->Name("patternValue");
BENCHMARK(estimate<evaluateBits>)->Name("evaluateBits (the levels)");
BENCHMARK(checkWeights)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

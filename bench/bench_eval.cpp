// The cost of one static estimate: the trained evaluation against the
// solver's pattern estimate and the levels' evaluation, on positions of
// random games (every stage), and the first call's check of the weights.
//
//   build/bench/reverse-bench-eval
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "engine/patterns.h"
#include "eval/eval.h"
#include "eval/weights.h"

namespace {

struct Position {
    Bits own, opp;
};

const std::vector<Position>& positions()
{
    static const std::vector<Position> all = [] {
        std::mt19937_64 rng(5);
        std::vector<Position> out;
        while (out.size() < 4096) {
            Bits own = Bits{1} << bitOf(4, 5) | Bits{1} << bitOf(5, 4);
            Bits opp = Bits{1} << bitOf(4, 4) | Bits{1} << bitOf(5, 5);
            for (Bits moves; (moves = legalMoves(own, opp)) != 0;) {
                out.push_back({own, opp});
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

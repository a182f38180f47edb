#include <benchmark/benchmark.h>

#include "ai/levels.h"

static void BM_Lv3Start(benchmark::State& state)
{
    setupBoard();
    for (auto _ : state)
        chooseMoveLv3(Black, liveBoard);
}
BENCHMARK(BM_Lv3Start);
BENCHMARK_MAIN();

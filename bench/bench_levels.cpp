// The time of one computer move, per level and group of empty cells, on the
// fixed positions of positions/levels.txt (taken from real games). This is
// the baseline that a faster engine is measured against.
//
// Benchmarks are named level/emptyLOW-HIGH; each iteration is one move on
// the next position of the group. The counters median_ms and max_ms are in
// milliseconds (the library prints small values with SI prefixes: 970u is
// 0.00097 ms); --benchmark_format=json gives them in full.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ai/levels.h"
#include "ai/random.h"
#include "positions.h"

namespace {

std::vector<Group> groups = emptyGroups();

bool loadPositions(const char* file)
{
    return loadPositions(file, groups);
}

long long fixedClock()
{
    return 1234567;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One move per iteration, cycling through the group's positions. The
// counters: median_ms over all moves, max_ms the slowest position (its
// median, so a single preempted move does not count as the maximum).
void timeMoves(benchmark::State& state, int player, const Group* group)
{
    const size_t n = group->positions.size();
    std::vector<std::vector<double>> millis(n);
    std::vector<double> all;
    size_t next = 0;
    for (auto _ : state) {
        const size_t k = next++ % n;
        const Position& p = group->positions[k];
        const auto begin = std::chrono::steady_clock::now();
        runLevel(player, p.side, p.board);
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - begin;
        millis[k].push_back(spent.count());
        all.push_back(spent.count());
        benchmark::DoNotOptimize(chosenMove);
    }
    double slowest = 0;
    for (const std::vector<double>& m : millis)
        if (!m.empty())
            slowest = std::max(slowest, median(m));
    state.counters["median_ms"] = median(all);
    state.counters["max_ms"] = slowest;
}

void add(int level, const Group& g)
{
    const std::string name =
        "lv" + std::to_string(level) + "/empty" + std::to_string(g.low) + "-" + std::to_string(g.high);
    benchmark::RegisterBenchmark(name.c_str(), timeMoves, level + 1, &g)->Unit(benchmark::kMillisecond);
}

// lv0..lv3 everywhere; lv4 only where it searches to the end (elsewhere it is
// lv3); lv5 through the middle game; lv6 where it runs its own searches
// (elsewhere it is lv2 or lv5).
void registerAll()
{
    for (const Group& g : groups) {
        if (g.positions.empty())
            continue;
        for (int level = 0; level <= 3; ++level)
            add(level, g);
        if (g.high <= 9)
            add(4, g);
        if (g.low >= 16 && g.high <= 49)
            add(5, g);
        if (g.high <= 15)
            add(6, g);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!loadPositions(REVERSE_BENCH_POSITIONS)) {
        std::fprintf(stderr, "reverse-bench: no positions in %s\n", REVERSE_BENCH_POSITIONS);
        return 1;
    }
    setClock(fixedClock); // the same random terms on every run
    registerAll();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The midgame search's speed.
//
// reverse-bench-midgame [--depth N] [--values SECONDS [EXACT_FROM]] [--best SECONDS [EXACT_FROM]]
// --depth: each position of positions/levels.txt from 20 empty cells up
// searched N moves deep from a cold table: one thread (nodes, CPU time, nodes
// per second), the best move by iterative deepening to N (nodes; wall time
// on one and on two threads), and every move valued by iterative deepening
// to N on one thread (nodes).
// --values: every legal move valued within SECONDS (default 1) on two
// threads, on 100 positions of games between the fast levels, 20 to 56 empty
// cells: wall time (median, worst), the depth reached and the exact values.
// --best: the best move within SECONDS on the same positions.
// With no option, --depth 10 and --values 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "ai/levels.h"
#include "ai/random.h"
#include "engine/engine.h"
#include "engine/midgame.h"
#include "engine/midtable.h"
#include "positions.h"

namespace {

long long benchSecond = 1;
long long benchClock()
{
    return benchSecond;
}

double threadMillis()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double wallSeconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Sides {
    Bits own, opp;
};

Sides sidesOf(const Position& p)
{
    return {bitsOfColour(p.side, p.board), bitsOfColour(opponentOf(p.side), p.board)};
}

void timeDepth(int depth)
{
    std::vector<Group> groups = emptyGroups();
    loadPositions(REVERSE_BENCH_POSITIONS, groups);
    std::printf("depth %d from a cold table\n%-8s %12s %10s %10s %12s %12s %12s %12s\n", depth, "empties",
                "nodes", "cpu ms", "M nodes/s", "best: nodes", "1 thread ms", "2 threads ms",
                "values: nodes");
    uint64_t allNodes = 0, allDeepening = 0, allValued = 0;
    for (const Group& g : groups) {
        if (g.low < 20)
            continue;
        uint64_t nodes = 0, deepening = 0, valued = 0;
        double cpu = 0, one = 0, two = 0;
        for (const Position& p : g.positions) {
            const Sides s = sidesOf(p);
            MidgameTable::shared().clear();
            const double start = threadMillis();
            nodes += midgameFixedDepth(s.own, s.opp, depth).nodes;
            cpu += threadMillis() - start;
            for (int threads : {1, 2}) {
                MidgameTable::shared().clear();
                const auto wall = std::chrono::steady_clock::now();
                const MidgameBest b = midgameBestMove(s.own, s.opp, {1e9, depth, 0, threads});
                (threads == 1 ? one : two) += wallSeconds(wall) * 1000;
                deepening += threads == 1 ? b.nodes : 0;
            }
            MidgameTable::shared().clear();
            valued += midgameValues(s.own, s.opp, {1e9, depth, 0, 1}).nodes;
        }
        allNodes += nodes;
        allDeepening += deepening;
        allValued += valued;
        std::printf("%2d-%-5d %12llu %10.1f %10.2f %12llu %12.1f %12.1f %12llu\n", g.low, g.high,
                    static_cast<unsigned long long>(nodes), cpu, nodes / cpu / 1000,
                    static_cast<unsigned long long>(deepening), one, two,
                    static_cast<unsigned long long>(valued));
    }
    std::printf("all      %12llu %32llu %38llu\n", static_cast<unsigned long long>(allNodes),
                static_cast<unsigned long long>(allDeepening), static_cast<unsigned long long>(allValued));
}

// 100 positions from 20 to 56 empty cells, every fourth count, of games
// between fast levels from four random first moves.
std::vector<Position> gamePositions()
{
    std::vector<Position> out;
    for (int game = 0; out.size() < 100; ++game) {
        setupBoard();
        Board board = liveBoard;
        int side = Black;
        seedRandom(static_cast<uint32_t>(game + 1));
        for (int ply = 0, passes = 0; passes < 2 && countEmpty(board) >= 20; ++ply) {
            const int empties = countEmpty(board);
            if (ply >= 4 && empties % 4 == 0 && empties <= 56 && out.size() < 100)
                out.push_back({board, side});
            benchSecond = 7919 * game + ply;
            if (ply < 4) {
                listMoves(7, side, board);
                int n = 0;
                while (moveLists[7][n].column != 0)
                    ++n;
                chosenMove = moveLists[7][drawRandom() % n];
            } else {
                engineChooseMove(side == Black ? 6 + game % 2 : 7 - game % 2, side, board);
            }
            passes = chosenMove.column == 0 ? passes + 1 : 0;
            if (chosenMove.column != 0) {
                applyMove(board, chosenMove.column, chosenMove.row, side);
                board = trialBoard;
            }
            side = opponentOf(side);
        }
    }
    return out;
}

void timeValues(double seconds, int exactFrom, bool bestOnly)
{
    const MidgameLimits limits{seconds, 60, exactFrom, 2};
    std::printf("%s within %.2f s, exact from %d empty cells, 2 threads\n%-8s %6s %9s %9s %9s %7s %10s\n",
                bestOnly ? "best move" : "every move valued", seconds, exactFrom, "empties", "count",
                "median s", "worst s", "depth", "exact", "M nodes");
    const std::vector<Position> all = gamePositions();
    std::vector<double> times;
    for (int high = 56; high >= 20; high -= 12) {
        std::vector<double> groupTimes, depths;
        int exact = 0, count = 0;
        uint64_t nodes = 0;
        for (const Position& p : all) {
            const int empties = countEmpty(p.board);
            if (empties > high || empties <= high - 12)
                continue;
            const Sides s = sidesOf(p);
            MidgameTable::shared().clear();
            const auto wall = std::chrono::steady_clock::now();
            if (bestOnly) {
                const MidgameBest b = midgameBestMove(s.own, s.opp, limits);
                depths.push_back(b.depth);
                exact += b.exact;
                nodes += b.nodes;
            } else {
                const MidgameValues v = midgameValues(s.own, s.opp, limits);
                depths.push_back(v.moves.empty() ? 0 : v.moves[0].depth);
                exact +=
                    std::all_of(v.moves.begin(), v.moves.end(), [](const MoveValue& m) { return m.exact; });
                nodes += v.nodes;
            }
            groupTimes.push_back(wallSeconds(wall));
            ++count;
        }
        times.insert(times.end(), groupTimes.begin(), groupTimes.end());
        std::printf("%2d-%-5d %6d %9.3f %9.3f %9.1f %7d %10.1f\n", high - 11, high, count, median(groupTimes),
                    *std::max_element(groupTimes.begin(), groupTimes.end()), median(depths), exact,
                    nodes / 1e6);
    }
    std::printf("all      %6zu %9.3f %9.3f\n", times.size(), median(times),
                *std::max_element(times.begin(), times.end()));
}

// Every move solved, and the best move, from a few plies of estimates.
void timeExact(int exactFrom)
{
    std::vector<Group> groups = emptyGroups();
    loadPositions(REVERSE_BENCH_POSITIONS, groups);
    std::vector<Position> some;
    for (const Position& p : gamePositions())
        if (countEmpty(p.board) <= exactFrom)
            some.push_back(p);
    for (const Group& g : groups)
        for (const Position& p : g.positions)
            if (countEmpty(p.board) <= exactFrom && countEmpty(p.board) >= 14)
                some.push_back(p);
    uint64_t allValues = 0, allBest = 0;
    double valuesSeconds = 0, bestSeconds = 0;
    for (const Position& p : some) {
        const Sides s = sidesOf(p);
        MidgameTable::shared().clear();
        clearSolverTable();
        auto wall = std::chrono::steady_clock::now();
        const MidgameValues v = midgameValues(s.own, s.opp, {1e9, 60, exactFrom, 2});
        const double vs = wallSeconds(wall);
        MidgameTable::shared().clear();
        clearSolverTable();
        wall = std::chrono::steady_clock::now();
        const MidgameBest b = midgameBestMove(s.own, s.opp, {1e9, 60, exactFrom, 2});
        const double bs = wallSeconds(wall);
        clearSolverTable();
        resetSolverNodes();
        wall = std::chrono::steady_clock::now();
        const Solution solved = solveBest(s.own, s.opp, Scoring::EmptiesToWinner);
        const double ss = wallSeconds(wall);
        std::printf("%2d empties: values %10llu nodes %7.3f s, best %+3d %10llu nodes %7.3f s, solver %+3d "
                    "%10llu nodes %7.3f s\n",
                    countEmpty(p.board), static_cast<unsigned long long>(v.nodes), vs, b.value / DiscUnits,
                    static_cast<unsigned long long>(b.nodes), bs, solved.value,
                    static_cast<unsigned long long>(solverNodes()), ss);
        allValues += v.nodes;
        allBest += b.nodes;
        valuesSeconds += vs;
        bestSeconds += bs;
    }
    std::printf("all: values %llu nodes %.2f s, best %llu nodes %.2f s\n",
                static_cast<unsigned long long>(allValues), valuesSeconds,
                static_cast<unsigned long long>(allBest), bestSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    setClock(benchClock);
    bool any = false;
    for (int i = 1; i < argc; ++i) {
        auto number = [&](double fallback) {
            return i + 1 < argc && argv[i + 1][0] != '-' ? std::atof(argv[++i]) : fallback;
        };
        if (std::strcmp(argv[i], "--depth") == 0) {
            timeDepth(static_cast<int>(number(10)));
            any = true;
        } else if (std::strcmp(argv[i], "--exact") == 0) {
            timeExact(static_cast<int>(number(20)));
            any = true;
        } else if (std::strcmp(argv[i], "--values") == 0 || std::strcmp(argv[i], "--best") == 0) {
            const bool best = argv[i][2] == 'b';
            const double seconds = number(1);
            timeValues(seconds, static_cast<int>(number(20)), best);
            any = true;
        }
    }
    if (!any) {
        timeDepth(10);
        timeValues(1, 20, false);
    }
    return 0;
}

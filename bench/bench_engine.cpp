// Fast engine timings: one move per level and group of empty cells on the
// positions of positions/levels.txt (fast always, plain beside it with
// --plain), a whole lv6-against-lv6 game with the fast engine, and the
// endgame solver's nodes per second on 20 to 24 empty cells.
//
// reverse-bench-engine [--plain] [--solver-only] [--scan] [--ffo [FIRST [LAST [RUNS [THREADS]]]]]
// [--hints] [--analysis]
// --scan: the slowest fast move per level over every position of 40 games.
// --ffo: the exact solve of the endgame test positions FIRST..LAST (default
// 40..49) of positions/ffo.txt, each from a cold table, with nodes, time and
// nodes per second, checked against the known scores. With RUNS each position
// is solved that many times in a row and the median time is shown: runs in
// turn see the same load from other programs, so the figure drifts less.
// With THREADS above 1 each solve runs on that many threads (SolverHelpers)
// and the time is the wall time; on one thread it is the thread's CPU time.
// --hints: the wall time to the exact best cell of hints at 24 empty cells or
// fewer, as the window asks for them (on every core): FFO #40 to #46 and 20
// positions at 24 empty cells from games between the fast levels.
// --analysis: the wall time of hints on the endgame test positions #40 (every
// value exact) and #45 (the exact best cells, after the preview and the first
// exact best cell the window shows before them), and of the exact analysis (two
// threads) of whole games between the fast levels, from 24 empty cells on.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ai/levels.h"
#include "ai/random.h"
#include "analysis/analysis.h"
#include "engine/bits.h"
#include "engine/engine.h"
#include "engine/solver.h"
#include "positions.h"

namespace {

std::vector<Group> groups = emptyGroups();

bool loadPositions(const char* file)
{
    return loadPositions(file, groups);
}

long long benchSecond = 1234567;
long long benchClock()
{
    return benchSecond;
}

double millisOf(void (*level)(int, int, const Board&), int player, const Position& p)
{
    const auto start = std::chrono::steady_clock::now();
    level(player, p.side, p.board);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Best of three, so one preempted run does not count as the move's time;
// each from an empty solver table, so none is answered from the last.
double fastMillis(int player, const Position& p)
{
    double best = 1e18;
    for (int i = 0; i < 3; ++i) {
        clearSolverTable();
        best = std::min(best, millisOf(engineChooseMove, player, p));
    }
    return best;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void timeLevels(bool withPlain)
{
    std::printf("%-5s %-7s %10s %10s %12s %12s %9s\n", "level", "empties", "fast med", "fast max",
                "plain med", "plain max", "ratio");
    for (int player = 1; player <= 7; ++player) {
        double worst = 0;
        for (const Group& g : groups) {
            std::vector<double> fast, plain;
            for (const Position& p : g.positions) {
                fast.push_back(fastMillis(player, p));
                if (withPlain)
                    plain.push_back(millisOf(runLevel, player, p));
            }
            const double fastMax = fast.empty() ? 0 : *std::max_element(fast.begin(), fast.end());
            worst = std::max(worst, fastMax);
            std::printf("lv%-3d %2d-%-4d %10.3f %10.3f", player - 1, g.low, g.high, median(fast), fastMax);
            if (withPlain) {
                const double plainMax = *std::max_element(plain.begin(), plain.end());
                std::printf(" %12.3f %12.3f %8.0fx", median(plain), plainMax, median(plain) / median(fast));
            }
            std::printf("\n");
        }
        std::printf("lv%d slowest fast move: %.3f ms\n", player - 1, worst);
    }
}

// lv6 against lv6 with the fast engine from the start; total thinking time.
void timeGame()
{
    for (long long second : {1, 1234567, 1700000000}) {
        setupBoard();
        Board board = liveBoard;
        int side = Black;
        double total = 0, slowest = 0;
        int moves = 0;
        seedRandom(1);
        for (int passes = 0; passes < 2;) {
            benchSecond = second + moves;
            const double ms = millisOf(engineChooseMove, 7, Position{board, side});
            total += ms;
            slowest = std::max(slowest, ms);
            if (chosenMove.column == 0) {
                ++passes;
            } else {
                passes = 0;
                ++moves;
                applyMove(board, chosenMove.column, chosenMove.row, side);
                board = trialBoard;
            }
            side = opponentOf(side);
        }
        std::printf("lv6 vs lv6 game (clock from %lld): %d moves, total %.1f ms, slowest move %.2f ms, "
                    "final %d-%d\n",
                    second, moves, total, slowest, countStones(Black, board), countStones(White, board));
    }
}

// Positions 20 to 24 empty cells from the end of fast lv2-against-lv3 games.
std::vector<Position> solverPositions()
{
    std::vector<Position> out;
    for (int game = 0; game < 4; ++game)
        for (int target : {20, 22, 24}) {
            setupBoard();
            Board board = liveBoard;
            int side = Black;
            for (int ply = 0; countEmpty(board) > target && ply < 80; ++ply) {
                benchSecond = 1000 * game + ply;
                engineChooseMove(ply % 2 ? 3 : 4, side, board);
                if (chosenMove.column != 0) {
                    applyMove(board, chosenMove.column, chosenMove.row, side);
                    board = trialBoard;
                }
                side = opponentOf(side);
            }
            out.push_back({board, side});
        }
    return out;
}

// CPU time of this thread: on a shared machine the wall clock also counts
// the time other processes held the core.
double threadMillis()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void timeSolver()
{
    uint64_t allNodes = 0;
    double allMillis = 0, allCpu = 0;
    for (const Position& p : solverPositions()) {
        clearSolverTable();
        resetSolverNodes();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadMillis();
        const int v = solveEndgame(p.side, p.board);
        const double cpu = threadMillis() - cpuStart;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const double nodes = static_cast<double>(solverNodes());
        allNodes += solverNodes();
        allMillis += ms;
        allCpu += cpu;
        std::printf(
            "solve %2d empties: value %+3d, %11.0f nodes, wall %9.1f ms, cpu %9.1f ms, %5.1f M nodes/s cpu\n",
            countEmpty(p.board), v, nodes, ms, cpu, nodes / cpu / 1000);
    }
    std::printf("solver total: %llu nodes, wall %.1f ms (%.1f M nodes/s), cpu %.1f ms (%.1f M nodes/s)\n",
                static_cast<unsigned long long>(allNodes), allMillis, allNodes / allMillis / 1000, allCpu,
                allNodes / allCpu / 1000);
}

// The slowest fast move of each level over every position of many games
// (fast lv6 against fast lv2 to lv5, varied clocks), each from a cold table.
void scanSlowest()
{
    std::vector<Position> all;
    for (int game = 0; game < 40; ++game) {
        setupBoard();
        Board board = liveBoard;
        int side = Black;
        for (int ply = 0, passes = 0; passes < 2 && ply < 70; ++ply) {
            all.push_back({board, side});
            benchSecond = 7919 * game + ply;
            engineChooseMove(side == Black ? 7 : 3 + game % 4, side, board);
            passes = chosenMove.column == 0 ? passes + 1 : 0;
            if (chosenMove.column != 0) {
                applyMove(board, chosenMove.column, chosenMove.row, side);
                board = trialBoard;
            }
            side = opponentOf(side);
        }
    }
    for (int player = 1; player <= 7; ++player) {
        double worst = 0, total = 0;
        int worstEmpty = 0;
        for (const Position& p : all) {
            clearSolverTable();
            double ms = millisOf(engineChooseMove, player, p);
            for (int retry = 0; retry < 2 && ms > 0.5; ++retry) { // a preempted run is timed again
                clearSolverTable();
                ms = std::min(ms, millisOf(engineChooseMove, player, p));
            }
            total += ms;
            if (ms > worst) {
                worst = ms;
                worstEmpty = countEmpty(p.board);
            }
        }
        std::printf("lv%d over %zu positions: mean %.3f ms, slowest %.3f ms (%d empties)\n", player - 1,
                    all.size(), total / all.size(), worst, worstEmpty);
    }
}

struct TestPosition {
    Position position;
    int score, number;
};

std::vector<TestPosition> loadTestPositions(const char* file)
{
    std::vector<TestPosition> out;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        TestPosition t{};
        if (readPosition(line, t.position) &&
            std::sscanf(line.c_str() + 66, "%d %d", &t.score, &t.number) == 2)
            out.push_back(t);
    }
    return out;
}

// The median of `runs` cold solves of one position, in seconds; `value` and
// `nodes` are those of the last (on one thread every run searches the same
// tree). `helpers` given, the time is the wall time.
double medianSolve(const TestPosition& t, int runs, int& value, uint64_t& nodes, SolverHelpers* helpers)
{
    std::vector<double> seconds;
    const Board& board = t.position.board;
    const Bits own = bitsOfColour(t.position.side, board),
               opp = bitsOfColour(opponentOf(t.position.side), board);
    for (int run = 0; run < runs; ++run) {
        clearSolverTable();
        resetSolverNodes();
        const auto wallStart = std::chrono::steady_clock::now();
        const double start = threadMillis();
        value = solveWindow(own, opp, Scoring::EmptiesToWinner, -64, 64, nullptr, helpers);
        seconds.push_back(
            helpers ? std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count()
                    : (threadMillis() - start) / 1000);
        nodes = solverNodes();
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// Returns false when a value differs from the known score.
bool timeTestPositions(int first, int last, int runs, int threads)
{
    std::unique_ptr<SolverHelpers> helpers;
    if (threads > 1)
        helpers = std::make_unique<SolverHelpers>(threads);
    std::printf("%-4s %7s %6s %14s %10s %10s\n", "#", "empties", "value", "nodes", "time s", "M nodes/s");
    uint64_t allNodes = 0;
    double allSeconds = 0;
    bool allRight = true;
    for (const TestPosition& t : loadTestPositions(REVERSE_BENCH_FFO)) {
        if (t.number < first || t.number > last)
            continue;
        int v = 0;
        uint64_t nodes = 0;
        const double seconds = medianSolve(t, runs, v, nodes, helpers.get());
        allNodes += nodes;
        allSeconds += seconds;
        allRight &= v == t.score;
        std::printf("%-4d %7d %+6d %14llu %10.2f %10.1f%s\n", t.number, countEmpty(t.position.board), v,
                    static_cast<unsigned long long>(nodes), seconds, nodes / seconds / 1e6,
                    v == t.score ? "" : "  WRONG");
    }
    std::printf("%-4s %7s %6s %14llu %10.2f %10.1f\n", "all", "", "",
                static_cast<unsigned long long>(allNodes), allSeconds, allNodes / allSeconds / 1e6);
    return allRight;
}

// The hint as the window asks for it (stagedHint), from a cold table.
// Returns the seconds to the first exact best cell the window shows, or to
// the whole hint without one.
double timeHint(const Position& p, const char* kind, int number)
{
    clearSolverTable();
    CancelFlag cancel{false};
    const auto start = std::chrono::steady_clock::now();
    auto since = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double firstSeconds = 0;
    // An estimate's best cell is proven only when every cell is exact.
    auto hasExactBest = [&](const Hint& h) {
        if (h.kind == HintKind::Estimates && exactHintAdds(p.board, h))
            return false;
        return std::any_of(h.cells.begin(), h.cells.end(),
                           [](const CellHint& c) { return c.best && c.exact; });
    };
    const Hint hint = stagedHint(p.board, p.side, cancel, [&](const Hint& h) {
        if (firstSeconds == 0 && hasExactBest(h))
            firstSeconds = since();
    });
    const double seconds = since();
    if (firstSeconds == 0 && hasExactBest(hint))
        firstSeconds = seconds;
    std::printf("hint %s%d (%d empties): %zu cells,", kind, number, countEmpty(p.board), hint.cells.size());
    if (firstSeconds > 0)
        std::printf(" one exact best cell after %.2f s,", firstSeconds);
    for (const CellHint& c : hint.cells)
        if (c.hasValue)
            std::printf(" %c%d %+d%s%s", 'a' + c.move.column - 1, c.move.row, c.value, c.exact ? "" : "~",
                        c.best ? "*" : "");
    std::printf(", %.2f s\n", seconds);
    return firstSeconds > 0 ? firstSeconds : seconds;
}

void timeHints()
{
    for (const TestPosition& t : loadTestPositions(REVERSE_BENCH_FFO))
        if (t.number == 40 || t.number == 45)
            timeHint(t.position, "#", t.number);
}

// The position with 24 empty cells of a game between fast levels (lv6
// against lv2 to lv5, after four random moves), or false when there is none
// with a move to play.
bool gamePosition24(int game, Position& out)
{
    setupBoard();
    Board board = liveBoard;
    int side = Black;
    for (int ply = 0, passes = 0; passes < 2 && ply < 70; ++ply) {
        if (countEmpty(board) == 24) {
            out = {board, side};
            listMoves(7, side, board);
            return moveCount(moveLists[7]) > 0;
        }
        benchSecond = 104729 * game + ply;
        engineChooseMove(ply < 4 ? 1 : side == Black ? 7 : 3 + game % 4, side, board); // random openings
        passes = chosenMove.column == 0 ? passes + 1 : 0;
        if (chosenMove.column != 0) {
            applyMove(board, chosenMove.column, chosenMove.row, side);
            board = trialBoard;
        }
        side = opponentOf(side);
    }
    return false;
}

// The time to the exact best cell of hints at 24 empty cells or fewer:
// FFO #40 to #46 and 20 positions at 24 empty cells from games.
void timeExactHints()
{
    std::vector<double> seconds;
    for (const TestPosition& t : loadTestPositions(REVERSE_BENCH_FFO))
        if (countEmpty(t.position.board) <= 24)
            seconds.push_back(timeHint(t.position, "#", t.number));
    Position p;
    for (int game = 0, found = 0; found < 20; ++game)
        if (gamePosition24(game, p)) {
            seconds.push_back(timeHint(p, "game ", game));
            ++found;
        }
    std::sort(seconds.begin(), seconds.end());
    std::printf("exact best cell: median %.2f s, slowest %.2f s over %zu hints\n",
                seconds[seconds.size() / 2], seconds.back(), seconds.size());
}

// Games of fast lv6 against fast lv5 from the start, with passes recorded.
void timeAnalysis()
{
    timeHints();
    for (long long clock : {11, 222, 3333}) {
        setupBoard();
        Board board = liveBoard;
        int side = Black;
        std::vector<Move> turns;
        for (int passes = 0, ply = 0; passes < 2; ++ply) {
            benchSecond = clock + ply;
            engineChooseMove(side == Black ? 7 : 6, side, board);
            const Move m = chosenMove;
            passes = m.column == 0 ? passes + 1 : 0;
            if (passes < 2)
                turns.push_back(m);
            if (m.column != 0) {
                applyMove(board, m.column, m.row, side);
                board = trialBoard;
            }
            side = opponentOf(side);
        }
        if (!turns.empty() && turns.back().column == 0)
            turns.pop_back();
        setupBoard();
        CancelFlag cancel{false};
        AnalysisProgress progress;
        const auto start = std::chrono::steady_clock::now();
        const GameAnalysis a = analyseGame(liveBoard, Black, turns, cancel, &progress);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        int lost = 0;
        for (const TurnAnalysis& t : a.turns)
            lost += t.exact && t.value < t.bestValue;
        std::printf("game (clock %lld): %zu turns, %d positions solved, %d moves lost discs, final %+d for "
                    "Black, %.2f s\n",
                    clock, turns.size(), progress.total.load(), lost, a.positions.back().black, seconds);
    }
}

} // namespace

int main(int argc, char** argv)
{
    bool withPlain = false, solverOnly = false, scan = false;
    for (int i = 1; i < argc; ++i) {
        withPlain |= std::strcmp(argv[i], "--plain") == 0;
        solverOnly |= std::strcmp(argv[i], "--solver-only") == 0;
        scan |= std::strcmp(argv[i], "--scan") == 0;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    setClock(benchClock);
    if (argc > 1 && std::strcmp(argv[1], "--hints") == 0) {
        timeExactHints();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--analysis") == 0) {
        timeAnalysis();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--ffo") == 0) {
        const int first = argc > 2 ? std::atoi(argv[2]) : 40;
        const int last = argc > 3 ? std::atoi(argv[3]) : argc > 2 ? first : 49;
        const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 1;
        const int threads = argc > 5 ? std::max(1, std::atoi(argv[5])) : 1;
        return timeTestPositions(first, last, runs, threads) ? 0 : 1;
    }
    if (scan) {
        scanSlowest();
        return 0;
    }
    if (!solverOnly) {
        loadPositions(REVERSE_BENCH_POSITIONS);
        timeLevels(withPlain);
        timeGame();
    }
    timeSolver();
    return 0;
}

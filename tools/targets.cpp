// reverse-targets: measures the hint and the game analysis against their
// targets, headless. (The hint's accuracy on held-out positions is
// reverse-train accuracy --search.)
//
//   reverse-targets hint-time [COUNT]      the time the hint takes to value every
//                                          legal cell, on COUNT positions (default
//                                          100) from 20 to 56 empty cells
//   reverse-targets analysis [GAMES]       the time of analysing whole games
//                                          (default 3) of 60 moves
//
// Positions come from games that open with 6 to 15 random plies and go on
// with lv3 (a fixed clock, so every run makes the same ones).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ai/levels.h"
#include "ai/random.h"
#include "analysis/analysis.h"
#include "engine/engine.h"
#include "engine/midgame.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    Board board;
    int side;
};

long long fixedSecond = 0;
long long steppingClock()
{
    return fixedSecond;
}

double secondsSince(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

bool hasMove(int side, const Board& board)
{
    listMoves(0, side, board);
    return moveCount(moveLists[0]) > 0;
}

// One game from the start: random plies, then lv3. Calls visit(board, side,
// move) before each move; stops when visit returns false or the game ends.
template <class Visit> void playGame(uint32_t seed, Visit visit)
{
    setupBoard();
    Board board = liveBoard;
    int side = Black;
    seedRandom(seed);
    const int randomPlies = 6 + static_cast<int>(drawRandom() % 10);
    for (int ply = 0;; ++ply) {
        if (!hasMove(side, board)) {
            side = opponentOf(side);
            if (!hasMove(side, board))
                return;
        }
        Move m;
        if (ply < randomPlies) {
            listMoves(0, side, board);
            m = moveLists[0][drawRandom() % moveCount(moveLists[0])];
        } else {
            fixedSecond = seed * 100 + ply;
            runLevelFast(4, side, board);
            m = chosenMove;
        }
        if (!visit(board, side, m))
            return;
        applyMove(board, m.column, m.row, side);
        board = trialBoard;
        side = opponentOf(side);
    }
}

// Positions with `low` to `high` empty cells, spread over that range, one a game.
std::vector<Sample> positions(int count, int low, int high, uint32_t firstSeed)
{
    std::vector<Sample> out;
    for (uint32_t seed = firstSeed; static_cast<int>(out.size()) < count; ++seed) {
        const int target = high - static_cast<int>(out.size()) % (high - low + 1);
        playGame(seed, [&](const Board& board, int side, Move) {
            if (countEmpty(board) != target)
                return true;
            out.push_back({board, side});
            return false;
        });
    }
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

int hintTime(int count)
{
    std::vector<double> times;
    int worstEmpties = 0;
    for (const Sample& s : positions(count, 20, 56, 700001)) {
        CancelFlag cancel{false};
        const auto start = Clock::now();
        const Hint hint = estimateHint(s.board, s.side, cancel);
        const double t = secondsSince(start);
        if (times.empty() || t > *std::max_element(times.begin(), times.end()))
            worstEmpties = countEmpty(s.board);
        times.push_back(t);
        if (hint.kind != HintKind::Estimates)
            std::fprintf(stderr, "a position without every cell valued\n");
    }
    std::printf("%zu positions from 20 to 56 empty cells: every legal cell valued in %.2f s (median), "
                "%.2f s at worst (%d empty cells)\n",
                times.size(), median(times), *std::max_element(times.begin(), times.end()), worstEmpties);
    return 0;
}

int analysisTime(int games)
{
    int analysed = 0;
    for (uint32_t seed = 500001; analysed < games; ++seed) {
        setupBoard();
        const Board start = liveBoard;
        std::vector<Move> turns;
        int lastSide = White;
        playGame(seed, [&](const Board&, int side, Move m) {
            if (side == lastSide)
                turns.push_back({0, 0}); // the other side passed
            turns.push_back(m);
            lastSide = side;
            return true;
        });
        if (std::count_if(turns.begin(), turns.end(), [](Move m) { return m.column != 0; }) != 60)
            continue; // a game that ended early
        CancelFlag cancel{false};
        AnalysisProgress progress;
        const auto begin = Clock::now();
        const GameAnalysis a = analyseGame(start, Black, turns, cancel, &progress);
        const double seconds = secondsSince(begin);
        int exactFrom = a.legalTurns;
        while (exactFrom > 0 && a.positions[exactFrom - 1].exact)
            --exactFrom;
        const int lost = static_cast<int>(
            std::count_if(a.turns.begin(), a.turns.end(), [](const TurnAnalysis& t) { return t.lostDiscs; }));
        std::printf("game %d: %d turns analysed in %.1f s, estimates %d moves deep, exact from turn %d "
                    "(%d empty cells), %d moves lost discs\n",
                    ++analysed, a.legalTurns, seconds, a.estimateDepth, exactFrom,
                    60 - static_cast<int>(std::count_if(turns.begin(), turns.begin() + exactFrom,
                                                        [](Move m) { return m.column != 0; })),
                    lost);
        std::fflush(stdout);
    }
    return 0;
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: reverse-targets hint-time [COUNT] | analysis [GAMES]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        usage();
    setClock(steppingClock);
    const std::string mode = argv[1];
    auto number = [&](int i, int otherwise) {
        return argc > i ? std::max(1, std::atoi(argv[i])) : otherwise;
    };
    if (!midgameReady())
        std::fprintf(stderr, "reverse-targets: the midgame search's evaluation is missing\n");
    if (mode == "hint-time")
        return hintTime(number(2, 100));
    if (mode == "analysis")
        return analysisTime(number(2, 3));
    usage();
}

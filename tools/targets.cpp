// reverse-targets: measures the hint and the game analysis against their
// targets, headless.
//
//   reverse-targets heldout FILE [COUNT]   write COUNT positions (default 100) from
//                                          20 to 24 empty cells with every move's
//                                          exact value (two threads; minutes)
//   reverse-targets accuracy FILE          the hint's estimates (its one-second
//                                          search) on FILE's positions against
//                                          their exact values
//   reverse-targets hint-time [COUNT]      the time the hint takes to value every
//                                          legal cell, on COUNT positions (default
//                                          100) from 20 to 56 empty cells
//   reverse-targets analysis [GAMES]       the time of analysing whole games
//                                          (default 3) of 60 moves
//
// Positions come from games that open with 6 to 15 random plies and go on
// with lv3 (a fixed clock, so every run makes the same ones); a position is
// written as the match tool reads it, 64 cells and the side to move.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
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
    std::vector<std::pair<Move, int>> values; // every legal move's exact value
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

std::string positionText(const Board& board, int side)
{
    std::string line;
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column) {
            const int cell = board[cellIndex(column, row)];
            line += cell == Black ? 'X' : cell == White ? 'O' : '-';
        }
    return line + (side == Black ? " X" : " O");
}

std::string cellName(Move m)
{
    return {static_cast<char>('a' + m.column - 1), static_cast<char>('0' + m.row)};
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
            out.push_back({board, side, {}});
            return false;
        });
    }
    return out;
}

// The exact value of the move, solved in a narrow window around a shallow
// estimate and widened until the value lies inside: much quicker than the
// whole window.
int exactValue(const Board& board, int side, Move m)
{
    const Bits own = bitsOfColour(side, board), opp = bitsOfColour(opponentOf(side), board);
    const int bit = bitOf(m.column, m.row);
    const Bits flips = flipsOf(bit, own, opp);
    const Bits theirs = opp & ~flips, mine = own | flips | Bits{1} << bit;
    const int guess = -discsOf(midgameFixedDepth(theirs, mine, 6).value);
    for (int width = 2;; width *= 4) {
        const int alpha = std::max(guess - width, -65), beta = std::min(guess + width, 65);
        const int v = -solveWindow(theirs, mine, Scoring::EmptiesToWinner, -beta, -alpha);
        if ((v > alpha || alpha == -65) && (v < beta || beta == 65))
            return v;
    }
}

int writeHeldOut(const std::string& file, int count)
{
    // Seeds far from any other tool's, so these games are their own.
    std::vector<Sample> samples = positions(count, 20, 24, 900001);
    const auto start = Clock::now();
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k; (k = next.fetch_add(1)) < samples.size();) {
            Sample& s = samples[k]; // by bits: the move lists are shared by every thread
            for (Bits m =
                     legalMoves(bitsOfColour(s.side, s.board), bitsOfColour(opponentOf(s.side), s.board));
                 m; m &= m - 1) {
                const Move move = moveOfBit(lowestBit(m));
                s.values.push_back({move, exactValue(s.board, s.side, move)});
            }
            std::fprintf(stderr, "\r%zu / %zu", k + 1, samples.size());
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    std::ofstream out(file);
    out << "# Held-out positions for reverse-targets accuracy: 20 to 24 empty cells from\n"
           "# games of random openings and lv3 (reverse-targets heldout), each legal move\n"
           "# with its exact final disc difference for the side to move.\n";
    for (const Sample& s : samples) {
        out << positionText(s.board, s.side);
        for (const auto& [m, v] : s.values)
            out << ' ' << cellName(m) << ':' << v;
        out << '\n';
    }
    std::fprintf(stderr, "\nwrote %zu positions to %s in %.0f s\n", samples.size(), file.c_str(),
                 secondsSince(start));
    return 0;
}

std::vector<Sample> readHeldOut(const std::string& file)
{
    std::ifstream in(file);
    std::vector<Sample> samples;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line.size() < 66)
            continue;
        Sample s{};
        s.board.fill(Empty);
        for (int i = 0; i < 64; ++i)
            s.board[cellIndex(i % 8 + 1, i / 8 + 1)] = line[i] == 'X'   ? Black
                                                       : line[i] == 'O' ? White
                                                                        : Empty;
        s.side = line[65] == 'X' ? Black : White;
        std::istringstream rest(line.substr(66));
        for (std::string item; rest >> item;)
            s.values.push_back({{item[0] - 'a' + 1, item[1] - '0'}, std::atoi(item.c_str() + 3)});
        samples.push_back(s);
    }
    return samples;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

int accuracy(const std::string& file)
{
    const std::vector<Sample> samples = readHeldOut(file);
    if (samples.empty()) {
        std::fprintf(stderr, "reverse-targets: no positions in %s\n", file.c_str());
        return 2;
    }
    double moveErrors = 0, positionErrors = 0;
    int moves = 0, bestFound = 0, exactMoves = 0;
    std::vector<double> times;
    for (const Sample& s : samples) {
        CancelFlag cancel{false};
        const auto start = Clock::now();
        const Hint hint = estimateHint(s.board, s.side, cancel);
        times.push_back(secondsSince(start));
        int best = -64, hintBest = -64;
        for (const auto& [m, v] : s.values)
            best = std::max(best, v);
        Move chosen{0, 0};
        for (const CellHint& c : hint.cells) {
            const auto exact = std::find_if(s.values.begin(), s.values.end(),
                                            [&](const auto& mv) { return mv.first == c.move; });
            if (exact == s.values.end())
                continue;
            moveErrors += std::abs(c.value - exact->second);
            ++moves;
            exactMoves += c.exact;
            if (c.best && chosen.column == 0) {
                chosen = c.move;
                hintBest = c.value;
            }
        }
        positionErrors += std::abs(hintBest - best);
        for (const auto& [m, v] : s.values)
            bestFound += m == chosen && v == best;
    }
    const double n = static_cast<double>(samples.size());
    std::printf("%zu positions, %d moves (%d already exact): mean absolute error %.2f discs a move, "
                "%.2f discs for the position's value; best move among the exact best in %.0f%%; "
                "time median %.2f s, worst %.2f s\n",
                samples.size(), moves, exactMoves, moveErrors / std::max(moves, 1), positionErrors / n,
                100.0 * bestFound / n, median(times), *std::max_element(times.begin(), times.end()));
    return 0;
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
    std::fprintf(stderr, "usage: reverse-targets heldout FILE [COUNT] | accuracy FILE | hint-time [COUNT] | "
                         "analysis [GAMES]\n");
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
    if (mode == "heldout" && argc >= 3)
        return writeHeldOut(argv[2], number(3, 100));
    if (mode == "accuracy" && argc >= 3)
        return accuracy(argv[2]);
    if (mode == "hint-time")
        return hintTime(number(2, 100));
    if (mode == "analysis")
        return analysisTime(number(2, 3));
    usage();
}

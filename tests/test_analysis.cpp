// Hints and game analysis against the simplest exact search over the plain
// board, and their cancellation from another thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ai/levels.h"
#include "analysis/analysis.h"
#include "board/moves.h"
#include "engine/engine.h"
#include "engine/solver.h"

namespace {

// Final difference for `colour` when neither side can move: the empty cells
// go to the winner.
int finalValue(int colour, const Board& board)
{
    const int own = countStones(colour, board), opp = countStones(opponentOf(colour), board);
    const int empties = 64 - own - opp;
    return own > opp ? own - opp + empties : own < opp ? own - opp - empties : 0;
}

// The value for `colour` to move under best play: alpha-beta with the whole
// window at the root, over the plain board and its applyMove.
int referenceValue(int colour, const Board& board, int alpha = -64, int beta = 64, bool passed = false)
{
    const int opponent = opponentOf(colour);
    const int before = countStones(opponent, board);
    int best = -65;
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row) {
            if (board[cellIndex(column, row)] != Empty)
                continue;
            applyMove(board, column, row, colour);
            if (countStones(opponent, trialBoard) == before)
                continue;
            const Board child = trialBoard;
            best = std::max(best, -referenceValue(opponent, child, -beta, -std::max(alpha, best)));
            if (best >= beta)
                return best;
        }
    if (best > -65)
        return best;
    return passed ? finalValue(colour, board) : -referenceValue(opponent, board, -beta, -alpha, true);
}

// Positions from random games (a fixed generator), `empties` cells from the
// end, with the side to move holding a move.
std::vector<std::pair<Board, int>> randomPositions(int count, int empties, uint32_t seed)
{
    std::vector<std::pair<Board, int>> out;
    while (static_cast<int>(out.size()) < count) {
        setupBoard();
        Board board = liveBoard;
        int side = Black;
        for (int passes = 0; passes < 2 && countStones(Empty, board) - 36 > empties;) {
            listMoves(7, side, board);
            const int n = moveCount(moveLists[7]);
            if (n == 0) {
                ++passes;
            } else {
                passes = 0;
                seed = seed * 1103515245u + 12345u;
                const Move m = moveLists[7][(seed >> 16) % n];
                applyMove(board, m.column, m.row, side);
                board = trialBoard;
            }
            side = opponentOf(side);
        }
        listMoves(7, side, board);
        if (countStones(Empty, board) - 36 == empties && moveCount(moveLists[7]) > 0)
            out.push_back({board, side});
    }
    return out;
}

// Whether `line` can be played from the position in turn, a pass (0, 0)
// only where the side to move has no move.
bool playable(Board board, int colour, const std::vector<Move>& line)
{
    for (Move m : line) {
        listMoves(7, colour, board);
        const bool canMove = moveCount(moveLists[7]) > 0;
        if (m.column == 0 ? canMove : !isLegalMove(colour, m.column, m.row, board))
            return false;
        if (m.column != 0) {
            applyMove(board, m.column, m.row, colour);
            board = trialBoard;
        }
        colour = opponentOf(colour);
    }
    return !line.empty();
}

Board boardOf(const char* cells)
{
    Board b{};
    for (int i = 0; i < 64; ++i)
        b[cellIndex(i % 8 + 1, i / 8 + 1)] = cells[i] == 'X' ? Black : cells[i] == 'O' ? White : Empty;
    return b;
}

} // namespace

TEST(Hint, ExactValuesMatchTheReferenceSearch)
{
    std::vector<std::pair<Board, int>> positions = randomPositions(20, 10, 1);
    for (int e : {12, 14})
        for (const auto& p : randomPositions(4, e, 7 * e))
            positions.push_back(p);
    // Black takes White's last stone with five cells left: the game ends
    // there and they count for Black (64, where the plain levels count 59).
    positions.push_back({boardOf("XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"
                                 "-OX-----"),
                         Black});
    CancelFlag cancel{false};
    for (const auto& [board, colour] : positions) {
        const Hint hint = computeHint(board, colour, cancel);
        ASSERT_EQ(hint.kind, HintKind::AllValues);
        int best = -65;
        for (const CellHint& c : hint.cells) {
            applyMove(board, c.move.column, c.move.row, colour);
            const Board child = trialBoard;
            listMoves(7, opponentOf(colour), child);
            const bool theyMove = moveCount(moveLists[7]) > 0;
            const int expected =
                theyMove ? -referenceValue(opponentOf(colour), child) : referenceValue(colour, child);
            EXPECT_TRUE(c.hasValue);
            EXPECT_EQ(c.value, expected) << c.move.column << "," << c.move.row;
            best = std::max(best, expected);
        }
        for (const CellHint& c : hint.cells)
            EXPECT_EQ(c.best, c.value == best);
        // The midgame search's values: what it calls exact is, and every
        // cell's line starts with it and can be played.
        if (&board != &positions[0].first && &board != &positions.back().first)
            continue;
        const Hint estimate = estimateHint(board, colour, cancel, 0.3);
        ASSERT_EQ(estimate.kind, HintKind::Estimates);
        ASSERT_EQ(estimate.cells.size(), hint.cells.size());
        for (size_t i = 0; i < hint.cells.size(); ++i) {
            const CellHint& e = estimate.cells[i];
            EXPECT_TRUE(e.hasValue && e.move == hint.cells[i].move);
            if (e.exact) {
                EXPECT_EQ(e.value, hint.cells[i].value) << i;
            }
            EXPECT_TRUE(e.line.size() >= 1 && e.line[0] == e.move && playable(board, colour, e.line)) << i;
        }
    }
}

// From 21 to 24 empty cells only the best cells carry a value: each is
// checked against a whole-window solve of every move. The first exact step
// marks one of them.
TEST(Hint, BeyondTwentyEmptiesOnlyTheBestCellsCarryTheirValue)
{
    CancelFlag cancel{false};
    for (const auto& [board, colour] : randomPositions(1, 21, 21)) {
        Hint first;
        const Hint hint = computeHint(board, colour, cancel, 0.5, {0, 0}, [&](const Hint& h) { first = h; });
        ASSERT_EQ(hint.kind, HintKind::BestValue);
        const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
        std::vector<int> values;
        for (const CellHint& c : hint.cells) {
            const int bit = bitOf(c.move.column, c.move.row);
            const Bits flips = flipsOf(bit, own, opp);
            values.push_back(
                -solveWindow(opp & ~flips, own | flips | Bits{1} << bit, Scoring::EmptiesToWinner, -64, 64));
        }
        const int best = *std::max_element(values.begin(), values.end());
        for (std::size_t i = 0; i < values.size(); ++i) {
            const CellHint& c = hint.cells[i];
            EXPECT_EQ(c.best, values[i] == best) << i;
            EXPECT_EQ(c.hasValue, c.best) << i;
            if (c.best) {
                EXPECT_EQ(c.value, best) << i;
            }
        }
        // The step before: one of those cells, with the same value.
        ASSERT_EQ(first.cells.size(), values.size());
        int marked = 0;
        for (std::size_t i = 0; i < values.size(); ++i)
            if (first.cells[i].best) {
                ++marked;
                EXPECT_TRUE(first.cells[i].hasValue && first.cells[i].value == best && values[i] == best)
                    << i;
            }
        EXPECT_EQ(marked, 1);

        // After an estimate holding one exact value, its others ranked
        // the wrong way round: the same best cells and value, and every
        // other cell below. The exact one is a best cell, then a worst.
        const auto worst = std::min_element(values.begin(), values.end()) - values.begin();
        const auto top = std::max_element(values.begin(), values.end()) - values.begin();
        for (const auto exactOne : {top, worst}) {
            Hint estimate{HintKind::Estimates, {}, false};
            for (std::size_t i = 0; i < values.size(); ++i) {
                const bool exact = static_cast<std::ptrdiff_t>(i) == exactOne;
                estimate.cells.push_back(
                    {hint.cells[i].move, true, exact ? values[i] : -values[i], false, exact, {}});
            }
            const Hint after = exactAfterEstimate(board, colour, cancel, estimate);
            ASSERT_EQ(after.cells.size(), values.size());
            for (std::size_t i = 0; i < values.size(); ++i) {
                const CellHint& c = after.cells[i];
                EXPECT_EQ(c.best, values[i] == best) << exactOne << " " << i;
                EXPECT_TRUE(c.hasValue && (c.best ? c.exact && c.value == best : c.value < best))
                    << exactOne << " " << i;
            }
        }

        // With the estimates: every other cell valued (exact where the
        // estimate's own solve finished), below the best; every cell with
        // its line.
        const Hint merged = mergeHints(hint, estimateHint(board, colour, cancel, 0.3));
        for (std::size_t i = 0; i < values.size(); ++i) {
            const CellHint& c = merged.cells[i];
            EXPECT_TRUE(c.hasValue && (c.exact || !c.best)) << i;
            if (!c.best) {
                EXPECT_LT(c.value, best) << i;
            }
            EXPECT_TRUE(playable(board, colour, c.line)) << i;
        }
    }
}

namespace {

// A game from 27 empty cells (White to move) to the end, with three moves
// that lost discs and a pass. Each value below was checked with
// referenceValue where the position had at most 14 empty cells.
const char* gameStart = "---O----O-O-X----OX-XXX-O-OXXXXXOOXOX---OXOXXOO-XOXXXO---XXX----";
const std::vector<Move> gameTurns = {{1, 8}, {1, 3}, {2, 2}, {1, 1}, {2, 4}, {2, 1}, {6, 2},
                                     {5, 1}, {6, 1}, {3, 1}, {6, 5}, {7, 2}, {5, 8}, {7, 5},
                                     {8, 5}, {4, 2}, {8, 1}, {7, 1}, {8, 2}, {4, 3}, {8, 3},
                                     {8, 7}, {8, 6}, {7, 7}, {8, 8}, {0, 0}, {6, 8}, {7, 8}};

struct Mistake {
    int turn;
    Move played;
    int value;
    Move best;
    int bestValue;
};

void expectFixedGame(const GameAnalysis& a)
{
    ASSERT_FALSE(a.cancelled);
    ASSERT_EQ(a.legalTurns, 28);
    ASSERT_EQ(a.positions.size(), 29u);
    // 27, 26 and 25 empty cells lie before the exact range: estimates.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(a.positions[i].known && !a.positions[i].exact) << i;
        EXPECT_TRUE(a.turns[i].known && !a.turns[i].exact) << i;
    }
    const int black[29] = {0,  0,  0, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -4,
                           -4, -4, 2, 2,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6};
    for (int i = 3; i < 29; ++i) {
        EXPECT_TRUE(a.positions[i].exact) << i;
        EXPECT_EQ(a.positions[i].black, black[i]) << i;
    }
    EXPECT_FALSE(a.turns[25].known); // the pass
    std::vector<Mistake> found;
    for (int i = 0; i < a.legalTurns; ++i) {
        const TurnAnalysis& t = a.turns[i];
        EXPECT_EQ(t.lostDiscs, t.known && t.bestValue - t.value >= (t.exact ? 1 : EstimatedLoss)) << i;
        if (t.exact && t.value < t.bestValue) {
            found.push_back({i, t.move, t.value, t.best, t.bestValue});
        } else if (t.exact) {
            EXPECT_TRUE(t.best == t.move && t.value == t.bestValue) << i;
        }
    }
    const Mistake expected[] = {
        {13, {7, 5}, -4, {7, 1}, -2}, {16, {8, 1}, -2, {4, 3}, 4}, {18, {8, 2}, -6, {4, 3}, -2}};
    ASSERT_EQ(found.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const Mistake& f = found[k];
        const Mistake& e = expected[k];
        EXPECT_TRUE(f.turn == e.turn && f.played == e.played && f.value == e.value && f.best == e.best &&
                    f.bestValue == e.bestValue)
            << "mistake " << k << ": turn " << f.turn;
    }
}

// Threads alive in this process, from the kernel's count.
int threadCount()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key)
        if (key == "Threads:") {
            int n = 0;
            status >> n;
            return n;
        }
    return -1;
}

} // namespace

TEST(GameAnalysis, FindsTheMovesThatLostDiscsWhileOtherSearchesRun)
{
    // The analysis (two threads), an exact solve and a computer level all
    // at once: each keeps its own table, so each stays exact.
    GameAnalysis analysis;
    AnalysisProgress progress;
    std::thread analyst([&] {
        CancelFlag cancel{false};
        AnalysisLimits limits;
        limits.exactFrom = 24;
        limits.seconds = 3600; // every position solved, however busy the machine
        analysis = analyseGame(boardOf(gameStart), White, gameTurns, cancel, &progress, limits);
    });
    int solved = 0;
    std::thread solver([&] {
        solved =
            solveEndgame(Black, boardOf("O--OOOOX-OOOOOOXOOXXOOOXOOXOOOXXOOOOOOXX---OOOOX----O--X--------"),
                         Scoring::EmptiesToWinner);
    });
    for (const auto& [board, colour] : randomPositions(6, 9, 99)) {
        searchToEnd(colour, board);
        const Move plainMove = chosenMove;
        const int plainScore = bestScore;
        fastSearchToEnd(colour, board);
        EXPECT_TRUE(chosenMove == plainMove && bestScore == plainScore);
    }
    analyst.join();
    solver.join();
    EXPECT_EQ(solved, 38);
    expectFixedGame(analysis);
    // Every position valued, then those from 24 empty cells to the search's
    // depth solved; the values as they came are the result's.
    EXPECT_EQ(progress.done.load(), progress.total.load());
    EXPECT_EQ(progress.total.load(), 29 + 24 - EstimateDepth);
    const std::vector<PositionValue> found = progress.positions();
    ASSERT_EQ(found.size(), analysis.positions.size());
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_TRUE(found[i].known == analysis.positions[i].known &&
                    found[i].exact == analysis.positions[i].exact &&
                    found[i].black == analysis.positions[i].black)
            << i;
}

TEST(GameAnalysis, StopsAtTheFirstIllegalTurn)
{
    CancelFlag cancel{false};
    const AnalysisLimits quick{4, 0, 0}; // shallow estimates, no solving
    std::vector<Move> turns = gameTurns;
    turns[2] = {4, 1}; // occupied
    GameAnalysis a = analyseGame(boardOf(gameStart), White, turns, cancel, nullptr, quick);
    EXPECT_EQ(a.legalTurns, 2);
    EXPECT_EQ(a.turns.size(), 2u);
    EXPECT_EQ(a.positions.size(), 3u);
    turns = gameTurns;
    turns[1] = {0, 0}; // a pass while Black has moves
    EXPECT_EQ(analyseGame(boardOf(gameStart), White, turns, cancel, nullptr, quick).legalTurns, 1);
    turns[1] = {9, 1}; // off the board
    EXPECT_EQ(analyseGame(boardOf(gameStart), White, turns, cancel, nullptr, quick).legalTurns, 1);
}

TEST(Cancellation, HintAndAnalysisReturnPromptlyAndNothingRunsOn)
{
    // ThreadSanitizer starts a helper thread of its own with the first thread.
    std::thread([] {}).join();
    const int threadsBefore = threadCount();
    // 24 empty cells: seconds of work for each, far more than the bound below.
    const Board hard = boardOf("---XXXX-X-XXXO--XXOXOO--XXXOXO--XXOXXO---OXXXOO-O-OOOO------OO--");
    CancelFlag cancel{false};
    Hint hint, estimate;
    GameAnalysis analysis, single;
    std::thread hinter([&] { hint = computeHint(hard, Black, cancel); });
    std::thread estimator([&] { estimate = estimateHint(hard, Black, cancel, 30); });
    std::thread analyst([&] { analysis = analyseGame(hard, Black, {{7, 1}}, cancel); });
    // A game of one position alone.
    std::thread lone([&] { single = analyseGame(hard, Black, {}, cancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // into the searches
    const auto stop = std::chrono::steady_clock::now();
    cancel = true;
    hinter.join();
    estimator.join();
    analyst.join();
    lone.join();
    // Milliseconds when the machine is free; a generous bound for sanitizers
    // on a busy one, still well short of the searches' own time.
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - stop).count();
    EXPECT_LT(seconds, 2.0);
    EXPECT_TRUE(hint.cancelled);
    EXPECT_TRUE(estimate.cancelled && estimate.cells.empty()); // nothing of a stopped search
    EXPECT_TRUE(analysis.cancelled);
    EXPECT_TRUE(single.cancelled);
    // A joined thread may linger in the count for a moment while the kernel finishes its exit.
    const auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (threadCount() > threadsBefore && std::chrono::steady_clock::now() < settle)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(threadCount(), threadsBefore);
}

// Solves stopped ever later, 5, 10, 20 ms and on, share one table until one
// ends before its stop: that one, reading what the stopped ones kept, must
// still find the exact value. Doubling the stop reaches every stage of the
// search whatever the machine's speed.
TEST(Cancellation, AStoppedSolveLeavesTheTableSound)
{
    const Board board = boardOf("--O-X-O---O-XO-O-OOXXXOOOOOOXXXOOOOOXX--XXOOXO----XXXX-----XXX--");
    const Bits own = bitsOfColour(White, board), opp = bitsOfColour(Black, board);
    clearSolverTable();
    int stops = 0;
    for (int ms = 5;; ms *= 2) {
        StopFlag stop{false};
        std::atomic<bool> returned{false}, stoppedWhileRunning{false};
        std::thread stopper([&] {
            const auto at = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            while (!returned && std::chrono::steady_clock::now() < at)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            stop = true;
            stoppedWhileRunning = !returned;
        });
        const int value = solveWindow(own, opp, Scoring::EmptiesToWinner, -64, 64, &stop);
        returned = true;
        stopper.join();
        if (!stoppedWhileRunning) {
            EXPECT_EQ(value, -14) << "after " << stops << " stopped solves, the last at " << ms / 2 << " ms";
            break;
        }
        ++stops;
    }
    EXPECT_GE(stops, 3); // 23 empty cells take far longer than 20 ms
}

// One solve on two threads against the same solve on one: values and
// fail-soft bounds, and the value again after solves stopped ever later on
// one table (what a stopped solve shared must be sound), each ending promptly.
TEST(ParallelSolve, MatchesOneThreadWithAndWithoutAStop)
{
    SolverHelpers helpers(2);
    for (int e : {16, 17, 19})
        for (const auto& [board, colour] : randomPositions(3, e, 31 * e)) {
            const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
            auto solve = [&](int alpha, int beta, const StopFlag* stop = nullptr) {
                return solveWindow(own, opp, Scoring::EmptiesToWinner, alpha, beta, stop, &helpers);
            };
            clearSolverTable();
            const int v = solveWindow(own, opp, Scoring::EmptiesToWinner, -64, 64);
            const Solution one = solveBest(own, opp, Scoring::EmptiesToWinner);
            clearSolverTable();
            EXPECT_EQ(solve(-64, 64), v);
            clearSolverTable();
            const Solution two = solveBest(own, opp, Scoring::EmptiesToWinner, nullptr, -1, &helpers);
            EXPECT_TRUE(two.value == one.value && two.bestBit == one.bestBit);
            clearSolverTable();
            const int above = solve(v + 1, v + 7);
            EXPECT_TRUE(above >= v && above <= v + 1) << above << " " << v;
            const int below = solve(v - 7, v - 1);
            EXPECT_TRUE(below >= v - 1 && below <= v) << below << " " << v;
        }
    const Board board = boardOf("--O-X-O---O-XO-O-OOXXXOOOOOOXXXOOOOOXX--XXOOXO----XXXX-----XXX--"); // -14
    const Bits own = bitsOfColour(White, board), opp = bitsOfColour(Black, board);
    clearSolverTable();
    int stops = 0;
    bool finished = false;
    for (int ms = 2; !finished && ms < 100000; ms *= 2) {
        StopFlag stop{false};
        std::atomic<bool> returned{false}, stoppedWhileRunning{false};
        std::chrono::steady_clock::time_point stoppedAt;
        std::thread stopper([&] {
            const auto at = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            while (!returned && std::chrono::steady_clock::now() < at)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            stoppedAt = std::chrono::steady_clock::now();
            stop = true;
            stoppedWhileRunning = !returned;
        });
        const int value = solveWindow(own, opp, Scoring::EmptiesToWinner, -64, 64, &stop, &helpers);
        const auto end = std::chrono::steady_clock::now();
        returned = true;
        stopper.join();
        finished = !stoppedWhileRunning;
        if (finished) {
            EXPECT_EQ(value, -14) << "after " << stops << " stopped solves, the last at " << ms / 2 << " ms";
        } else {
            // Milliseconds on a free machine; generous for sanitizers on a busy one.
            EXPECT_LT(std::chrono::duration<double>(end - stoppedAt).count(), 2.0) << ms;
            ++stops;
        }
    }
    EXPECT_TRUE(finished);
    EXPECT_GE(stops, 3);
}

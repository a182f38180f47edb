// The midgame search against a plain minimax of the same evaluation, its
// stops and deadlines, and the exact solver taking over near the end.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "engine/midgame.h"
#include "engine/solver.h"

namespace {

struct Position {
    Bits own, opp; // own to move
};

Position after(Position p, int bit)
{
    const Bits flips = flipsOf(bit, p.own, p.opp);
    return {p.opp & ~flips, p.own | flips | Bits{1} << bit};
}

int emptiesOf(Position p)
{
    return 64 - stoneCount(p.own | p.opp);
}

// Positions of random games with `empties` empty cells and a choice of
// moves (several, where the game leaves room for them).
std::vector<Position> randomPositions(std::initializer_list<int> empties, int each, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<Position> out;
    for (const int e : empties)
        for (int found = 0; found < each;) {
            Position p{0x0000000810000000ull, 0x0000001008000000ull};
            while (emptiesOf(p) > e) {
                Bits moves = legalMoves(p.own, p.opp);
                if (moves == 0) {
                    if (legalMoves(p.opp, p.own) == 0)
                        break;
                    p = {p.opp, p.own};
                    continue;
                }
                for (int skip = rng() % stoneCount(moves); skip > 0; --skip)
                    moves &= moves - 1;
                p = after(p, lowestBit(moves));
            }
            if (emptiesOf(p) == e && stoneCount(legalMoves(p.own, p.opp)) >= std::min(e / 4, 8)) {
                out.push_back(p);
                ++found;
            }
        }
    return out;
}

// Minimax with no pruning: a pass is free, the end of the game is scored
// exactly, and a position `depth` 0 moves deep is the evaluation.
int plainValue(Position p, int depth)
{
    if (depth == 0 && emptiesOf(p) > 0)
        return midgameEstimate(p.own, p.opp);
    Bits moves = legalMoves(p.own, p.opp);
    if (moves == 0) {
        if (legalMoves(p.opp, p.own) == 0)
            return finalScore(p.own, p.opp, Scoring::EmptiesToWinner) * DiscUnits;
        return -plainValue({p.opp, p.own}, depth);
    }
    int best = -1 << 30;
    for (; moves; moves &= moves - 1)
        best = std::max(best, -plainValue(after(p, lowestBit(moves)), depth - 1));
    return best;
}

// The same value by plain alpha-beta, for depths beyond the minimax's reach.
int prunedValue(Position p, int depth, int alpha = -1 << 30, int beta = 1 << 30)
{
    if (depth == 0 && emptiesOf(p) > 0)
        return midgameEstimate(p.own, p.opp);
    Bits moves = legalMoves(p.own, p.opp);
    if (moves == 0) {
        if (legalMoves(p.opp, p.own) == 0)
            return finalScore(p.own, p.opp, Scoring::EmptiesToWinner) * DiscUnits;
        return -prunedValue({p.opp, p.own}, depth, -beta, -alpha);
    }
    for (; moves && alpha < beta; moves &= moves - 1)
        alpha = std::max(alpha, -prunedValue(after(p, lowestBit(moves)), depth - 1, -beta, -alpha));
    return alpha;
}

// Whether `line` can be played from `p` in turn, passing only when forced;
// `whole`: and is as long as lines are kept, unless the game ends first.
bool playable(Position p, const Line& line, bool whole = false)
{
    for (const int bit : line) {
        const Bits moves = legalMoves(p.own, p.opp);
        if (bit < 0 ? moves != 0 || legalMoves(p.opp, p.own) == 0 : !(moves >> bit & 1))
            return false;
        p = bit < 0 ? Position{p.opp, p.own} : after(p, bit);
    }
    return !whole || line.size() == LineMoves || (legalMoves(p.own, p.opp) | legalMoves(p.opp, p.own)) == 0;
}

MidgameLimits untimed(int depth)
{
    return {1e9, depth, 0, 2};
}

} // namespace

TEST(Midgame, FixedDepthSearchesGiveThePlainMinimax)
{
    for (const Position& p : randomPositions({54, 44, 34, 24, 14}, 2, 1)) {
        for (int depth = 1; depth <= 5; ++depth) {
            const int plain = plainValue(p, depth);
            // The root searches, both workers sharing the moves, each from a
            // table that knows nothing yet of this depth.
            const MidgameBest best = midgameBestMove(p.own, p.opp, untimed(depth));
            EXPECT_EQ(best.value, plain) << depth;
            EXPECT_EQ(-plainValue(after(p, best.bit), depth - 1), plain) << depth;
            const MidgameValues all = midgameValues(p.own, p.opp, untimed(depth));
            ASSERT_EQ(all.moves.size(), size_t(stoneCount(legalMoves(p.own, p.opp))));
            for (const MoveValue& m : all.moves) {
                EXPECT_EQ(m.value, -plainValue(after(p, m.bit), depth - 1)) << depth << " " << m.bit;
                EXPECT_EQ(m.depth, depth);
                EXPECT_TRUE(playable(p, m.line) && m.line[0] == m.bit);
            }
            const MidgameBest fixed = midgameFixedDepth(p.own, p.opp, depth);
            EXPECT_EQ(fixed.value, plain) << depth;
            ASSERT_TRUE(playable(p, fixed.line)) << depth;
            ASSERT_FALSE(fixed.line.empty());
            EXPECT_EQ(fixed.line[0], fixed.bit);
            EXPECT_EQ(-plainValue(after(p, fixed.bit), depth - 1), plain) << depth;
        }
    }
    // As deep as the empty cells: the end of every line, exactly.
    for (const Position& p : randomPositions({7}, 4, 2)) {
        const MidgameBest fixed = midgameFixedDepth(p.own, p.opp, 7);
        EXPECT_TRUE(fixed.exact);
        EXPECT_EQ(fixed.value, plainValue(p, 7));
        EXPECT_TRUE(playable(p, fixed.line));
    }
}

TEST(Midgame, AStoppedSearchIsNeverReported)
{
    const Position p = randomPositions({40}, 1, 3)[0];
    StopFlag stop{true};
    EXPECT_TRUE(midgameValues(p.own, p.opp, {}, &stop).moves.empty());
    EXPECT_EQ(midgameBestMove(p.own, p.opp, {}, &stop).bit, -1);
    EXPECT_TRUE(midgameFixedDepth(p.own, p.opp, 3, &stop).stopped);

    // Stopped from another thread in the middle of its work.
    stop = false;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        stop = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const MidgameValues stopped = midgameValues(p.own, p.opp, {1e9, 60, 20, 2}, &stop);
    stopper.join();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(stopped.moves.empty());

    // Stopped at some point of a search and searched again as deep: the
    // table keeps nothing of the stopped search.
    int micros = 200;
    for (const Position& q : randomPositions({44, 38, 32, 26}, 1, 6)) {
        StopFlag soon{false};
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(micros));
            soon = true;
        });
        midgameFixedDepth(q.own, q.opp, 7, &soon);
        stopper.join();
        EXPECT_EQ(midgameFixedDepth(q.own, q.opp, 7).value, prunedValue(q, 7)) << micros;
        micros *= 3;
    }

    // Cut by the deadline: every value is that of a finished depth, exact or
    // estimated, never of one cut short.
    for (const Position& q : randomPositions({36, 21}, 1, 4)) {
        const MidgameValues timed = midgameValues(q.own, q.opp, {0.05, 60, 21, 2});
        ASSERT_FALSE(timed.moves.empty());
        for (const MoveValue& m : timed.moves) {
            const Position child = after(q, m.bit);
            const int expected =
                m.exact ? -solveWindow(child.own, child.opp, Scoring::EmptiesToWinner, -64, 64) * DiscUnits
                        : -midgameFixedDepth(child.own, child.opp, m.depth - 1).value;
            EXPECT_EQ(m.value, expected) << m.bit << " at depth " << m.depth;
        }
        const MidgameBest best = midgameBestMove(q.own, q.opp, {0.05, 60, 21, 2});
        EXPECT_EQ(best.value, best.exact
                                  ? solveWindow(q.own, q.opp, Scoring::EmptiesToWinner, -64, 64) * DiscUnits
                                  : midgameFixedDepth(q.own, q.opp, best.depth).value);
    }
}

TEST(Midgame, TheSolverTakesOverNearTheEnd)
{
    for (const Position& p : randomPositions({16}, 2, 5)) {
        const MidgameValues all = midgameValues(p.own, p.opp, {1e9, 60, 18, 2});
        for (const MoveValue& m : all.moves) {
            const Position child = after(p, m.bit);
            EXPECT_TRUE(m.exact);
            EXPECT_EQ(m.value,
                      -solveWindow(child.own, child.opp, Scoring::EmptiesToWinner, -64, 64) * DiscUnits);
            EXPECT_TRUE(playable(p, m.line, true));
        }
        const MidgameBest best = midgameBestMove(p.own, p.opp, {1e9, 60, 18, 2});
        const Solution exact = solveBest(p.own, p.opp, Scoring::EmptiesToWinner);
        EXPECT_TRUE(best.exact);
        EXPECT_EQ(best.value, exact.value * DiscUnits);
        const Position child = after(p, best.bit);
        EXPECT_EQ(-solveWindow(child.own, child.opp, Scoring::EmptiesToWinner, -64, 64), exact.value);
        EXPECT_TRUE(playable(p, best.line, true));
    }
}

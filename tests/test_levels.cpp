#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ai/evaluate.h"
#include "ai/levels.h"
#include "ai/random.h"
#include "board_text.h"

namespace {

long long fixedSecond = 0;
long long fixedClock()
{
    return fixedSecond;
}

// Every level test runs on a clock that only moves when told to.
class Levels : public ::testing::Test {
  protected:
    void SetUp() override { setClock(fixedClock); }
    void TearDown() override { setClock(nullptr); }
};

// The random terms the levels draw after seeding with the given second.
std::vector<int> drawsFor(long long second, int count, int range)
{
    seedRandom(static_cast<uint32_t>(second));
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        out.push_back(drawRandom() % range);
    return out;
}

// Index of the first highest value: the levels' tie rule.
int firstBest(const std::vector<int>& values)
{
    int best = 0;
    for (int k = 1; k < static_cast<int>(values.size()); ++k)
        if (values[k] > values[best])
            best = k;
    return best;
}

constexpr int Untouched = -123456789;

struct Outcome {
    Move move;
    int score;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os)
{
    *os << "(" << o.move.column << "," << o.move.row << ") score " << o.score;
}

using Procedure = void (*)(int, const Board&);

int playerUnderTest = 0;
void runPlayerUnderTest(int colour, const Board& board)
{
    runLevel(playerUnderTest, colour, board);
}

Outcome outcomeOf(Procedure procedure, int colour, const Board& board)
{
    chosenMove = {-1, -1};
    bestScore = Untouched;
    procedure(colour, board);
    return {chosenMove, bestScore};
}

const Board ringPosition = boardFromRows({
    "........",
    ".OOOOOO.",
    ".OXXXXO.",
    ".OX..XO.",
    ".OX..XO.",
    ".OXXXXO.",
    ".OOOOOO.",
    "........",
});

} // namespace

TEST(Random, GeneratorSequenceAndPerThreadState)
{
    seedRandom(1);
    const std::vector<int> expected{16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419};
    std::vector<int> got;
    for (int i = 0; i < 8; ++i)
        got.push_back(drawRandom());
    EXPECT_EQ(got, expected);

    // A new thread starts from seed 1 whatever this thread has drawn.
    int firstOnThread = 0;
    std::thread([&] { firstOnThread = drawRandom(); }).join();
    EXPECT_EQ(firstOnThread, 16838);
}

TEST_F(Levels, SettingOutsideTheTableYieldsAPass)
{
    const Board start = startBoard();
    for (int player : {0, 8, -1}) {
        chosenMove = {3, 4};
        runLevel(player, Black, start);
        EXPECT_EQ(chosenMove, (Move{0, 0})) << "player " << player;
    }
}

TEST_F(Levels, NoLegalMoveYieldsAPassAndKeepsBestScore)
{
    const Board blocked = boardFromRows(
        {"XX......", "X.......", "........", "........", "........", "........", "........", "........"});
    const Procedure all[] = {chooseMoveLv0, chooseMoveLv1, chooseMoveLv2, chooseMoveLv3, chooseMoveLv4,
                             chooseMoveLv5, chooseMoveLv6, searchToEnd,   searchSixPly};
    for (Procedure p : all)
        EXPECT_EQ(outcomeOf(p, White, blocked), (Outcome{{0, 0}, Untouched}));
}

TEST_F(Levels, SameSecondSameChoice)
{
    const Board position = afterMoves({{4, 3}, {3, 3}, {3, 4}, {5, 3}});
    for (int player = 1; player <= 4; ++player) {
        for (fixedSecond = 100; fixedSecond < 110; ++fixedSecond) {
            runLevel(player, Black, position);
            const Move first = chosenMove;
            runLevel(player, Black, position);
            EXPECT_EQ(chosenMove, first) << "lv" << player - 1 << " second " << fixedSecond;
        }
    }
}

TEST_F(Levels, Lv0PicksTheFirstDrawModuloTheMoveCount)
{
    const Board start = startBoard();
    for (fixedSecond = 1700000000; fixedSecond < 1700000040; ++fixedSecond) {
        listMoves(9, Black, start);
        const Move expected = moveLists[9][drawsFor(fixedSecond, 1, 4)[0]];
        EXPECT_EQ(outcomeOf(chooseMoveLv0, Black, start), (Outcome{expected, Untouched}));
        listMoves(9, Black, ringPosition); // 28 moves: picks past the 24th too
        const Move expectedRing = moveLists[9][drawsFor(fixedSecond, 1, 28)[0]];
        EXPECT_EQ(outcomeOf(chooseMoveLv0, Black, ringPosition).move, expectedRing);
    }
}

// lv1 and lv2 report no score, so their weights show through the choice:
// over many seconds the chosen move must always be the first highest of
// (score before the random term) + (the draw for that candidate). The
// scores below were worked out by hand from the terms of each level.
TEST_F(Levels, Lv1AndLv2ChooseByBaseScorePlusTheirDraw)
{
    struct Case {
        int level;
        int range;
        Board board;
        std::vector<Move> moves;
        std::vector<int> base;
    };
    const Board start = startBoard();
    const std::vector<Move> startMoves{{3, 4}, {4, 3}, {5, 6}, {6, 5}};
    // Close scores with different reply and stone counts, so a wrong weight
    // changes the choice for some of the seconds.
    const Board lv1Game = boardFromRows(
        {".....X..", "..O.X...", "...OOX..", ".XOOOO..", "..XXOOO.", "...X.X..", "........", "........"});
    const Board lv2Game = boardFromRows(
        {"........", "........", "..O.....", "..XOX...", "...XO...", ".OOOXO..", ".....X..", "........"});
    const Board lv2Late = boardFromRows(
        {"..X.....", "..X.X...", ".XXXX...", "..XOX...", "OOXOXX..", "..OOOX..", "..XOOOX.", "..XXOO.X"});
    const std::vector<Move> lv1GameMoves{{2, 3}, {2, 5}, {3, 3}, {4, 2}, {5, 6},
                                         {6, 2}, {7, 3}, {7, 4}, {8, 4}, {8, 5}};
    const std::vector<Move> lv2GameMoves{{1, 6}, {2, 7}, {3, 2}, {4, 3}, {4, 7}, {6, 5}, {7, 6}};
    const Case cases[] = {
        {1, 50, start, startMoves, {-130, -130, -130, -130}},
        {2, 120, start, startMoves, {-345, -345, -345, -345}},
        {1, 50, lv1Game, lv1GameMoves, {-470, -590, -450, -590, -460, -540, -540, -480, -570, -560}},
        {2, 120, lv2Game, lv2GameMoves, {-850, -5400, -1420, -780, -1910, -795, -1420}},
        {2, 120, lv2Late, {{1, 6}, {2, 6}, {2, 7}, {7, 8}}, {-2445, -2735, -6870, -2445}},
    };
    for (const Case& c : cases) {
        listMoves(9, Black, c.board);
        ASSERT_EQ(movesIn(moveLists[9]), c.moves);
        for (fixedSecond = 0; fixedSecond < 300; ++fixedSecond) {
            const std::vector<int> draws = drawsFor(fixedSecond, static_cast<int>(c.moves.size()), c.range);
            std::vector<int> total;
            for (size_t k = 0; k < draws.size(); ++k)
                total.push_back(c.base[k] + draws[k]);
            runLevel(c.level + 1, Black, c.board);
            ASSERT_EQ(chosenMove, c.moves[firstBest(total)]) << "lv" << c.level << " second " << fixedSecond;
        }
    }
}

TEST_F(Levels, Lv3ScoresTwoPliesPlusNoise)
{
    const Board start = startBoard();
    const std::vector<Move> startMoves{{3, 4}, {4, 3}, {5, 6}, {6, 5}};
    // Black d3, White c3: candidates b3, c4, e6, f5 score -280, 380, -140,
    // -210 before noise, so c4 wins whatever the noise.
    const Board afterC3 = afterMoves({{4, 3}, {3, 3}});
    for (fixedSecond = 0; fixedSecond < 40; ++fixedSecond) {
        const std::vector<int> noise = drawsFor(fixedSecond, 4, 15);
        const int best = firstBest(noise);
        EXPECT_EQ(outcomeOf(chooseMoveLv3, Black, start), (Outcome{startMoves[best], -70 + noise[best]}));
        EXPECT_EQ(outcomeOf(chooseMoveLv3, Black, afterC3), (Outcome{{3, 4}, 380 + noise[1]}));
    }
}

TEST_F(Levels, GameEndingCandidateIsScoredExactlyWithoutNoise)
{
    // White's only move, b8, fills the board.
    const Board position = boardFromRows(
        {"OXXXXXXX", "OOXOOOOX", "XXOOXOXO", "XXOOOXOO", "XOOOOOOO", "XOXXOOOO", "XXOXOOOO", "X.OOOOOO"});
    applyMove(position, 2, 8, White);
    const Board final = trialBoard;
    const int diff = countStones(White, final) - countStones(Black, final);
    const int expected = evaluatePosition(White, final);
    EXPECT_EQ(expected, 300000 + 1000 * diff);
    for (fixedSecond = 0; fixedSecond < 5; ++fixedSecond) {
        EXPECT_EQ(outcomeOf(chooseMoveLv3, White, position), (Outcome{{2, 8}, expected}));
        EXPECT_EQ(outcomeOf(chooseMoveLv5, White, position), (Outcome{{2, 8}, expected}));
    }
    EXPECT_EQ(outcomeOf(searchToEnd, White, position), (Outcome{{2, 8}, diff}));
}

// The deep searches score passes by the evaluation: 5000 for the side that
// keeps the move. A reply after which the own side cannot move gets no inner
// search result, so it is scored by the evaluation as well.
TEST_F(Levels, DeepSearchPassScores)
{
    fixedSecond = 42;
    // Black's only move h6 leaves White without a reply.
    const Board opponentPasses = boardFromRows(
        {"XXXXXXXX", "XXOXXXOX", "XXXXXXXX", "XOXXOXXX", "XXOXXOXO", "XXXXXXO.", "XXXXXXXO", "XXXXXXX."});
    applyMove(opponentPasses, 8, 6, Black);
    const int passBonus = 5000 - evaluatePosition(White, Board(trialBoard));

    // White's only move h7; Black's only reply h6 leaves White to pass.
    const Board ownPasses = boardFromRows(
        {"XXXXXXXX", "XXOXXXOX", "XXXXXXXX", "XOXXOXXX", "XXOXXOXO", "XXXXXXX.", "XXXXXXX.", "XXXXXXX."});
    applyMove(ownPasses, 8, 7, White);
    applyMove(Board(trialBoard), 8, 6, Black);
    const int ownPass = evaluatePosition(White, Board(trialBoard)) - 5000;

    // Black's only move h1; White's only reply a8 ends the game, lost for Black.
    const Board replyEnds = boardFromRows(
        {"OXXOOOO.", "OOOOOOOX", "OOOOXOOX", "OXOOXXOX", "OOXOXXXO", "OXXXXOXX", "OXXXXXXX", ".XOOOOOO"});
    applyMove(replyEnds, 8, 1, Black);
    applyMove(Board(trialBoard), 1, 8, White);
    const int ended = evaluatePosition(Black, Board(trialBoard));
    EXPECT_LT(ended, -300000);

    for (Procedure deep : {chooseMoveLv5, searchSixPly}) {
        EXPECT_EQ(outcomeOf(deep, Black, opponentPasses), (Outcome{{8, 6}, passBonus}));
        EXPECT_EQ(outcomeOf(deep, White, ownPasses), (Outcome{{8, 7}, ownPass}));
        EXPECT_EQ(outcomeOf(deep, Black, replyEnds), (Outcome{{8, 1}, ended}));
    }
    const int noise = drawsFor(fixedSecond, 1, 15)[0];
    EXPECT_EQ(outcomeOf(chooseMoveLv3, Black, opponentPasses), (Outcome{{8, 6}, passBonus + noise}));
}

TEST_F(Levels, SearchToEndHandlesPassesTiesAndEarlyEnds)
{
    // White g1/h1/b8: b8 leaves Black to pass and White plays on; counting
    // that line as a negated score would pick h1.
    const Board passLine = boardFromRows(
        {"XOOOOX..", "XOOOOXXX", "XOOOOOXX", "XOXOOXOX", "XXOXOOXX", "XXOOXXOX", "XXXXXXXX", "O.XOOOXX"});
    EXPECT_EQ(outcomeOf(searchToEnd, White, passLine), (Outcome{{2, 8}, 4}));

    // Black's only move h6 makes White pass; the search still goes to the end.
    const Board single = boardFromRows(
        {"XXXXXXXX", "XXOXXXOX", "XXXXXXXX", "XOXXOXXX", "XXOXXOXO", "XXXXXXO.", "XXXXXXXO", "XXXXXXX."});
    EXPECT_EQ(outcomeOf(searchToEnd, Black, single), (Outcome{{8, 6}, 52}));

    // Both of Black's moves wipe out White's only stone: 4 to 0 with 60 cells
    // left empty. The tie goes to the earlier candidate, d5 before e4.
    const Board wipe = boardFromRows(
        {"........", "........", "...X....", "..XO....", "........", "........", "........", "........"});
    EXPECT_EQ(outcomeOf(searchToEnd, Black, wipe), (Outcome{{4, 5}, 4}));
    // The other searches score both as the same won ending, without noise.
    for (Procedure p : {chooseMoveLv3, chooseMoveLv5, searchSixPly})
        EXPECT_EQ(outcomeOf(p, Black, wipe), (Outcome{{4, 5}, 304000}));

    // Nine empty cells, worked out by an independent full search.
    const Board nine = boardFromRows(
        {"OOOOOO..", "OOOOOX..", "OOXOXX.X", "OXOXOXXX", ".XXOOXXX", "XXOXOX..", "XOXXXOXX", "OXX.OOOO"});
    EXPECT_EQ(outcomeOf(searchToEnd, White, nine), (Outcome{{1, 5}, 62}));
}

// Which procedure runs at each count of empty cells: the level's result
// must equal the expected procedure's on the same second, and differ from
// the neighbouring procedure's, so the position tells them apart.
TEST_F(Levels, SwitchOverByEmptyCells)
{
    struct Case {
        int player;
        int empty;
        int colour;
        Board board;
        Procedure expected;
        Procedure neighbour;
    };
    const Board e9 = boardFromRows(
        {"OOOOOO..", "OOOOOX..", "OOXOXX.X", "OXOXOXXX", ".XXOOXXX", "XXOXOX..", "XOXXXOXX", "OXX.OOOO"});
    const Board e10 = boardFromRows(
        {"X..XXXXX", "XXXXOXXX", "OOXOOOXX", "OOOXOXOX", "OXOXXO.X", "OOOOXX..", "OOOOO...", "OOOOOO.."});
    const Board e11 = boardFromRows(
        {".....OOO", "X....OOO", "X.XOOOOO", "X.XXOOXO", "XXXOXOXO", "XOXOOXXO", "XXXXOOXO", "XXXXXXXX"});
    const Board e12 = boardFromRows(
        {"XXXX...O", "XXXXXXXX", "OOXXOXO.", "OOXXXXOX", "OOOOXXXX", "OXOO.X.X", "OOOOO...", "OOOO.O.."});
    const Board e15 = boardFromRows(
        {"......XO", ".....OOO", "O..OOOOO", "O.OOOOXO", "OXOOOOXO", "O.XOOOXO", "OXXXOOXO", "XXXXXXXX"});
    const Board e16 = boardFromRows(
        {"XXOOOOO.", "OXXOOOOO", "XXXXXOOO", "XXXXOXXX", "XXXOXXXX", "XXX.X...", "XXXXX...", "........"});
    const Board e56 = boardFromRows(
        {"........", "........", "....O...", "...OO...", "...XOX..", ".....X..", ".....X..", "........"});
    const Board e57 = boardFromRows(
        {"........", "........", "...X....", "...XX...", "..OXO...", "..X.....", "........", "........"});
    const Case cases[] = {
        {5, 10, Black, e10, chooseMoveLv3, searchToEnd},
        {5, 9, White, e9, searchToEnd, chooseMoveLv3},
        {7, 11, White, e11, searchToEnd, searchSixPly},
        {7, 12, Black, e12, searchSixPly, searchToEnd},
        {7, 15, White, e15, searchSixPly, chooseMoveLv5},
        {7, 16, Black, e16, chooseMoveLv5, searchSixPly},
        {7, 56, Black, e56, chooseMoveLv5, chooseMoveLv2},
        {7, 57, White, e57, chooseMoveLv2, chooseMoveLv5},
        {7, 60, Black, startBoard(), chooseMoveLv2, chooseMoveLv5},
    };
    fixedSecond = 7;
    for (const Case& c : cases) {
        ASSERT_EQ(countEmpty(c.board), c.empty);
        const Outcome expected = outcomeOf(c.expected, c.colour, c.board);
        const Outcome neighbour = outcomeOf(c.neighbour, c.colour, c.board);
        ASSERT_NE(expected, neighbour) << c.empty << " empty cells do not tell the procedures apart";
        playerUnderTest = c.player;
        EXPECT_EQ(outcomeOf(runPlayerUnderTest, c.colour, c.board), expected)
            << "lv" << c.player - 1 << " with " << c.empty << " empty cells";
    }
}

TEST_F(Levels, MoreThanTwentyFourCandidates)
{
    // 25 moves for Black; the only free corner, h8, is the 25th.
    const Board position = boardFromRows(
        {"X......X", ".OOOOOO.", ".OXXXXO.", ".OX..XO.", ".OX..XO.", ".OXXXXO.", ".OOOOOO.", "X......."});
    listMoves(9, Black, position);
    ASSERT_EQ(moveCount(moveLists[9]), 25);
    for (int s = 0; s < MoveListSlots; ++s)
        if (s != 9)
            moveLists[s].fill({9, s});
    fixedSecond = 3;
    EXPECT_EQ(outcomeOf(chooseMoveLv1, Black, position).move, (Move{8, 8}));
    EXPECT_EQ(outcomeOf(chooseMoveLv3, Black, position).move, (Move{8, 8}));
    for (int s : {7, 8, 10, 11, 12, 13, 14, 15, 16}) // slots no level uses
        EXPECT_EQ(moveLists[s][0], (Move{9, s})) << "slot " << s;
    EXPECT_EQ(moveLists[9][24], (Move{8, 8}));
}

// The window's thread makes trial moves while the worker searches; neither
// the worker's own trial moves and lists nor its search result may notice.
TEST_F(Levels, TrialMovesOnAnotherThreadDoNotDisturbASearch)
{
    const Board position = boardFromRows(
        {"......XO", ".....OOO", "O..OOOOO", "O.OOOOXO", "OXOOOOXO", "O.XOOOXO", "OXXXOOXO", "XXXXXXXX"});
    fixedSecond = 11;
    const Outcome quiet = outcomeOf(searchSixPly, White, position);
    listMoves(9, White, position);
    const std::vector<Move> moves = movesIn(moveLists[9]);
    applyMove(position, 2, 3, White);
    const Board afterB3 = trialBoard;

    std::atomic<bool> stop{false};
    std::atomic<int> trials{0};
    const Board start = startBoard();
    std::thread noise([&] {
        while (!stop) {
            for (int column = 1; column <= 8; ++column)
                for (int row = 1; row <= 8; ++row)
                    isLegalMove(White, column, row, start);
            listMoves(0, White, start);
            ++trials;
        }
    });
    const Outcome noisy = outcomeOf(searchSixPly, White, position);
    int disturbed = 0;
    for (int i = 0; i < 100000; ++i) {
        applyMove(position, 2, 3, White);
        disturbed += trialBoard != afterB3;
        listMoves(9, White, position);
        disturbed += movesIn(moveLists[9]) != moves;
    }
    stop = true;
    noise.join();
    EXPECT_GT(trials.load(), 0);
    EXPECT_EQ(disturbed, 0);
    EXPECT_EQ(noisy, quiet);
}

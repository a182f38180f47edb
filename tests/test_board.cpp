#include <gtest/gtest.h>

#include "board/moves.h"
#include "board_text.h"

namespace {

bool ringIsEmpty(const Board& board)
{
    for (int i = 0; i < 10; ++i)
        for (int cell : {i, 90 + i, i * 10, i * 10 + 9})
            if (board[cell] != Empty)
                return false;
    return true;
}

// Cells where two boards differ, as moves.
std::vector<Move> changedCells(const Board& a, const Board& b)
{
    std::vector<Move> out;
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (a[cellIndex(column, row)] != b[cellIndex(column, row)])
                out.push_back({column, row});
    return out;
}

} // namespace

TEST(Board, SetupGivesTheFourCentreStonesAndAnEmptyRing)
{
    liveBoard.fill(Black); // setup must clear everything, ring included
    setupBoard();
    EXPECT_EQ(countStones(Black, liveBoard), 2);
    EXPECT_EQ(countStones(White, liveBoard), 2);
    EXPECT_EQ(countStones(Empty, liveBoard), 96);
    EXPECT_EQ(liveBoard[44], White);
    EXPECT_EQ(liveBoard[55], White);
    EXPECT_EQ(liveBoard[45], Black);
    EXPECT_EQ(liveBoard[54], Black);
    EXPECT_TRUE(ringIsEmpty(liveBoard));
}

TEST(ApplyMove, TurnsOnlyEnclosedRuns)
{
    // Black plays d4 (4,4). Left: c4 O, b4 X -> turned. Down: d5 O, d6 O, d7 X
    // -> both turned. Right: e4, f4 O, then a gap at g4 before h4 X -> kept.
    // Up-right: e3 O, f2 O, g1 O, then the ring -> kept.
    const Board before = boardFromRows({
        "......O.",
        ".....O..",
        "....O...",
        ".XO.OO.X",
        "...O....",
        "...O....",
        "...X....",
        "........",
    });
    const Board source = before;
    applyMove(source, 4, 4, Black);
    EXPECT_EQ(source, before) << "the source must stay untouched";
    EXPECT_EQ(changedCells(source, trialBoard), (std::vector<Move>{{3, 4}, {4, 4}, {4, 5}, {4, 6}}));
    EXPECT_TRUE(ringIsEmpty(trialBoard));
}

TEST(ApplyMove, EdgeCellsAndCornersStopAtTheRing)
{
    // Black on a1: the only line with stones runs b1..h1, all White, into the
    // ring. Nothing may turn, and nothing may be written into the ring.
    const Board source = boardFromRows({
        ".OOOOOOO",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "OOOOOOO.",
    });
    applyMove(source, 1, 1, Black);
    EXPECT_EQ(changedCells(source, trialBoard), (std::vector<Move>{{1, 1}}));
    applyMove(source, 8, 8, Black);
    EXPECT_EQ(changedCells(source, trialBoard), (std::vector<Move>{{8, 8}}));
    EXPECT_TRUE(ringIsEmpty(trialBoard));
}

TEST(ApplyMove, TurnsAllEightDirectionsAtOnce)
{
    const Board source = boardFromRows({
        "........",
        ".X.X.X..",
        "..OOO...",
        ".XO.OX..",
        "..OOO...",
        ".X.X.X..",
        "........",
        "........",
    });
    applyMove(source, 4, 4, Black);
    EXPECT_EQ(countStones(White, trialBoard), 0);
    EXPECT_EQ(countStones(Black, trialBoard), 17);
}

TEST(ApplyMove, SameSourceGivesIndependentResults)
{
    const Board start = startBoard();
    applyMove(start, 3, 4, Black);
    const Board first = trialBoard;
    applyMove(start, 6, 5, Black);
    EXPECT_EQ(changedCells(start, first), (std::vector<Move>{{3, 4}, {4, 4}}));
    EXPECT_EQ(changedCells(start, trialBoard), (std::vector<Move>{{5, 5}, {6, 5}}));
}

TEST(ApplyMove, OccupiedCellIsOverwritten)
{
    const Board start = startBoard();
    applyMove(start, 4, 4, Black); // callers never do this; it must not crash
    EXPECT_EQ(trialBoard[44], Black);
}

TEST(Legality, NeedsAnEmptyCellThatTurnsSomething)
{
    const Board start = startBoard();
    EXPECT_EQ(isLegalMove(Black, 3, 4, start), 1);
    EXPECT_EQ(isLegalMove(White, 3, 4, start), 0); // next to stones, encloses nothing
    EXPECT_EQ(isLegalMove(Black, 1, 1, start), 0); // far from everything
    applyMove(start, 6, 5, Black);
    const Board marker = trialBoard;
    EXPECT_EQ(isLegalMove(Black, 4, 4, start), 0); // occupied
    EXPECT_EQ(trialBoard, marker) << "an occupied cell needs no trial move";
}

TEST(MoveLists, StartPositionInColumnMajorOrder)
{
    setupBoard();
    listMoves(0, Black, liveBoard);
    EXPECT_EQ(movesIn(moveLists[0]), (std::vector<Move>{{3, 4}, {4, 3}, {5, 6}, {6, 5}}));
    listMoves(1, White, liveBoard);
    EXPECT_EQ(movesIn(moveLists[1]), (std::vector<Move>{{3, 5}, {4, 6}, {5, 3}, {6, 4}}));
}

TEST(MoveLists, SideWithoutMovesGetsAnEmptyList)
{
    const Board onlyBlack = boardFromRows({
        "XX......",
        "X.......",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    });
    moveLists[7][0] = {5, 5};
    listMoves(7, White, onlyBlack);
    EXPECT_EQ(moveCount(moveLists[7]), 0);
    EXPECT_EQ(moveLists[7][0], (Move{0, 0}));
}

// Fills every slot with a sentinel, writes one, and checks that the rest kept
// every entry.
TEST(MoveLists, WritingOneSlotNeverTouchesAnother)
{
    const Board position = boardFromRows({
        "........",
        ".OOOOOO.",
        ".OXXXXO.",
        ".OX..XO.",
        ".OX..XO.",
        ".OXXXXO.",
        ".OOOOOO.",
        "........",
    });
    for (int written : {0, 7, 14, 15, 18}) {
        for (int s = 0; s < MoveListSlots; ++s)
            moveLists[s].fill({9, s});
        listMoves(written, Black, position);
        for (int s = 0; s < MoveListSlots; ++s) {
            if (s == written)
                continue;
            for (int i = 0; i < MoveListSize; ++i)
                ASSERT_EQ(moveLists[s][i], (Move{9, s})) << "slot " << s << " entry " << i;
        }
    }
}

TEST(MoveLists, MoreThanTwentyFourMovesAreAllListed)
{
    // Black may play on every one of the 28 edge cells.
    const Board position = boardFromRows({
        "........",
        ".OOOOOO.",
        ".OXXXXO.",
        ".OX..XO.",
        ".OX..XO.",
        ".OXXXXO.",
        ".OOOOOO.",
        "........",
    });
    std::vector<Move> expected;
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (column == 1 || column == 8 || row == 1 || row == 8)
                expected.push_back({column, row});
    moveLists[3].fill({7, 7});
    moveLists[5].fill({7, 7});
    listMoves(4, Black, position);
    EXPECT_EQ(movesIn(moveLists[4]), expected);
    EXPECT_EQ(moveCount(moveLists[4]), 28);
    EXPECT_EQ(moveLists[3][MoveListSize - 1], (Move{7, 7}));
    EXPECT_EQ(moveLists[5][0], (Move{7, 7}));
}

TEST(FlipList, ListsTurnedStonesInColumnMajorOrder)
{
    // Black e6 (5,6) turns e5, e4 (up) and d5 (up-left). The scan of the
    // directions meets them as e5, e4, d5; the list must read d5, e4, e5.
    const Board before = boardFromRows({
        "........",
        "........",
        "....X...",
        "..X.O...",
        "...OO...",
        "........",
        "........",
        "........",
    });
    applyMove(before, 5, 6, Black);
    EXPECT_EQ(listFlips(before), 3);
    EXPECT_EQ(movesIn(flipList()), (std::vector<Move>{{4, 5}, {5, 4}, {5, 5}}));

    applyMove(before, 3, 6, White); // White trial: turns nothing, lists nothing
    EXPECT_EQ(listFlips(before), 0);
    EXPECT_EQ(flipList()[0], (Move{0, 0}));

    trialBoard = before; // no stone placed at all: an empty list, no crash
    flipList()[0] = {4, 4};
    EXPECT_EQ(listFlips(before), 0);
    EXPECT_EQ(flipList()[0], (Move{0, 0}));
}

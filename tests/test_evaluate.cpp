#include <gtest/gtest.h>

#include "ai/evaluate.h"
#include "board_text.h"

namespace {

// The corner, X-cell and edge-shape part of evaluateSide: what is left after
// taking out mobility and the per-stone penalty.
int positionalTerms(int colour, const Board& board)
{
    listMoves(9, colour, board);
    return evaluateSide(colour, board) - 70 * moveCount(moveLists[9]) + 50 * countStones(colour, board);
}

// Column 1 given as a string for rows 1..8, a lone White stone at e5 so the
// board is not a finished game, everything else empty.
Board columnOne(const char* cells)
{
    std::vector<std::string> rows(8, "........");
    for (int row = 0; row < 8; ++row)
        rows[row][0] = cells[row];
    rows[4][4] = 'O';
    return boardFromRows(rows);
}

} // namespace

TEST(Evaluation, OpeningValues)
{
    const Board start = startBoard();
    EXPECT_EQ(evaluateSide(Black, start), 180);
    EXPECT_EQ(evaluateSide(White, start), 180);
    EXPECT_EQ(evaluatePosition(Black, start), 0);
    EXPECT_EQ(evaluatePosition(White, start), 0);

    // Black d3: Black 4 stones and 3 moves, White 1 stone and 3 moves.
    const Board after = afterMoves({{4, 3}});
    EXPECT_EQ(evaluateSide(Black, after), 10);
    EXPECT_EQ(evaluateSide(White, after), 160);
    EXPECT_EQ(evaluatePosition(Black, after), -150);
    EXPECT_EQ(evaluatePosition(White, after), 150);
    listMoves(4, Black, after);
    const std::vector<Move> blackMoves = movesIn(moveLists[4]);
    evaluatePosition(White, after);
    EXPECT_EQ(movesIn(moveLists[4]), blackMoves) << "Black's side is scored last";
    EXPECT_EQ(evaluatePosition(Empty, after), 0);
    EXPECT_EQ(evaluatePosition(3, after), 0);
}

TEST(Evaluation, FinishedGamesScoreTheResult)
{
    std::vector<std::string> rows(8, "XXXXXXXX");
    rows[5] = rows[6] = rows[7] = "OOOOOOOO"; // 40 to 24
    EXPECT_EQ(evaluatePosition(Black, boardFromRows(rows)), 316000);
    EXPECT_EQ(evaluatePosition(White, boardFromRows(rows)), -316000);
    rows[4] = "OOOOOOOO"; // 32 to 32
    EXPECT_EQ(evaluatePosition(Black, boardFromRows(rows)), 0);
    EXPECT_EQ(evaluatePosition(White, boardFromRows(rows)), 0);

    // Only Black stones left: finished, though 61 cells are empty.
    const Board wiped = boardFromRows(
        {"XX......", "X.......", "........", "........", "........", "........", "........", "........"});
    EXPECT_EQ(evaluatePosition(Black, wiped), 303000);
    EXPECT_EQ(evaluatePosition(White, wiped), -303000);
}

TEST(Evaluation, CornersRunsAndXCells)
{
    EXPECT_EQ(positionalTerms(Black, columnOne("........")), 0);

    std::vector<std::string> rows(8, "........");
    rows[4][4] = 'O';
    rows[1][1] = 'X'; // b2, the X cell of an empty a1
    EXPECT_EQ(positionalTerms(Black, boardFromRows(rows)), -950);
    rows[0][0] = 'O'; // a1 taken by the opponent: no X-cell cost
    EXPECT_EQ(positionalTerms(Black, boardFromRows(rows)), 0);

    // Own a1 with runs a2 (then a3 White ends it) and b1, c1 along row 1.
    rows[0] = "XXX.....";
    rows[1] = "X.......";
    rows[2] = "O.......";
    rows[3] = "X.......";
    EXPECT_EQ(positionalTerms(Black, boardFromRows(rows)), 10000 + 3 * 600);
}

TEST(Evaluation, EdgeShapes)
{
    // a3..a6 own with both corners empty: the shape replaces the C-cell cost.
    EXPECT_EQ(positionalTerms(Black, columnOne("..XXXX..")), 1000);
    EXPECT_EQ(positionalTerms(Black, columnOne(".XXXXXX.")), 1000);
    EXPECT_EQ(positionalTerms(Black, columnOne(".OXXXXO.")), 1000);
    EXPECT_EQ(positionalTerms(Black, columnOne(".XXXXX..")), -1000);
    EXPECT_EQ(positionalTerms(Black, columnOne("..XXXXX.")), -1000);
    EXPECT_EQ(positionalTerms(Black, columnOne(".XXXXXO.")), 0);
    EXPECT_EQ(positionalTerms(Black, columnOne(".OXXXX..")), 0);
    // No shape (a3 empty): each own C cell beside an empty corner costs 900.
    EXPECT_EQ(positionalTerms(Black, columnOne(".X.XXXX.")), -1800);
    EXPECT_EQ(positionalTerms(Black, columnOne(".X.XXX..")), -900);
    // Whole edge own: two corners, each with a run of seven along the edge.
    EXPECT_EQ(positionalTerms(Black, columnOne("XXXXXXXX")), 2 * 10000 + 2 * 7 * 600);
}

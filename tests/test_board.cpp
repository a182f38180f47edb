#include <gtest/gtest.h>

#include "board/moves.h"

namespace {
std::vector<Move> movesOf(int slot)
{
    std::vector<Move> out;
    for (int i = 0; moveLists[slot][i].column != 0; ++i)
        out.push_back(moveLists[slot][i]);
    return out;
}
} // namespace

TEST(MoveLists, StartPositionInColumnMajorOrder)
{
    setupBoard();
    listMoves(0, Black, liveBoard);
    EXPECT_EQ(movesOf(0), (std::vector<Move>{{3, 4}, {4, 3}, {5, 6}, {6, 5}}));
    listMoves(1, White, liveBoard);
    EXPECT_EQ(movesOf(1), (std::vector<Move>{{3, 5}, {4, 6}, {5, 3}, {6, 4}}));
}

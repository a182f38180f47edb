#include "board/board.h"

Board liveBoard{};
thread_local Board trialBoard{};

void setupBoard()
{
    liveBoard.fill(Empty);
    liveBoard[44] = White;
    liveBoard[55] = White;
    liveBoard[45] = Black;
    liveBoard[54] = Black;
}

namespace {
// Left, down-left, down, down-right, right, up-right, up, up-left.
constexpr int directionSteps[8] = {-10, -9, 1, 11, 10, 9, -1, -11};
} // namespace

void applyMove(const Board& source, int column, int row, int stone)
{
    trialBoard = source;
    const int origin = cellIndex(column, row);
    trialBoard[origin] = static_cast<signed char>(stone);
    const int opponent = opponentOf(stone);
    for (int step : directionSteps) {
        int cell = origin + step;
        while (trialBoard[cell] == opponent)
            cell += step;
        if (trialBoard[cell] != stone)
            continue;
        for (cell = origin + step; trialBoard[cell] == opponent; cell += step)
            trialBoard[cell] = static_cast<signed char>(stone);
    }
}

int countStones(int value, const Board& board)
{
    int n = 0;
    for (signed char cell : board)
        n += cell == value;
    return n;
}

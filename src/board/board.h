// The position and the one primitive that changes it.
#pragma once

#include <array>

// 100 cells, a 10 x 10 grid whose outer ring stays empty so line scans need
// no edge test. Cell index = column * 10 + row, both 1..8 on the board.
using Board = std::array<signed char, 100>;

enum Stone : int { Empty = 0, Black = 1, White = 2 };

constexpr int opponentOf(int stone)
{
    return stone == Black ? White : Black;
}

constexpr int cellIndex(int column, int row)
{
    return column * 10 + row;
}

// The position of the game in progress; changed on the window's thread only.
extern Board liveBoard;

// Receives every trial move. Per thread, so the window's highlight and cursor
// trials never disturb a search running on the worker.
extern thread_local Board trialBoard;

void setupBoard();
void applyMove(const Board& source, int column, int row, int stone);
int countStones(int value, const Board& board);

#include "ai/levels.h"

Move chosenMove{0, 0};
int bestScore = 0;

int countEmpty(const Board& board)
{
    int n = 0;
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            n += board[cellIndex(column, row)] == Empty;
    return n;
}

bool isGameOver(const Board& position)
{
    listMoves(17, Black, position);
    listMoves(18, White, position);
    return moveCount(moveLists[17]) == 0 && moveCount(moveLists[18]) == 0;
}

void runLevel(int player, int colour, const Board& board)
{
    using Level = void (*)(int, const Board&);
    static constexpr Level levels[7] = {chooseMoveLv0, chooseMoveLv1, chooseMoveLv2, chooseMoveLv3,
                                        chooseMoveLv4, chooseMoveLv5, chooseMoveLv6};
    if (player < 1 || player > 7) {
        chosenMove = {0, 0};
        return;
    }
    levels[player - 1](colour, board);
}

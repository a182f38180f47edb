#include "board/moves.h"

thread_local MoveList moveLists[MoveListSlots];

int isLegalMove(int stone, int column, int row, const Board& board)
{
    const int blacks = countStones(Black, board);
    const int whites = countStones(White, board);
    if (board[cellIndex(column, row)] != Empty)
        return 0;
    applyMove(board, column, row, stone);
    if (countStones(Black, trialBoard) == blacks)
        return 0;
    if (countStones(White, trialBoard) == whites)
        return 0;
    return 1;
}

void listMoves(int slot, int stone, const Board& board)
{
    const int blacks = countStones(Black, board);
    const int whites = countStones(White, board);
    MoveList& list = moveLists[slot];
    int n = 0;
    for (int column = 1; column <= 8; ++column) {
        for (int row = 1; row <= 8; ++row) {
            if (board[cellIndex(column, row)] != Empty)
                continue;
            applyMove(board, column, row, stone);
            if (countStones(Black, trialBoard) != blacks && countStones(White, trialBoard) != whites)
                list[n++] = {column, row};
        }
    }
    list[n] = {0, 0};
}

int listFlips(const Board& before)
{
    int mover = Empty;
    for (int column = 1; column <= 8 && mover == Empty; ++column) {
        for (int row = 1; row <= 8; ++row) {
            const int cell = cellIndex(column, row);
            if (before[cell] == Empty && trialBoard[cell] != Empty) {
                mover = trialBoard[cell];
                break;
            }
        }
    }
    MoveList& list = flipList();
    int n = 0;
    if (mover == Empty) { // no placed stone: nothing turned
        list[0] = {0, 0};
        return 0;
    }
    const int other = opponentOf(mover);
    for (int column = 1; column <= 8; ++column) {
        for (int row = 1; row <= 8; ++row) {
            const int cell = cellIndex(column, row);
            if (before[cell] == other && trialBoard[cell] == mover)
                list[n++] = {column, row};
        }
    }
    list[n] = {0, 0};
    return n;
}

int moveCount(const MoveList& list)
{
    int n = 0;
    while (list[n].column != 0)
        ++n;
    return n;
}

// Boards written as the view shows them, for readable test positions.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "board/moves.h"

// Eight strings, row 1 first; within a row columns a to h. 'X' is Black,
// 'O' is White, anything else is empty. The ring stays empty.
inline Board boardFromRows(const std::vector<std::string>& rows)
{
    Board board{};
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column) {
            const char ch = rows[row - 1][column - 1];
            board[cellIndex(column, row)] = ch == 'X' ? Black : ch == 'O' ? White : Empty;
        }
    return board;
}

// Readable moves in failure messages.
inline void PrintTo(Move m, std::ostream* os)
{
    *os << "(" << m.column << "," << m.row << ")";
}

inline std::vector<Move> movesIn(const MoveList& list)
{
    std::vector<Move> out;
    for (int i = 0; list[i].column != 0; ++i)
        out.push_back(list[i]);
    return out;
}

inline Board startBoard()
{
    setupBoard();
    return liveBoard;
}

// The position after the given moves from the start, alternating colours
// from Black (no passes).
inline Board afterMoves(const std::vector<Move>& moves)
{
    Board board = startBoard();
    int side = Black;
    for (Move m : moves) {
        applyMove(board, m.column, m.row, side);
        board = trialBoard;
        side = opponentOf(side);
    }
    return board;
}

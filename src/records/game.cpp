#include "records/game.h"

#include <algorithm>
#include <cstdio>

namespace {

bool onBoard(Move m)
{
    return m.column >= 1 && m.column <= 8 && m.row >= 1 && m.row <= 8;
}

std::string formatTime(const char* pattern, const std::tm& time)
{
    char text[64];
    const size_t n = std::strftime(text, sizeof text, pattern, &time);
    return std::string(text, n);
}

} // namespace

Game standardGame()
{
    Game game;
    game.start[cellIndex(4, 4)] = White;
    game.start[cellIndex(5, 5)] = White;
    game.start[cellIndex(4, 5)] = Black;
    game.start[cellIndex(5, 4)] = Black;
    return game;
}

bool hasStandardStart(const Game& game)
{
    return game.firstSide == Black && game.start == standardGame().start;
}

int sideOfEntry(const Game& game, int n)
{
    return n % 2 == 1 ? game.firstSide : opponentOf(game.firstSide);
}

// A record from the caller is trusted to be legal, but a cell off the board
// must never index outside the position.
Board positionAfter(const Game& game, int count)
{
    Board board = game.start;
    const int last = std::clamp(count, 0, static_cast<int>(game.turns.size()));
    for (int i = 0; i < last; ++i) {
        const Move m = game.turns[i];
        if (!onBoard(m))
            continue;
        applyMove(board, m.column, m.row, sideOfEntry(game, i + 1));
        board = trialBoard;
    }
    return board;
}

Board finalPosition(const Game& game)
{
    return positionAfter(game, static_cast<int>(game.turns.size()));
}

bool canMove(int side, const Board& board)
{
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (board[cellIndex(column, row)] == Empty && isLegalMove(side, column, row, board))
                return true;
    return false;
}

bool gameEnded(const Game& game)
{
    const Board board = finalPosition(game);
    return !canMove(Black, board) && !canMove(White, board);
}

std::vector<RecordLine> recordLines(const Game& game)
{
    std::vector<RecordLine> lines;
    for (size_t i = 0; i < game.turns.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        lines.push_back({n, sideOfEntry(game, n), game.turns[i]});
    }
    return lines;
}

Game gameUpTo(const Game& game, int count)
{
    Game shorter = game;
    shorter.turns.resize(std::clamp(count, 0, static_cast<int>(game.turns.size())));
    shorter.resignedBy = Empty;
    shorter.header.result.clear();
    return shorter;
}

std::string defaultRecordFileName(const std::tm& time)
{
    return formatTime("reversi-%Y%m%d-%H%M.ggf", time);
}

std::string ggfDate(const std::tm& time)
{
    return formatTime("%Y.%m.%d_%H:%M:%S", time);
}

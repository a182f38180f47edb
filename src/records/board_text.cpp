#include "records/board_text.h"

#include <algorithm>

#include "records/reading.h"

namespace {

constexpr int Cells = 64;

const char* const Unreadable = "局面の文字列が読めません：";
const char* const TooManyCellsMessage = "マスが64個より多くあります";
const char* const MissingSideMessage = "手番（X か O）がありません";
const char* const BadSideMessage = "手番がわかりません（X か O で書きます）";
const char* const DeadPositionMessage = "黒も白も打てる所がない局面です";

// Black, White or Empty for a cell character, -1 for any other character.
// The same letters as GGF's board.
int stoneOf(char c)
{
    if (c == '-' || c == '.')
        return Empty;
    if (c == 'X' || c == 'x' || c == '*')
        return Black;
    if (c == 'O' || c == 'o')
        return White;
    return -1;
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads up to 64 cells from pos, white space allowed before each; returns
// how many were read.
int readCells(std::string_view text, size_t& pos, Board* board)
{
    int count = 0;
    while (count < Cells) {
        skipSpace(text, pos);
        if (pos >= text.size() || stoneOf(text[pos]) < 0)
            break;
        if (board)
            (*board)[cellIndex(count % 8 + 1, count / 8 + 1)] = static_cast<signed char>(stoneOf(text[pos]));
        ++pos, ++count;
    }
    return count;
}

// The side at pos as a letter or a word; Empty when there is none.
int readSide(std::string_view text, size_t& pos)
{
    struct Word {
        std::string_view text;
        int side;
    };
    static constexpr Word words[] = {{"black", Black}, {"white", White}, {"黒番", Black},
                                     {"白番", White},  {"黒", Black},    {"白", White}};
    for (const Word& word : words) {
        if (startsWithNoCase(text, pos, word.text)) {
            pos += word.text.size();
            return word.side;
        }
    }
    const int stone = pos < text.size() ? stoneOf(text[pos]) : -1;
    if (stone == Black || stone == White)
        ++pos;
    return stone == -1 ? Empty : stone;
}

GameRead failure(const std::string& message)
{
    return {false, RecordFormat::None, {}, message};
}

GameRead unreadable(const std::string& why)
{
    return failure(Unreadable + why);
}

// After the side: the rest of its line, then nothing but white space.
std::string restProblem(std::string_view text, size_t pos)
{
    if (pos < text.size() && !isSpace(text[pos]) && text[pos] != ';')
        return stoneOf(text[pos]) >= 0 ? TooManyCellsMessage : BadSideMessage;
    pos = std::min(text.find('\n', pos), text.size());
    skipSpace(text, pos);
    if (pos == text.size())
        return "";
    int line = 1;
    for (size_t i = 0; i < pos; ++i)
        line += text[i] == '\n';
    return "局面の後に続きがあります（" + std::to_string(line) + "行目）";
}

} // namespace

bool looksLikeBoardText(std::string_view text)
{
    size_t pos = 0;
    return readCells(text, pos, nullptr) >= Cells / 2;
}

GameRead readBoardText(std::string_view text)
{
    Game game;
    size_t pos = 0;
    const int count = readCells(text, pos, &game.start);
    if (count < Cells)
        return unreadable("マスが" + std::to_string(count) + "個しかありません（64個必要です）");
    skipSpace(text, pos);
    const int side = readSide(text, pos);
    if (side == Empty) {
        if (pos == text.size())
            return unreadable(MissingSideMessage);
        return unreadable(stoneOf(text[pos]) == Empty ? TooManyCellsMessage : BadSideMessage);
    }
    const std::string rest = restProblem(text, pos);
    if (!rest.empty())
        return unreadable(rest);
    const std::string problem = positionProblem(game.start);
    if (!problem.empty())
        return failure(problem);
    game.firstSide = side;
    return {true, RecordFormat::Position, game, ""};
}

std::string positionProblem(const Board& board)
{
    return canMove(Black, board) || canMove(White, board) ? "" : DeadPositionMessage;
}

std::string writeBoardText(const Board& board, int side)
{
    std::string text;
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column) {
            const int stone = board[cellIndex(column, row)];
            text += stone == Black ? 'X' : stone == White ? 'O' : '-';
        }
    return text + (side == White ? " O" : " X");
}

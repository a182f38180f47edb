// GGF, one game: "(;GM[Othello]PB[..]...BO[8 <64 cells> <side>]B[f5]W[d6]...;)".
// Values escape "]" and "\" with a backslash. Only the first game of a text
// is read; properties this game has no use for are skipped.
#include <cstdlib>
#include <vector>

#include "engine/bits.h"
#include "engine/solver.h"
#include "records/openings.h"
#include "records/reading.h"

namespace {

const char* const TruncatedMessage = "GGF が途中で切れています";
const char* const NotOthelloMessage = "GGF の対局が GM[Othello] ではありません";
const char* const BadBoardMessage = "GGF の開始局面 BO が正しくありません";
const char* const MissingBoardMessage = "GGF に開始局面 BO がありません";

struct Property {
    std::string name; // upper case
    std::vector<std::string> values;
};

struct Parse {
    std::string_view text;
    size_t pos = 0;
    std::vector<Property> properties;
    std::string error;
};

std::string syntaxMessage(const Parse& p)
{
    int line = 1;
    for (size_t i = 0; i < p.pos && i < p.text.size(); ++i)
        line += p.text[i] == '\n';
    return "GGF の書き方が正しくありません（" + std::to_string(line) + "行目）";
}

bool atEnd(Parse& p)
{
    if (p.pos < p.text.size())
        return false;
    p.error = TruncatedMessage;
    return true;
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// At "[": reads to the matching "]", undoing the escapes.
bool readValue(Parse& p, std::string& value)
{
    ++p.pos;
    for (;;) {
        if (atEnd(p))
            return false;
        char c = p.text[p.pos++];
        if (c == ']')
            return true;
        if (c == '\\') {
            if (atEnd(p))
                return false;
            c = p.text[p.pos++];
        }
        value += c;
    }
}

// At a letter: the name, then one value or more.
bool readProperty(Parse& p)
{
    Property property;
    while (p.pos < p.text.size() && isLetter(p.text[p.pos]))
        property.name += upper(p.text[p.pos++]);
    for (;;) {
        skipSpace(p.text, p.pos);
        if (atEnd(p))
            return false;
        if (p.text[p.pos] != '[')
            break;
        property.values.emplace_back();
        if (!readValue(p, property.values.back()))
            return false;
    }
    if (property.values.empty()) {
        p.error = syntaxMessage(p);
        return false;
    }
    p.properties.push_back(std::move(property));
    return true;
}

// From "(;" to ";)" (or the ")" alone that some writers end with).
bool readProperties(Parse& p)
{
    skipSpace(p.text, p.pos);
    ++p.pos; // "("
    skipSpace(p.text, p.pos);
    ++p.pos; // ";"
    for (;;) {
        skipSpace(p.text, p.pos);
        if (atEnd(p))
            return false;
        // One node only: a ";" here ends the game.
        if (p.text[p.pos] == ';') {
            ++p.pos;
            skipSpace(p.text, p.pos);
            if (atEnd(p))
                return false;
            if (p.text[p.pos] != ')') {
                p.error = syntaxMessage(p);
                return false;
            }
        }
        if (p.text[p.pos] == ')')
            return true;
        if (!isLetter(p.text[p.pos])) {
            p.error = syntaxMessage(p);
            return false;
        }
        if (!readProperty(p))
            return false;
    }
}

std::string trimmed(std::string_view text)
{
    size_t start = 0;
    skipSpace(text, start);
    size_t end = text.size();
    while (end > start && (text[end - 1] == ' ' || (text[end - 1] >= '\t' && text[end - 1] <= '\r')))
        --end;
    return std::string(text.substr(start, end - start));
}

int stoneOf(char c)
{
    if (c == '-' || c == '.')
        return Empty;
    if (c == '*' || c == 'x' || c == 'X')
        return Black;
    if (c == 'O' || c == 'o')
        return White;
    return -1;
}

// "8", then 64 cells row 1 first (a1 .. h1, a2 ..), then the side to move;
// white space anywhere between.
bool readBoard(std::string_view value, Game& game)
{
    size_t pos = 0;
    skipSpace(value, pos);
    if (value.substr(pos, 1) != "8" ||
        (pos + 1 < value.size() && value[pos + 1] >= '0' && value[pos + 1] <= '9'))
        return false;
    ++pos;
    int cells[65];
    for (int& cell : cells) {
        skipSpace(value, pos);
        if (pos >= value.size() || (cell = stoneOf(value[pos++])) < 0)
            return false;
    }
    skipSpace(value, pos);
    if (pos != value.size() || cells[64] == Empty)
        return false;
    game.start = Board{};
    for (int i = 0; i < 64; ++i)
        game.start[cellIndex(i % 8 + 1, i / 8 + 1)] = static_cast<signed char>(cells[i]);
    game.firstSide = cells[64];
    return true;
}

// The cell before the optional "/value/time"; false when unreadable.
bool readTurnValue(std::string_view value, Move& turn)
{
    const std::string cell = trimmed(value.substr(0, value.find('/')));
    const bool pass = (cell.size() == 2 && startsWithNoCase(cell, 0, "pa")) ||
                      (cell.size() == 4 && startsWithNoCase(cell, 0, "pass"));
    if (pass) {
        turn = {0, 0};
        return true;
    }
    if (cell.size() != 2)
        return false;
    const char column = static_cast<char>(upper(cell[0]) - 'A' + 1);
    const char row = static_cast<char>(cell[1] - '0');
    turn = {column, row};
    return column >= 1 && column <= 8 && row >= 1 && row <= 8;
}

// RE is the first colour's (Black's) result, then an optional flag after ":"
// for how it ended: "r" resigned, "t" out of time, "s" a score agreed. On
// "r" the sign of the value says who gave up.
int resignedColour(const std::string& result)
{
    const size_t colon = result.find(':');
    if (colon == std::string::npos || result.find('r', colon) == std::string::npos)
        return Empty;
    const std::string value = trimmed(std::string_view(result).substr(0, colon));
    if (value.find_first_of("123456789") == std::string::npos)
        return Empty;
    return value[0] == '-' ? Black : White;
}

std::string findSetup(const std::vector<Property>& properties, Game& game)
{
    int gm = 0;
    int bo = 0;
    for (const Property& property : properties) {
        const std::string& value = property.values[0];
        if (property.name == "GM" && (property.values.size() != 1 || trimmed(value).size() != 7 ||
                                      !startsWithNoCase(trimmed(value), 0, "othello")))
            return NotOthelloMessage;
        gm += property.name == "GM";
        if (property.name == "BO" && (++bo > 1 || property.values.size() != 1 || !readBoard(value, game)))
            return BadBoardMessage;
    }
    if (gm == 0)
        return NotOthelloMessage;
    return bo == 0 ? MissingBoardMessage : "";
}

void readHeader(const std::vector<Property>& properties, GameHeader& header)
{
    for (const Property& property : properties) {
        const std::string& value = property.values[0];
        if (property.name == "PB")
            header.black = value;
        else if (property.name == "PW")
            header.white = value;
        else if (property.name == "DT")
            header.date = value;
        else if (property.name == "PC")
            header.place = value;
        else if (property.name == "RE")
            header.result = value;
    }
}

std::string playTurns(const std::vector<Property>& properties, GameInProgress& play)
{
    for (const Property& property : properties) {
        if (property.name != "B" && property.name != "W")
            continue;
        Move turn{0, 0};
        if (property.values.size() != 1 || !readTurnValue(property.values[0], turn)) {
            const int number = static_cast<int>(play.game.turns.size()) + 1;
            return unreadableTurnMessage(number, property.name + "[" + property.values[0] + "]");
        }
        const std::string problem = playTurn(play, turn, property.name == "B" ? Black : White);
        if (!problem.empty())
            return problem;
    }
    return "";
}

GameRead failure(const std::string& message)
{
    return {false, RecordFormat::None, {}, message};
}

std::string escaped(const std::string& value)
{
    std::string out;
    for (char c : value) {
        if (c == ']' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

std::string boardText(const Game& game)
{
    std::string text = "8 ";
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column) {
            const int stone = game.start[cellIndex(column, row)];
            text += stone == Black ? '*' : stone == White ? 'O' : '-';
        }
    text += game.firstSide == White ? " O" : " *";
    return text;
}

// Black's disc difference with the empty cells to the winner, as players,
// the hints and the analysis count it; or 64 to the side that did not resign.
std::string resultText(const Game& game)
{
    int difference = 64;
    if (game.resignedBy == Empty) {
        const Board board = finalPosition(game);
        difference =
            finalScore(bitsOfColour(Black, board), bitsOfColour(White, board), Scoring::EmptiesToWinner);
    } else if (game.resignedBy == Black) {
        difference = -64;
    }
    std::string text = difference > 0 ? "+" : difference < 0 ? "-" : "";
    text += std::to_string(std::abs(difference)) + ".00";
    return game.resignedBy == Empty ? text : text + ":r";
}

} // namespace

bool looksLikeGgf(std::string_view text)
{
    size_t pos = 0;
    skipSpace(text, pos);
    if (text.substr(pos, 1) != "(")
        return false;
    ++pos;
    skipSpace(text, pos);
    return text.substr(pos, 1) == ";";
}

GameRead readGgf(std::string_view text)
{
    Parse parse;
    parse.text = text;
    if (!readProperties(parse))
        return failure(parse.error);
    Game setup = standardGame();
    const std::string problem = findSetup(parse.properties, setup);
    if (!problem.empty())
        return failure(problem);
    GameInProgress play = beginGame(setup);
    const std::string turnProblem = playTurns(parse.properties, play);
    if (!turnProblem.empty())
        return failure(turnProblem);
    readHeader(parse.properties, play.game.header);
    play.game.resignedBy = resignedColour(play.game.header.result);
    return {true, RecordFormat::Ggf, play.game, ""};
}

std::string writeGgf(const Game& game)
{
    const GameHeader& h = game.header;
    std::string text = "(;GM[Othello]PC[" + escaped(h.place) + "]DT[" + escaped(h.date) + "]";
    // The opening's name in the field the SGF family keeps for it, in the
    // servers' language; readers that do not know it skip it.
    if (const Opening* opening = openingName(game, static_cast<int>(game.turns.size())).opening)
        text += "ON[" + escaped(opening->english) + "]";
    text += "PB[" + escaped(h.black) + "]PW[" + escaped(h.white) + "]";
    // A result read with the game stands: it may say more than the board
    // does (a loss on time, a score agreed).
    if (!h.result.empty())
        text += "RE[" + escaped(h.result) + "]";
    else if (game.resignedBy != Empty || gameEnded(game))
        text += "RE[" + resultText(game) + "]";
    text += "TY[8]BO[" + boardText(game) + "]";
    for (const RecordLine& line : recordLines(game))
        text +=
            (line.colour == Black ? "B[" : "W[") + (line.move.column == 0 ? "PA" : cellText(line.move)) + "]";
    return text + ";)\n";
}

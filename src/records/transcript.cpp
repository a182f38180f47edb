// The transcript: cells in order, such as "f5d6c3d3", upper or lower case,
// any white space between them, and optional passes written "--", "PA" or
// "pass". Passes the reader does not find are put in where they belong.
#include "records/reading.h"

namespace {

enum class TokenKind { End, Move, Pass, Unreadable };

struct Token {
    TokenKind kind;
    Move move;
    std::string_view text;
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The unreadable text reaches to the next white space.
Token unreadableToken(std::string_view text, size_t& pos)
{
    const size_t start = pos;
    while (pos < text.size() && text[pos] != ' ' && (text[pos] < '\t' || text[pos] > '\r'))
        ++pos;
    return {TokenKind::Unreadable, {0, 0}, text.substr(start, pos - start)};
}

Token nextToken(std::string_view text, size_t& pos)
{
    skipSpace(text, pos);
    if (pos >= text.size())
        return {TokenKind::End, {0, 0}, {}};
    const size_t start = pos;
    for (std::string_view word : {"pass", "pa", "--"}) {
        if (startsWithNoCase(text, pos, word)) {
            pos += word.size();
            return {TokenKind::Pass, {0, 0}, text.substr(start, word.size())};
        }
    }
    const char column = pos + 1 < text.size() ? lower(text[pos]) : '\0';
    const char row = column != '\0' ? text[pos + 1] : '\0';
    if (column >= 'a' && column <= 'h' && row >= '1' && row <= '8') {
        pos += 2;
        return {TokenKind::Move, {column - 'a' + 1, row - '0'}, text.substr(start, 2)};
    }
    return unreadableToken(text, pos);
}

} // namespace

bool looksLikeTranscript(std::string_view text)
{
    size_t pos = 0;
    const TokenKind first = nextToken(text, pos).kind;
    return first == TokenKind::Move || first == TokenKind::Pass;
}

GameRead readTranscript(std::string_view text)
{
    GameInProgress play = beginGame(standardGame());
    size_t pos = 0;
    for (;;) {
        const Token token = nextToken(text, pos);
        if (token.kind == TokenKind::End)
            break;
        const int number = static_cast<int>(play.game.turns.size()) + 1;
        if (token.kind == TokenKind::Unreadable)
            return {false, RecordFormat::None, {}, unreadableTurnMessage(number, token.text)};
        const std::string problem = playTurn(play, token.move, Empty);
        if (!problem.empty())
            return {false, RecordFormat::None, {}, problem};
    }
    return {true, RecordFormat::Transcript, play.game, ""};
}

std::string writeTranscript(const Game& game)
{
    std::string text;
    for (Move m : game.turns)
        if (m.column != 0 && m.row != 0)
            text += cellText(m);
    return text;
}

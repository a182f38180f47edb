#include "records/reading.h"

#include "res/text.h"

namespace {

bool isPass(Move m)
{
    return m.column == 0 && m.row == 0;
}

const char* colourName(int colour)
{
    return uiText(colour == Black ? TextId::ColourBlack : TextId::ColourWhite);
}

std::string illegalMoveMessage(int number, Move m)
{
    return formatUiText(TextId::TurnIllegal, number, cellText(m).c_str());
}

std::string cannotPassMessage(int number, int side)
{
    return formatUiText(TextId::TurnCannotPass, number, colourName(side));
}

std::string afterEndMessage(int number, Move m)
{
    return formatUiText(TextId::TurnAfterEnd, number, cellText(m).c_str());
}

std::string wrongSideMessage(int number, Move m, int colour, int side)
{
    return formatUiText(TextId::TurnWrongSide, number, cellText(m).c_str(), colourName(colour),
                        colourName(side));
}

void record(GameInProgress& play, Move m, int side)
{
    play.game.turns.push_back(m);
    if (isPass(m))
        return;
    applyMove(play.board, m.column, m.row, side);
    play.board = trialBoard;
}

} // namespace

GameInProgress beginGame(const Game& game)
{
    GameInProgress play{game, game.start};
    play.game.turns.clear();
    return play;
}

// The common case, a legal move by the side to move, costs one legality
// test; the move generator runs only when something is off.
std::string playTurn(GameInProgress& play, Move turn, int colour)
{
    const int number = static_cast<int>(play.game.turns.size()) + 1;
    const int side = sideOfEntry(play.game, number);
    const bool otherColour = colour != Empty && colour != side;
    const bool pass = isPass(turn);
    if (!pass && !otherColour && isLegalMove(side, turn.column, turn.row, play.board)) {
        record(play, turn, side);
        return "";
    }
    if (canMove(side, play.board)) {
        if (otherColour)
            return wrongSideMessage(number, turn, colour, side);
        return pass ? cannotPassMessage(number, side) : illegalMoveMessage(number, turn);
    }
    const int other = opponentOf(side);
    if (!canMove(other, play.board))
        return afterEndMessage(number, turn);
    // The side to move has no move: its own turn can only be its pass.
    if (colour == side || (colour == Empty && pass)) {
        if (!pass)
            return illegalMoveMessage(number, turn);
        record(play, turn, side);
        return "";
    }
    // Its pass goes in first; the turn read is the other side's.
    if (pass)
        return cannotPassMessage(number + 1, other);
    if (!isLegalMove(other, turn.column, turn.row, play.board))
        return illegalMoveMessage(number + 1, turn);
    record(play, {0, 0}, side);
    record(play, turn, other);
    return "";
}

std::string cellText(Move move)
{
    if (isPass(move))
        return uiText(TextId::PassMove);
    return {static_cast<char>('a' + move.column - 1), static_cast<char>('0' + move.row)};
}

// The text is shown only when it is short printable ASCII: anything else
// could be unreadable in the message box or not encode at all.
std::string unreadableTurnMessage(int number, std::string_view text)
{
    const auto shown = [&] {
        if (text.empty() || text.size() > 12)
            return false;
        for (char c : text)
            if (c < 0x21 || c > 0x7e)
                return false;
        return true;
    };
    if (!shown())
        return formatUiText(TextId::TurnUnreadable, number);
    return formatUiText(TextId::TurnUnreadableAs, number, std::string(text).c_str());
}

void skipSpace(std::string_view text, size_t& pos)
{
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == ' ' || (c >= '\t' && c <= '\r'))
            ++pos;
        else if (text.substr(pos, 3) == "\u3000")
            pos += 3;
        else
            return;
    }
}

bool startsWithNoCase(std::string_view text, size_t pos, std::string_view word)
{
    if (pos > text.size() || text.size() - pos < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = text[pos + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

#include "records_check.h"

#include <string_view>

#include "records/formats.h"

namespace {

bool hasMove(int side, const Board& board)
{
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (board[cellIndex(column, row)] == Empty && isLegalMove(side, column, row, board))
                return true;
    return false;
}

// Replays the turns with the board procedures alone: every move legal for
// its side, every pass by a side without a move while the other has one.
std::string illegalTurn(const Game& game)
{
    if (game.firstSide != Black && game.firstSide != White)
        return "no side to move";
    Board board = game.start;
    int side = game.firstSide;
    for (size_t i = 0; i < game.turns.size(); ++i) {
        const Move m = game.turns[i];
        const std::string entry = "entry " + std::to_string(i + 1);
        if (m.column == 0 && m.row == 0) {
            if (hasMove(side, board) || !hasMove(opponentOf(side), board))
                return entry + ": a pass that the game would not have made";
        } else {
            if (m.column < 1 || m.column > 8 || m.row < 1 || m.row > 8 ||
                !isLegalMove(side, m.column, m.row, board))
                return entry + ": an illegal move";
            applyMove(board, m.column, m.row, side);
            board = trialBoard;
        }
        side = opponentOf(side);
    }
    return "";
}

bool sameGame(const Game& a, const Game& b)
{
    return a.start == b.start && a.firstSide == b.firstSide && a.turns == b.turns &&
           a.resignedBy == b.resignedBy && a.header.black == b.header.black &&
           a.header.white == b.header.white && a.header.date == b.header.date &&
           a.header.place == b.header.place;
}

std::string checkGgf(const Game& game)
{
    const std::string text = writeGgf(game);
    const GameRead back = readGame(text);
    if (!back.ok || back.format != RecordFormat::Ggf)
        return "the written GGF does not read back: " + back.error;
    if (!sameGame(game, back.game))
        return "the written GGF reads back as another game";
    if (writeGgf(back.game) != text)
        return "the GGF read back writes differently";
    // A result read with the game is written back as it was; without one,
    // RE is the game's own once it is over.
    if (!game.header.result.empty())
        return back.game.header.result == game.header.result ? "" : "the result read was not written back";
    const bool over = game.resignedBy != Empty || gameEnded(game);
    if (back.game.header.result.empty() == over)
        return "RE written for an unfinished game, or missing for a finished one";
    return "";
}

// The transcript has no passes, so a pass at the very end is not kept.
std::string checkTranscript(const Game& game)
{
    if (!hasStandardStart(game) || game.turns.empty())
        return "";
    const GameRead back = readGame(writeTranscript(game));
    if (!back.ok || back.format != RecordFormat::Transcript)
        return "the written transcript does not read back: " + back.error;
    std::vector<Move> expected = game.turns;
    if (expected.back() == Move{0, 0})
        expected.pop_back();
    if (back.game.turns != expected)
        return "the written transcript reads back as other turns";
    return "";
}

} // namespace

std::string checkRecordRoundTrip(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const GameRead read = readGame(text);
    if (!read.ok) {
        if (read.error.empty())
            return "refused without a message";
        if (read.format != RecordFormat::None || !read.game.turns.empty() || !read.game.header.black.empty())
            return "refused, but part of a game returned";
        return "";
    }
    if (!read.error.empty())
        return "read, with a message: " + read.error;
    const std::string illegal = illegalTurn(read.game);
    if (!illegal.empty())
        return illegal;
    const std::string ggf = checkGgf(read.game);
    return ggf.empty() ? checkTranscript(read.game) : ggf;
}

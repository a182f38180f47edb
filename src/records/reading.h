// Shared by the readers behind readGame: a game grown one turn at a time,
// text scanning, and the messages that name an offending entry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "records/formats.h"

struct GameInProgress {
    Game game;
    Board board{};
};

// Starts from game.start with no turns.
GameInProgress beginGame(const Game& game);

// Plays one turn. colour is the side the text gives it to (Empty when the
// text does not say, as in a transcript); a pass is {0, 0}. When the side to
// move has no legal move while the other has, its pass is recorded first,
// as the game itself would have. Returns "" or the message; on a message the
// game is left as it was before the call.
std::string playTurn(GameInProgress& play, Move turn, int colour);

std::string cellText(Move move); // "e7", or the word for a pass
std::string unreadableTurnMessage(int number, std::string_view text);

// Skips ASCII white space and the ideographic space (U+3000), which Japanese
// input methods put between words.
void skipSpace(std::string_view text, size_t& pos);
// word in lower case
bool startsWithNoCase(std::string_view text, size_t pos, std::string_view word);

// Each reader takes a text already checked and detected as its format.
bool looksLikeTranscript(std::string_view text);
GameRead readTranscript(std::string_view text);
bool looksLikeGgf(std::string_view text);
GameRead readGgf(std::string_view text);

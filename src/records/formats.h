// Reading and writing game records as text: the transcript ("f5d6c3...",
// passes implied) and GGF, the game servers' format. Reading detects the
// format from the text itself and either returns a whole valid game or a
// Japanese message for a message box; nothing is half-read. Nothing here
// writes files: saving goes through the program's safe-save routine.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "records/game.h"

// Position: a board and the side to move, read as a game with no turns.
enum class RecordFormat { None, Transcript, Ggf, Position };

// Texts and files larger than this are refused.
constexpr std::size_t MaxRecordBytes = 1024 * 1024;

struct GameRead {
    bool ok = false;
    RecordFormat format = RecordFormat::None;
    Game game;         // the whole game when ok, a default Game otherwise
    std::string error; // the message when not ok
};

// A game from UTF-8 text (a file's contents or the clipboard's), or UTF-16
// with its byte order mark: GGF, a transcript, or a position written as a
// board (see records/board_text.h), which reads as a game with no turns. An
// empty text gives "棋譜が空です", which also serves for an empty clipboard.
GameRead readGame(std::string_view text);

// Moves only, lower case, no separators and no passes. Games that do not
// start from the standard position (see hasStandardStart) lose their start.
std::string writeTranscript(const Game& game);
// One game, ending with a newline: GM, PC, DT, the English name of the
// opening when the game has one (ON), PB, PW, RE, TY[8], BO and every turn,
// passes included. RE is the header's result when it has one
// (read with the game), else the game's own once it has ended or was
// resigned: the disc difference with the empty cells to the winner.
std::string writeGgf(const Game& game);

struct FileText {
    bool ok = false;
    std::string text;  // the file's contents when ok
    std::string error; // the message when not ok
};

// The contents of a game file as UTF-8, refused when it is not a regular
// file (a FIFO or a device never blocks the reading), larger than
// MaxRecordBytes, holding NUL bytes or not UTF-8. A file that starts with a
// UTF-16 byte order mark (either byte order) is read as UTF-16.
FileText readGameFile(const std::string& path);
// readGameFile, then readGame.
GameRead openGameFile(const std::string& path);

// "" when the text is fit to parse, or why not: too large, NUL bytes, not UTF-8.
std::string checkRecordText(std::string_view text);

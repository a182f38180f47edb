// A game record as one plain value: the position it started from, every turn
// in order and how it ended, with the header a GGF file carries. Opening,
// saving, copying, the record list, replay, playing on from a position and
// resuming an interrupted game all work from this one model.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "board/moves.h"

// GGF header fields, UTF-8. The caller fills them before writing (the
// players as the status panel names them, the date); the reader fills them
// from the file.
struct GameHeader {
    std::string black;  // PB
    std::string white;  // PW
    std::string date;   // DT
    std::string place;  // PC
    std::string result; // RE as read, written back as it is; "" for the GGF writer to make its own
};

struct Game {
    Board start{};           // the position before the first turn; the ring stays empty
    int firstSide = Black;   // the side to move in start
    std::vector<Move> turns; // every record entry in order; {0, 0} is a pass
    int resignedBy = Empty;  // the colour that resigned, or Empty
    GameHeader header;
};

// One line of the record list: the entry number (1 for the first turn,
// passes counted), the colour that played it and its cell ({0, 0} for a
// pass). recordLineText turns it into the list's text.
struct RecordLine {
    int number;
    int colour;
    Move move;
};

// The standard start, Black to move, no turns yet.
Game standardGame();
// A transcript holds only the moves, so it keeps games of this start only.
bool hasStandardStart(const Game& game);

// The colour of record entry n (1-based). After k turns the side to move is
// sideOfEntry(game, k + 1): every turn, a pass included, alternates.
int sideOfEntry(const Game& game, int n);
// The position after the first count turns (0 is the start; clamped to the
// record). Cells outside the board in a turn count as a pass.
Board positionAfter(const Game& game, int count);
Board finalPosition(const Game& game);
// Neither side can move in the final position.
bool gameEnded(const Game& game);
bool canMove(int side, const Board& board);
std::vector<RecordLine> recordLines(const Game& game);
// The game up to its first count turns, to play on from there: the players,
// date and place stay, the result and a resignation go.
Game gameUpTo(const Game& game, int count);

// "reversi-YYYYMMDD-HHMM.ggf" for the given (local) time.
std::string defaultRecordFileName(const std::tm& time);
// DT's form on the game servers: "YYYY.MM.DD_HH:MM:SS".
std::string ggfDate(const std::tm& time);

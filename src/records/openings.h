// The names of the openings, the shared vocabulary of Reversi players:
// "虎" / "Tiger" for f5 d6 c3 d3 c4, and some eighty lines in all from the
// standard start.
//
// A game has a line's name once the position after its first n moves is the
// line's position after its n moves, in any of the board's 8 symmetries: a
// game that starts at d3 or plays a line mirrored is named as the same line,
// and so is one that reaches the line's position in another order. The name
// shown is the longest line reached so far; a game that leaves every line
// keeps the name of the last one it reached, as players speak of a Tiger
// game long after the opening. Games from another start have no name.
#pragma once

#include <span>

#include "records/game.h"

struct Opening {
    const char* moves;    // "f5d6c3d3c4": Black's f5 first, lower case, no separators
    const char* japanese; // UTF-8
    const char* english;
};

std::span<const Opening> openingTable();

struct OpeningName {
    const Opening* opening = nullptr; // none when the game has reached no line
    int turn = 0;                     // the record entry that reached it (1-based)
};

// The name of the game up to its first count turns (clamped to the record).
// Turns after a pass are not looked at: no named line has one.
OpeningName openingName(const Game& game, int count);

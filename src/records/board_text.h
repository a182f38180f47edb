// A position as one line of text, as endgame test files and other Reversi
// programs write it: the 64 cells from a1 (a1 b1 .. h1, a2 .. h8), "X" or
// "*" for Black, "O" for White, "-" for an empty cell, then the side to
// move, such as
//   ---------------------------OX------XO--------------------------- X
// Pasting such a text opens the position; copying the position on the board
// writes it.
#pragma once

#include <string>
#include <string_view>

#include "records/formats.h"

// The text starts as a board written that way: at least half a board of
// cells before anything else, so that a transcript or GGF never matches and
// a board with a cell too few or too many still gets a message about the
// board.
bool looksLikeBoardText(std::string_view text);

// The position as a game from that start with no turns, or the message.
// White space may stand between the cells and before the side, which may
// also be written as a word ("Black", "White", "黒", "白"). What follows the
// side on its line, set off by white space or ";", is the file's comment
// (a score, a number, a best move) and is skipped; a further line is refused.
GameRead readBoardText(std::string_view text);

// "" when play can go on from the position, or the message refusing it: a
// position in which neither side has a move is an ended game, not a start.
std::string positionProblem(const Board& board);

// The 64 cells as "X", "O" and "-", a space and "X" or "O" for the side to
// move; no newline.
std::string writeBoardText(const Board& board, int side);

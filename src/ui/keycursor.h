// The keyboard's cell cursor: the arrow keys move it over the board, Enter and
// Space play on its cell as a click there would. The window system draws its
// frame over the board, apart from the board's own drawing.
#pragma once

#include <cstdint>

#include "board/moves.h"

struct Window;

extern Move keyCursor; // {0, 0} while hidden

bool isBoardKey(unsigned key);
// A board key while the board takes clicks: the first press shows the cursor
// on the first legal cell, then the keys move it or play.
void onBoardKey(Window* window, unsigned key);
// The editor's arrows, Home and End; false for any other key.
bool moveEditorCursor(unsigned key);
// The mouse over the board takes over: the cursor hides.
void onBoardMouseMove(intptr_t point);
// Shows the frame and its accessible name for the game as it now stands; a
// game's end hides the cursor, a banner hides the frame while it is up.
void followKeyCursor(Window* window);
// "d3 空き 打てます": the cell, what lies there, and whether the side to move
// may play there. The buffer needs 32 bytes.
char* keyCursorText(char* buffer, Move cell);

// The board editor: a state of the main window in which the player sets up
// any position on the board, stone by stone, and the side to move, then
// plays on from it, asks for a hint there, or saves or copies it as GGF.
// The game on the board waits behind the editor, its timers stopped, and
// comes back as it was when the editor is left with Escape.
#pragma once

#include <cstdint>

#include "board/board.h"

struct Window;

bool editorOpen();
// The side to move in the position being set up.
int editorSide();
// Outside trial mode, with no banner up.
bool canOpenEditor();

// Starts editing the position on the board with its side to move.
void openEditor(Window* window);
// Starts editing the given position (a pasted one).
void openEditorWith(Window* window, const Board& board, int side);
// Escape: the game behind the editor comes back as it was.
void cancelEditor(Window* window);
// The editor's command once more: a position in which neither side can move
// is refused; otherwise the player chooses what to do with it.
void finishEditor(Window* window);

// A click cycles the cell empty, Black, White; a right click the other way.
void onEditorClick(Window* window, intptr_t point, bool backwards);
// The editor's keys: Escape, the arrows, Home and End move the cursor,
// Enter and Space cycle its cell as a click, BackSpace and Delete as a right
// click. False for a key that is not the editor's.
bool onEditorKey(Window* window, unsigned key);

// The window goes with the editor open: nothing of it may outlive the window.
void forgetEditor();

void clearEditorBoard(Window* window);
void setEditorStartPosition(Window* window);
void setEditorSide(Window* window, int side);

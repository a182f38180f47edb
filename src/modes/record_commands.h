// The commands that open, save, copy and paste game records, the file named
// on the command line or dropped on the window, and playing on from a
// position shown in record mode.
#pragma once

#include <string>

#include "records/game.h"

struct Window;

void openRecordCommand(Window* window);
void saveRecordCommand(Window* window);
void copyRecordCommand(Window* window);
void pasteRecordCommand(Window* window);
void playFromHereCommand(Window* window);
// "局面をコピー": the position on the board as text, 64 cells and the side to move.
void copyPositionCommand(Window* window);
bool canCopyPosition(); // a stone on the board
// The save dialog for game as GGF; true once the file is written.
bool saveGameAsGgf(Window* window, const Game& game);
// In record mode with playback stopped, at a position where a side can move.
bool canPlayFromHere();
// Shows the game of a file in record mode; a file that cannot be opened is
// reported in a message box and changes nothing. True when it was opened.
bool openRecordFile(Window* window, const std::string& path);
// WM_DROPFILES: opens the file as the open command would.
void onDroppedFile(Window* window, const char* path);

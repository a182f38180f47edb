// The commands that open, save, copy and paste game records, the file named
// on the command line or dropped on the window, and playing on from a
// position shown in record mode.
#pragma once

#include <string>

struct Window;

void openRecordCommand(Window* window);
void saveRecordCommand(Window* window);
void copyRecordCommand(Window* window);
void pasteRecordCommand(Window* window);
void playFromHereCommand(Window* window);
// In record mode with playback stopped, at a position where a side can move.
bool canPlayFromHere();
// Shows the game of a file in record mode; a file that cannot be opened is
// reported in a message box and changes nothing. True when it was opened.
bool openRecordFile(Window* window, const std::string& path);
// WM_DROPFILES: opens the file as the open command would.
void onDroppedFile(Window* window, const char* path);

// The game record list, record mode and replay.
#pragma once

#include <string>

#include "board/board.h"
#include "records/openings.h"

struct Window;

extern Board boardBeforeLast;
extern Board boardBeforePrevious;
extern int replayRunning; // 100 while playback runs

void appendRecordLine(Window* list, int column, int row, int n, int colour);
void clearRecordList(Window* window);
void rebuildRecordList(Window* window, int n);
void enterRecordMode(Window* window);
void showRecordPosition(Window* window, int k);
void togglePlayback(Window* window, int k);
void replayStep(Window* window);

// The list line of record entry n: colour mark, number, cell or "パス".
// The buffer needs 100 bytes; returns it.
char* recordLineText(char* buffer, int column, int row, int n, int colour);
// A game from another start than the standard one has a first line of its
// own, "開始局面", so its start can be shown and played from.
bool recordHasStartLine();
// The index of the list's line that shows the position after the first
// turns entries; for none, the start line, or -1 (no line) without one.
int recordLineOf(int turns);
// Ends a running playback and shows the play icon again.
void stopPlayback();

// The opening the record has reached after its first turns entries (none
// for a game from another start).
OpeningName recordOpening(int turns);
// "虎（Tiger）": the names in both languages.
std::string openingLabel(const Opening& opening);
// text, followed by the opening of the whole game when names are shown.
std::string withOpeningName(const std::string& text, const Game& game);
// The list's line of entry n: recordLineText, and while names are shown the
// name of the opening that entry n reached, if any.
std::string recordListText(int column, int row, int n, int colour);
// The list's lines written again after the names were turned on or off,
// with the same line selected.
void relabelRecordList();

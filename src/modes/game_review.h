// The analysis of the game shown in record mode: a worker runs it, a window
// of its own shows the graph of every position's value and the moves that
// lost discs, and a click there shows the position in the main window (for a
// lost move, the position it was played in, with it and the best move
// framed).
#pragma once

#include <string>

struct Window;
struct DeviceContext;
struct TurnAnalysis;

// The worker's result, sent synchronously to the analysis window with the
// request in lParam.
constexpr unsigned WM_ANALYSIS_DONE = 0x0400 + 3;

// In record mode, with at least one move on record.
bool canAnalyseRecord();
// Opens the analysis window for the game on record and starts the worker; a
// window already open starts over with this game.
void analyseRecordCommand(Window* window);
// Stops a running analysis (set to stop, its worker joined; a result sent
// meanwhile is dropped) and closes the analysis window.
void closeGameReview(Window* window);
// The analysis window while it is open, else nullptr.
Window* gameReviewWindow();
// A worker runs or has not been joined yet.
bool gameReviewRunning();
// The list line of a move that lost discs, "38手目 ●g2 -6（最善 b7 +2）":
// the record entry's number, the mover's mark, the move and its value, and
// the best move and its value, for the mover; estimated values with "≒".
std::string lostDiscsLine(int number, const TurnAnalysis& turn);
// Called at the end of painting the board: the frames of a lost move chosen
// in the list, while the board shows the position it was played in.
void drawReviewMarks(DeviceContext* dc);

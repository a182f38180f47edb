// The hint: the value of each legal cell for the person to move, searched on
// a worker thread and drawn over the board until the position changes.
#pragma once

#include <cstdint>

struct Window;
struct DeviceContext;

// The worker's result, sent synchronously with the request in lParam.
constexpr unsigned WM_HINT_READY = 0x0400 + 2;

// In HumanTurn outside trial mode, with no banner up.
bool hintAllowed();
// Starts the search for the position on the board; nothing when one runs or
// its marks are shown already.
void startHint(Window* window);
// Stops a running search and waits for its worker to end (a result it sends
// meanwhile is dropped), then takes the marks off the board.
void cancelHint(Window* window);
// WM_HINT_READY: shows the result when it is still for the position shown.
// Every cell's estimate comes first, within a second; near the end the exact
// values replace the estimates as the solver proves them.
void onHintReady(Window* window, const void* request);
// After every message: a search or marks of another position than the one
// now on the board (a move, undo, a new game, resignation) are cancelled;
// the message line shows the line of the hinted cell the keyboard's cursor
// or else the mouse is on, and what it showed before once there is none.
void followHint(Window* window);
// WM_MOUSEMOVE: the cell under the mouse.
void hintMouseMove(intptr_t point);
// Called at the end of painting the board.
void drawHintMarks(DeviceContext* dc);
// A search runs or its worker has not been joined yet.
bool hintRunning();
// The hint is still being worked out: the status line says so.
bool hintSearching();
// Marks are shown.
bool hintShown();

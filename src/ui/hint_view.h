// The hint: the value of each legal cell for the person to move, searched on
// a worker thread and drawn over the board until the position changes.
#pragma once

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
// Where the exact hint takes seconds, a preview (the evaluation's choice)
// comes first and the exact marks replace it.
void onHintReady(Window* window, const void* request);
// After every message: a search or marks of another position than the one
// now on the board (a move, undo, a new game, resignation) are cancelled.
void followHint(Window* window);
// Called at the end of painting the board.
void drawHintMarks(DeviceContext* dc);
// A search runs or its worker has not been joined yet.
bool hintRunning();
// Marks are shown.
bool hintShown();

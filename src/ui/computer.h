// Runs one computer move on a worker thread and hands it back to the window.
#pragma once

struct Window;
struct Thread;
struct Event;

constexpr unsigned WM_COMPUTER_MOVED = 0x0400 + 1;

struct ComputerRequest {
    Window* window;
    int player;
};

extern ComputerRequest computerRequest;
extern Thread* workerThread; // from the start until its move has been handled
extern Event* moveDoneEvent;

void startComputerMove(Window* window);
unsigned computerThread(void* request);
// Called after WM_COMPUTER_MOVED has been handled: closes the worker's handle.
void closeWorkerHandle();
// Waits for a running worker, still handling its completion message; returns
// at once when no worker runs.
void waitForComputer(Window* window);

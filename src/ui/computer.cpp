#include "ui/computer.h"

#include "ai/levels.h"
#include "board/board.h"
#include "platform/platform.h"
#include "ui/playflow.h"

#include <atomic>

ComputerRequest computerRequest{nullptr, 0};
Thread* workerThread = nullptr;
Event* moveDoneEvent = nullptr;

namespace {

// Workers started whose done signal has not been taken yet. The event is
// auto-reset and a worker signals it even when nobody waits, so an untaken
// signal would end a later wait before that wait's worker has finished.
int unconsumedSignals = 0;

// Only called once the workers counted here are past their hand-over, so
// each wait lasts no longer than the worker's last few instructions.
void consumeDoneSignals()
{
    while (unconsumedSignals > 0) {
        waitForEvent(moveDoneEvent);
        --unconsumedSignals;
    }
}

// Set by the worker once its completion message has come back, handled or
// not: a window already destroyed drops the message, and then its handler
// never clears workerThread.
std::atomic<bool> sendReturned{false};

bool workerHandedOver()
{
    return workerThread == nullptr || sendReturned;
}

} // namespace

void startComputerMove(Window* window)
{
    // One worker at a time: a second wait tick while it searches (two
    // animations overlapping) must not begin another turn.
    if (workerThread != nullptr)
        return;
    consumeDoneSignals();
    currentSide = opponentOf(currentSide);
    const int player = playerOf(currentSide);
    if (player == 0)
        return;
    computerRequest.window = window;
    computerRequest.player = player;
    sendReturned = false; // the previous worker is past it: its signal was consumed above
    workerThread = startThread(computerThread, &computerRequest);
    if (workerThread == nullptr) {
        // No thread now: the turn has not begun, and the next wait tick tries again.
        currentSide = opponentOf(currentSide);
        setTimer(window, WaitTimer, waitTime);
        return;
    }
    ++unconsumedSignals;
    raiseThreadPriority(workerThread);
}

unsigned computerThread(void* request)
{
    const auto* job = static_cast<const ComputerRequest*>(request);
    Window* window = job->window;
    runLevelFast(job->player, currentSide, liveBoard);
    // Blocks until the window has applied the move; after this the worker
    // touches no game data, only its hand-over flag and the done event.
    sendMessage(window, WM_COMPUTER_MOVED, 0, 0);
    sendReturned = true;
    setEvent(moveDoneEvent);
    return 0;
}

void closeWorkerHandle()
{
    if (workerThread == nullptr)
        return;
    closeThreadHandle(workerThread);
    workerThread = nullptr;
}

void waitForComputer(Window* window)
{
    if (workerThread == nullptr && unconsumedSignals == 0)
        return;
    // The worker only finishes once its completion message has been handled
    // here, so a plain wait on the event would never end.
    if (workerThread != nullptr)
        serveSentMessagesUntil(window, workerHandedOver);
    closeWorkerHandle(); // still open when the window dropped the message
    consumeDoneSignals();
}

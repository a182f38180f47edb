// Synchronous sends. On the window's thread a send is a call of the window
// procedure. From another thread it is queued, the window's thread is woken
// through its event loop, and the sender blocks until the procedure has run.
// The wake-up is an eventfd watched on the window's thread: no Qt object
// crosses threads, so everything the two threads share goes through this
// file's mutex, which the thread checkers can see.
// serveSentMessagesUntil lets the window's thread wait for a worker while still
// handling that worker's sends, without running anything else.
#include "platform/qt_window.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>
#include <sys/eventfd.h>
#include <unistd.h>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

struct SentMessage {
    Window* window;
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool handled = false;
};

// Kept for the whole process (never destroyed), as senders may be released at exit.
struct SendQueue {
    std::mutex mutex;
    std::condition_variable changed; // a send arrived, was handled, or an event was set
    std::deque<SentMessage*> queue;
    bool closing = false; // at exit: senders are answered 0 instead of waiting forever
};

SendQueue& sends()
{
    static SendQueue* q = new SendQueue;
    return *q;
}

// Handles one queued send, if any; false when the queue was empty.
bool handleOneSent()
{
    SentMessage* sent;
    {
        std::lock_guard lock(sends().mutex);
        if (sends().queue.empty())
            return false;
        sent = sends().queue.front();
        sends().queue.pop_front();
    }
    LRESULT result = callProcedure(sent->window, sent->message, sent->wParam, sent->lParam);
    {
        std::lock_guard lock(sends().mutex);
        sent->result = result;
        sent->handled = true;
    }
    sends().changed.notify_all();
    return true;
}

void handleAllSent()
{
    while (handleOneSent()) {
    }
}

int wakeFd = -1; // set once on the window's thread, before any worker starts

void onWake()
{
    uint64_t count;
    while (read(wakeFd, &count, sizeof count) > 0) {
    }
    handleAllSent();
}

void wakeWindowThread()
{
    if (wakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wakeFd, &one, sizeof one);
    } else {
        QMetaObject::invokeMethod(qApp, &handleAllSent, Qt::QueuedConnection);
    }
}

} // namespace

void installSendWakeUp()
{
    if (wakeFd >= 0 || !qApp)
        return;
    wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0)
        return;
    auto* notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { onWake(); });
}

LRESULT sendMessage(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return 0;
    if (onGuiThread() || !qApp)
        return callProcedure(window, message, wParam, lParam);
    SentMessage sent{window, message, wParam, lParam};
    std::unique_lock lock(sends().mutex);
    if (sends().closing)
        return 0;
    sends().queue.push_back(&sent);
    // The wake-up goes through the event loop, so nested (modal) loops serve it too.
    wakeWindowThread();
    sends().changed.wait(lock, [&] { return sent.handled; });
    return sent.result;
}

void serveSentMessagesUntil(Window*, bool (*done)())
{
    // Sends for any window are served: they all run on this thread, and the
    // worker's send is the one the caller waits for.
    while (!done()) {
        if (handleOneSent())
            continue;
        std::unique_lock lock(sends().mutex);
        // Timed, as done() may turn true through a path that never notifies.
        sends().changed.wait_for(lock, std::chrono::milliseconds(5), [] { return !sends().queue.empty(); });
    }
}

void wakeSentMessageWaiters()
{
    {
        std::lock_guard lock(sends().mutex);
    }
    sends().changed.notify_all();
}

void releaseBlockedSenders()
{
    std::lock_guard lock(sends().mutex);
    sends().closing = true;
    for (SentMessage* sent : sends().queue)
        sent->handled = true;
    sends().queue.clear();
    sends().changed.notify_all();
}

// Window timers: repeating, one per (window, id), restarted when set again.
// Ticks arrive as WM_TIMER from whatever event loop runs, modal ones included,
// but not during a busy pause.
// In manual mode (tests) setTimer only records the timer and fireTimer ticks it.
#include "platform/qt_window.h"

#include <QTimer>
#include <algorithm>

namespace {

bool manualTimers = false;

// A 0 ms Qt timer fires on every pass of the event loop: a repeating one that
// the game keeps alive (the wait timer while a dialog is open) would spin a
// core. Every timer waits at least this long, the shortest interval desktop
// timers have long had.
constexpr int ShortestInterval = 10;

void startQtTimer(Window* window, uintptr_t id, WindowTimer& t)
{
    if (!t.timer) {
        t.timer = new QTimer(window->widget);
        QObject::connect(t.timer, &QTimer::timeout, t.timer, [window, id] {
            if (!window->destroyed && !pauseRunning())
                callProcedure(window, WM_TIMER, id, 0);
        });
    }
    t.timer->start(t.interval);
}

} // namespace

void setManualTimers(bool manual)
{
    manualTimers = manual;
}

// Shorter intervals, 0 and negative ones included, count as the shortest.
void setTimer(Window* window, uintptr_t id, int milliseconds)
{
    if (!window || window->destroyed)
        return;
    WindowTimer& t = window->timers[id];
    t.interval = std::max(ShortestInterval, milliseconds);
    t.pending = true;
    if (manualTimers) {
        if (t.timer)
            t.timer->stop();
        return;
    }
    startQtTimer(window, id, t);
}

void killTimer(Window* window, uintptr_t id)
{
    if (!window)
        return;
    auto it = window->timers.find(id);
    if (it == window->timers.end())
        return;
    it->second.pending = false;
    // The QTimer stays for reuse: this may run inside its own timeout.
    if (it->second.timer)
        it->second.timer->stop();
}

void stopAllTimers(Window* window)
{
    for (auto& [id, t] : window->timers) {
        t.pending = false;
        if (t.timer)
            t.timer->stop();
    }
}

bool timerPending(Window* window, uintptr_t id)
{
    if (!window)
        return false;
    auto it = window->timers.find(id);
    return it != window->timers.end() && it->second.pending;
}

int timerInterval(Window* window, uintptr_t id)
{
    if (!window)
        return -1;
    auto it = window->timers.find(id);
    return it != window->timers.end() && it->second.pending ? it->second.interval : -1;
}

void fireTimer(Window* window, uintptr_t id)
{
    if (timerPending(window, id))
        callProcedure(window, WM_TIMER, id, 0);
}

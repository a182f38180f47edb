// Worker threads and auto-reset events. Every thread started here is tracked
// until it has been joined: at process exit all of them are joined (after any
// blocked send has been released), so none outlives the objects it uses.
// Closed events are kept until no started thread runs any more, since a worker
// may still signal an event that the window has already closed.
#include "platform/qt_window.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <utility>

struct Thread {
    std::thread thread;
    std::atomic<bool> finished{false};
    bool handleClosed = false;
};

struct Event {
    std::mutex mutex;
    std::condition_variable signalled;
    bool set = false;
};

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<std::unique_ptr<Thread>> threads;
    std::vector<Event*> closedEvents;
    int running = 0;
};

bool failNextStart = false; // under the registry's lock

// Never destroyed: threads may still reach it while static objects go away.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

void freeClosedEventsLocked(Registry& r)
{
    for (Event* e : r.closedEvents)
        delete e;
    r.closedEvents.clear();
}

// Joins the threads that have ended and whose handles are closed.
void reapLocked(Registry& r)
{
    auto& all = r.threads;
    for (auto it = all.begin(); it != all.end();) {
        if ((*it)->handleClosed && (*it)->finished) {
            (*it)->thread.join();
            it = all.erase(it);
        } else {
            ++it;
        }
    }
}

void joinAllAtExit()
{
    releaseBlockedSenders();
    Registry& r = registry();
    std::vector<std::unique_ptr<Thread>> all;
    {
        std::lock_guard lock(r.mutex);
        all.swap(r.threads);
    }
    for (auto& t : all)
        if (t->thread.joinable())
            t->thread.join();
    std::lock_guard lock(r.mutex);
    freeClosedEventsLocked(r);
}

void run(Thread* self, ThreadProc procedure, void* argument)
{
    procedure(argument);
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    self->finished = true;
    if (--r.running == 0)
        freeClosedEventsLocked(r);
}

} // namespace

// The system may refuse a thread (no memory, a process limit): then nothing
// stays registered and the caller gets nullptr, to try again later.
Thread* startThread(ThreadProc procedure, void* argument)
{
    static bool exitHookInstalled = [] { return std::atexit(joinAllAtExit) == 0; }();
    (void)exitHookInstalled;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    reapLocked(r);
    r.threads.push_back(std::make_unique<Thread>());
    Thread* t = r.threads.back().get();
    ++r.running;
    try {
        if (std::exchange(failNextStart, false))
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        t->thread = std::thread(run, t, procedure, argument);
    } catch (const std::exception&) { // std::system_error, or std::bad_alloc for its state
        --r.running;
        r.threads.pop_back();
        return nullptr;
    }
    return t;
}

void failNextThreadStart()
{
    std::lock_guard lock(registry().mutex);
    failNextStart = true;
}

// One step above normal where the system allows it: under the default Linux
// policy an unprivileged thread cannot raise its priority, and a failure is
// ignored, as the game only asks for responsiveness, not for correctness.
void raiseThreadPriority(Thread* thread)
{
    if (!thread)
        return;
    std::lock_guard lock(registry().mutex);
    if (thread->finished || !thread->thread.joinable())
        return;
    int policy = 0;
    sched_param param{};
    pthread_t handle = thread->thread.native_handle();
    if (pthread_getschedparam(handle, &policy, &param) != 0)
        return;
    int highest = sched_get_priority_max(policy);
    if (param.sched_priority < highest) {
        ++param.sched_priority;
        pthread_setschedparam(handle, policy, &param);
    }
}

void closeThreadHandle(Thread* thread)
{
    if (!thread)
        return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    thread->handleClosed = true;
    reapLocked(r);
}

// Taken out of the registry first: the thread's last step locks it.
void joinThread(Thread* thread)
{
    if (!thread)
        return;
    Registry& r = registry();
    std::unique_ptr<Thread> owned;
    {
        std::lock_guard lock(r.mutex);
        auto it = std::find_if(r.threads.begin(), r.threads.end(),
                               [thread](const std::unique_ptr<Thread>& t) { return t.get() == thread; });
        if (it == r.threads.end())
            return;
        owned = std::move(*it);
        r.threads.erase(it);
    }
    if (owned->thread.joinable())
        owned->thread.join();
}

Event* createAutoResetEvent()
{
    return new Event;
}

void setEvent(Event* event)
{
    if (!event)
        return;
    {
        std::lock_guard lock(event->mutex);
        event->set = true;
        event->signalled.notify_all(); // under the lock: the event may be freed right after
    }
    wakeSentMessageWaiters();
}

void waitForEvent(Event* event)
{
    if (!event)
        return;
    std::unique_lock lock(event->mutex);
    event->signalled.wait(lock, [event] { return event->set; });
    event->set = false;
}

void closeEvent(Event* event)
{
    if (!event)
        return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (r.running == 0)
        delete event;
    else
        r.closedEvents.push_back(event);
}

#include "engine/parallel.h"

#include <algorithm>
#include <system_error>

SolverPool::SolverPool(int helpers)
{
    for (int i = 0; i < helpers; ++i) {
        try {
            helpers_.emplace_back(&SolverPool::helperLoop, this);
        } catch (const std::system_error&) {
            break; // fewer helpers, or none: the solve stays on the threads it has
        }
    }
}

SolverPool::~SolverPool()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : helpers_)
        t.join();
}

void SolverPool::helperLoop()
{
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (SplitPoint* split = openSplit(nullptr)) {
            join(*split, lock);
            continue;
        }
        idle_.fetch_add(1, std::memory_order_relaxed);
        wake_.wait(lock);
        idle_.fetch_sub(1, std::memory_order_relaxed);
    }
}

SplitPoint* SolverPool::openSplit(const SplitPoint* under) const
{
    // The one highest in the tree: its moves are the largest pieces of work.
    SplitPoint* pick = nullptr;
    for (SplitPoint* s : open_)
        if (s->next < s->count && !s->cut.load(std::memory_order_relaxed) && (!under || s->below(under)) &&
            (!pick || s->empties > pick->empties))
            pick = s;
    return pick;
}

void SolverPool::join(SplitPoint& split, std::unique_lock<std::mutex>& lock)
{
    ++split.workers;
    lock.unlock();
    split.work(split);
    lock.lock();
    --split.workers;
    wake_.notify_all(); // its creator may be waiting for the last worker
}

void SolverPool::run(SplitPoint& split)
{
    std::unique_lock lock(mutex_);
    open_.push_back(&split);
    if (idle())
        wake_.notify_all();
    join(split, lock);
    open_.erase(std::find(open_.begin(), open_.end(), &split));
    // Waiting counts as idle, so that the moves still searched below offer
    // their own moves to this thread.
    while (split.workers > 0) {
        if (SplitPoint* below = openSplit(&split)) {
            join(*below, lock);
        } else {
            idle_.fetch_add(1, std::memory_order_relaxed);
            wake_.wait(lock);
            idle_.fetch_sub(1, std::memory_order_relaxed);
        }
    }
}

int SolverPool::take(SplitPoint& split)
{
    std::lock_guard lock(mutex_);
    if (split.next >= split.count || split.cut.load(std::memory_order_relaxed))
        return -1;
    return split.next++;
}

int SolverPool::floor(SplitPoint& split)
{
    std::lock_guard lock(mutex_);
    return std::max(split.alpha, split.best);
}

void SolverPool::result(SplitPoint& split, int value, int bit, uint64_t nodes)
{
    std::lock_guard lock(mutex_);
    split.nodes += nodes;
    if (bit >= 0 && value > split.best) {
        split.best = value;
        split.bestBit = bit;
        if (value >= split.beta)
            split.cut.store(true, std::memory_order_relaxed);
    }
}

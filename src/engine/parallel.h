// One solve on several cores: young brothers wait. A node with enough empty
// cells whose first two moves did not cut offers its other moves to idle
// threads (a split point); the thread that searched the first ones and any
// helper take them one by one. Waiting for two moves, not one, keeps the
// helpers out of most nodes that the second move cuts, where their work
// would be wasted: on the endgame test positions the threads then visit
// about as many nodes as one thread alone. Each thread searches with its own
// small table of the positions near the end, and all share the main table
// of the thread that started the solve.
//
// The split points of one solve form a tree through `parent`: a move that
// reaches beta at a split point stops every search below it, and a global
// stop stops all. A thread that runs out of moves at its own split point
// helps below it while the moves it handed out are searched.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/solver.h"

class SolverTable;
struct SplitPoint;

// Searches moves of `split` until none are left or the split point is cut;
// made by the search that created it, for its own kind of search.
using SplitWork = void (*)(SplitPoint& split);

struct SplitPoint {
    // Set by the creating thread before it offers the split point.
    SplitPoint* parent;   // the split point its creator was working under, or null
    SplitWork work;       // searches the moves, on any thread
    const void* search;   // what `work` needs to know of the creator's search
    const void* moves;    // the moves to hand out, in order
    int count;            // how many
    int empties;          // empty cells after each move
    int alpha, beta;      // the node's window
    SolverTable* table;   // the shared main table
    const StopFlag* stop; // the solve's stop flag

    // Under the pool's lock once offered.
    int best, bestBit;        // fail-soft best so far, and its move
    int next = 0;             // the next move to hand out
    int workers = 0;          // threads searching its moves
    uint64_t nodes = 0;       // nodes of the moves searched here
    std::atomic<bool> cut{0}; // a move reached beta: every search below stops

    // Whether this split point or one above it was cut.
    bool cutAbove() const
    {
        for (const SplitPoint* s = this; s; s = s->parent)
            if (s->cut.load(std::memory_order_relaxed))
                return true;
        return false;
    }
    bool below(const SplitPoint* ancestor) const
    {
        for (const SplitPoint* s = this; s; s = s->parent)
            if (s == ancestor)
                return true;
        return false;
    }
};

// The helper threads of one SolverHelpers and the split points they may join.
class SolverPool {
  public:
    explicit SolverPool(int helpers);
    ~SolverPool();

    int threads() const { return static_cast<int>(helpers_.size()) + 1; }
    // Whether a split point now would find a thread to take a move.
    bool idle() const { return idle_.load(std::memory_order_relaxed) > 0; }

    // Offers `split`, searches its moves on this thread, and returns once
    // every move handed out has been searched: meanwhile this thread helps
    // at split points below it.
    void run(SplitPoint& split);

    // For the split point's work: hands out its next move (-1 when none is
    // left or it was cut), and takes in a move's result, marking the split
    // point cut when it reaches beta.
    int take(SplitPoint& split);
    void result(SplitPoint& split, int value, int bit, uint64_t nodes);
    // The floor of the null-window check of a move: the node's best so far,
    // or alpha.
    int floor(SplitPoint& split);

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<SplitPoint*> open_; // split points offered, perhaps with moves left
    std::vector<std::thread> helpers_;
    std::atomic<int> idle_{0};
    bool quit_ = false;

    void helperLoop();
    // An offered split point with a move left, among those below `under`
    // when given; null when there is none. Under the lock.
    SplitPoint* openSplit(const SplitPoint* under) const;
    void join(SplitPoint& split, std::unique_lock<std::mutex>& lock);
};

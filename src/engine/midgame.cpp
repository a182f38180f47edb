// The root of the midgame search: iterative deepening over the root moves,
// which the workers (the calling thread and perhaps one helper) take in turn
// from a shared list, each move searched with an aspiration window around
// its value at the last depth. Near the end the exact solver takes over
// with whatever time is left; a solve that does not finish leaves the
// estimate in place.
#include "engine/midgame.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/engine.h"
#include "engine/midsearch.h"

// ---- the evaluation ----

bool midgameReady()
{
    return evaluationReady();
}

int midgameEstimate(Bits own, Bits opp)
{
    if (own == 0 || opp == 0)
        return finalScore(own, opp, Scoring::EmptiesToWinner) * DiscUnits;
    return std::clamp(evaluationOf(own, opp), -64 * DiscUnits, 64 * DiscUnits);
}

namespace {

using Clock = std::chrono::steady_clock;

// The first window of a depth, around the value found two depths before
// (the evaluation of positions after one side's move and after the other's
// differ more than those a move apart): for each move when all are valued,
// and for the root when only the best is wanted. Solves start around the
// estimate, wider.
constexpr int MoveWidth = DiscUnits / 2;
constexpr int RootWidth = DiscUnits;
constexpr int ExactWidth = 2 * DiscUnits;
// Near the end, the estimates go this deep at most before the solver starts.
constexpr int DepthBeforeExact = 8;
// Near the end, the share of the budget the estimates may take before the
// exact solver starts.
constexpr double EstimateShare = 0.25;

// Stops the searches through one flag of its own: when the caller's flag is
// set, and once armed at the deadline. The solver only reads a flag, so the
// clock is watched here, every millisecond.
class Watch {
  public:
    Watch(const StopFlag* caller, Clock::time_point deadline)
        : caller_(caller), deadline_(deadline), thread_([this] { run(); })
    {
    }
    ~Watch()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    // From now on the deadline stops the searches.
    void arm() { armed_.store(true); }
    const StopFlag* halt() const { return &halt_; }
    bool callerStopped() const { return caller_ && caller_->load(); }

  private:
    const StopFlag* caller_;
    Clock::time_point deadline_;
    StopFlag halt_{false};
    std::atomic<bool> armed_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_; // last: it starts once the rest is in place

    void run()
    {
        std::unique_lock lock(mutex_);
        while (!done_) {
            if (callerStopped() || (armed_.load() && Clock::now() >= deadline_)) {
                halt_.store(true);
                return;
            }
            wake_.wait_for(lock, std::chrono::milliseconds(1));
        }
    }
};

struct RootMove {
    int bit;
    Bits own, opp;      // after the move
    MoveValue finished; // from the deepest phase finished
    int older = 0;      // the finished value of the depth before
    // The running phase's value and line, once done.
    int value = 0;
    Line line;
    bool done = false;
};

// The window's bounds widened around a value that fell outside, until the
// value lies inside. `value(lo, hi)` is fail-soft.
template <class Value> int aspirated(Value value, int guess, int width, const MidSearch& search)
{
    int lo = std::max(guess - width, -MidInfinity), hi = std::min(guess + width, MidInfinity);
    for (;;) {
        const int v = value(lo, hi);
        if (search.stopped() || (v > lo && v < hi))
            return v;
        width *= 2;
        if (v <= lo) {
            hi = v + 1;
            lo = std::max(v - width, -MidInfinity);
        } else {
            lo = v - 1;
            hi = std::min(v + width, MidInfinity);
        }
    }
}

// The exact line from a position whose exact value (for `own`, in discs) was
// just solved on this thread: the solver's table holds most of its moves.
Line exactLine(Bits own, Bits opp, int value, int length, const StopFlag* halt)
{
    Line line;
    constexpr Scoring Players = Scoring::EmptiesToWinner;
    auto after = [&](int bit) {
        const Bits flips = flipsOf(bit, own, opp);
        return std::pair{opp & ~flips, own | flips | Bits{1} << bit};
    };
    while (static_cast<int>(line.size()) < length && !halt->load()) {
        const Bits moves = legalMoves(own, opp);
        if (moves == 0) {
            if (legalMoves(opp, own) == 0)
                break;
            line.push_back(-1);
            std::swap(own, opp);
            value = -value;
            continue;
        }
        int bit = tableMove(own, opp, Players);
        if (bit >= 0 && moves >> bit & 1) {
            const auto [o, p] = after(bit);
            if (-solveWindow(o, p, Players, -value - 1, -value + 1, halt) < value)
                bit = -1;
        } else {
            bit = -1;
        }
        if (bit < 0)
            bit = solveBest(own, opp, Players, halt).bestBit;
        if (halt->load())
            break;
        line.push_back(bit);
        std::tie(own, opp) = after(bit);
        value = -value;
    }
    return line;
}

// What both root searches share: the moves, the phases and their clock.
class Root {
  public:
    Root(Bits own, Bits opp, const MidgameLimits& limits, const StopFlag* stop)
        : own_(own), opp_(opp), empties_(64 - stoneCount(own | opp)), limits_(limits), start_(Clock::now()),
          watch_(stop, start_ + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(std::clamp(limits.seconds, 0.0, 1e6))))
    {
        MidgameTable::shared().newSearch();
        for (Bits m = legalMoves(own, opp); m; m &= m - 1) {
            const int bit = lowestBit(m);
            const Bits flips = flipsOf(bit, own, opp);
            moves_.push_back(
                {bit, opp & ~flips, own | flips | Bits{1} << bit, {bit, 0, false, 0, {}}, 0, 0, {}, false});
            order_.push_back(static_cast<int>(moves_.size()) - 1);
        }
    }

  protected:
    const Bits own_, opp_;
    const int empties_;
    const MidgameLimits limits_;
    const Clock::time_point start_;
    Watch watch_;
    std::vector<RootMove> moves_;
    std::vector<int> order_; // the moves, in the order the phase takes them
    std::atomic<int> next_{0};
    std::atomic<uint64_t> nodes_{0};
    int depth_ = 0;                                           // of the running midgame phase
    bool exact_ = false;                                      // the running phase solves
    double depthStart_ = 0, lastDepth_ = 0, depthBefore_ = 0; // seconds

    double elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

    // The next move of the running phase, or null.
    RootMove* takeMove()
    {
        const int i = next_.fetch_add(1);
        return i < static_cast<int>(order_.size()) ? &moves_[order_[i]] : nullptr;
    }

    // The value of a root move in the running phase within (lo, hi), for the
    // side to move at the root.
    int valueOf(MidSearch& search, const RootMove& m, int lo, int hi)
    {
        return exact_ ? -search.solve(m.own, m.opp, -hi, -lo)
                      : -search.search(m.own, m.opp, depth_ - 1, -hi, -lo, 1);
    }

    // The line of a root move whose value `search` just found.
    Line lineOf(const MidSearch& search, const RootMove& m, int value) const
    {
        Line line{m.bit};
        const Line rest = exact_
                              ? exactLine(m.own, m.opp, -value / DiscUnits, LineMoves - 1, search.halt())
                              : extendedLine(m.own, m.opp, search.lineAt(1), std::min(depth_, LineMoves) - 1);
        line.insert(line.end(), rest.begin(), rest.end());
        return line;
    }

    // A depth just finished: its time guides the next.
    void depthFinished()
    {
        const double now = elapsed();
        depthBefore_ = lastDepth_;
        lastDepth_ = now - depthStart_;
        depthStart_ = now;
        watch_.arm();
    }

    // Whether a depth one deeper than the last is likely to finish `until`
    // seconds from the start: each depth costs a few times the one before.
    bool fits(double until) const
    {
        if (lastDepth_ <= 0)
            return true;
        const double growth = depthBefore_ > 0 ? std::clamp(lastDepth_ / depthBefore_, 1.5, 8.0) : 4.0;
        return elapsed() + lastDepth_ * growth <= until;
    }

    // After a finished phase: the next one, or false when the search is over.
    bool planNext()
    {
        if (watch_.callerStopped())
            return false;
        const int deeper = depth_ + 1;
        const bool solvable = empties_ <= limits_.exactFrom || deeper >= empties_;
        if (solvable && (deeper >= empties_ || deeper > std::min(limits_.maxDepth, DepthBeforeExact) ||
                         !fits(limits_.seconds * EstimateShare))) {
            exact_ = true;
            return true;
        }
        if (deeper > std::max(limits_.maxDepth, 1) || !fits(limits_.seconds))
            return false;
        depth_ = deeper;
        return true;
    }

    // Runs the phases on the workers, each with a search of its own: job()
    // on every worker, then plan() on the last to finish it, until plan()
    // says the search is over.
    template <class Job, class Plan> void runPhases(Job job, Plan plan)
    {
        int workers = std::clamp(limits_.threads, 1, 2);
        bool goOn = plan();
        std::mutex mutex;
        std::condition_variable phaseDone;
        int waiting = 0;
        unsigned phase = 0;
        auto work = [&] {
            MidSearch search(MidgameTable::shared(), watch_.halt());
            std::unique_lock lock(mutex);
            while (goOn) {
                lock.unlock();
                job(search);
                lock.lock();
                if (++waiting == workers) {
                    waiting = 0;
                    ++phase;
                    goOn = plan();
                    phaseDone.notify_all();
                } else {
                    const unsigned mine = phase;
                    phaseDone.wait(lock, [&] { return phase != mine; });
                }
            }
            nodes_ += search.nodes();
        };
        std::thread helper;
        if (workers > 1) {
            try {
                helper = std::thread(work);
            } catch (const std::system_error&) {
                workers = 1; // no thread to be had: the caller's alone
            }
        }
        work();
        if (helper.joinable())
            helper.join();
    }

    void startPhase()
    {
        next_ = 0;
        for (RootMove& m : moves_)
            m.done = false;
    }

    // Best first by the values found so far.
    void sortByValue()
    {
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int a, int b) { return moves_[a].finished.value > moves_[b].finished.value; });
    }
};

// Every root move's value.
class ValuesSearch : Root {
  public:
    using Root::Root;

    MidgameValues run()
    {
        MidgameValues out;
        if (!moves_.empty())
            runPhases([&](MidSearch& s) { job(s); }, [&] { return plan(); });
        out.nodes = nodes_;
        out.stopped = watch_.callerStopped();
        if (!out.stopped)
            for (const RootMove& m : moves_)
                out.moves.push_back(m.finished);
        return out;
    }

  private:
    void job(MidSearch& search)
    {
        while (RootMove* m = takeMove()) {
            if (exact_ && m->finished.exact)
                continue;
            const int guess = exact_ ? discsOf(m->finished.value) * DiscUnits : depth_ >= 3 ? m->older : 0;
            const int width = exact_ ? ExactWidth : depth_ >= 3 ? MoveWidth : MidInfinity;
            m->value =
                aspirated([&](int lo, int hi) { return valueOf(search, *m, lo, hi); }, guess, width, search);
            if (search.stopped())
                return;
            m->line = lineOf(search, *m, m->value);
            m->done = true;
        }
    }

    bool plan()
    {
        if (exact_) {
            for (RootMove& m : moves_)
                if (m.done)
                    m.finished = {m.bit, m.value, true, empties_, m.line};
            return false;
        }
        if (depth_ > 0) {
            if (!std::all_of(moves_.begin(), moves_.end(), [](const RootMove& m) { return m.done; }))
                return false; // stopped: the last depth stands
            for (RootMove& m : moves_) {
                m.older = m.finished.value;
                m.finished = {m.bit, m.value, false, depth_, m.line};
            }
            depthFinished();
        }
        if (!planNext())
            return false;
        sortByValue();
        startPhase();
        return true;
    }
};

// The best root move: later moves only have to show they are no better than
// the best so far, which both workers share.
class BestSearch : Root {
  public:
    using Root::Root;

    MidgameBest run()
    {
        if (!moves_.empty())
            runPhases([&](MidSearch& s) { job(s); }, [&] { return plan(); });
        result_.nodes = nodes_;
        result_.stopped = watch_.callerStopped();
        if (result_.stopped)
            result_ = {-1, 0, false, 0, {}, true, nodes_};
        return result_;
    }

  private:
    int lo_ = -MidInfinity, hi_ = MidInfinity, width_ = RootWidth; // the running phase's window
    std::mutex mutex_;
    std::atomic<int> alpha_{0};
    int best_ = 0, bestIndex_ = 0; // in order_
    Line bestLine_;
    std::atomic<int> finished_{0};
    MidgameBest result_;
    int older_ = 0; // the result a depth before

    void job(MidSearch& search)
    {
        for (int k; (k = next_.fetch_add(1)) < static_cast<int>(order_.size());) {
            const RootMove& m = moves_[order_[k]];
            int a = alpha_.load();
            int v = valueOf(search, m, a, k == 0 ? hi_ : a + 1);
            if (k > 0 && v > a && v < hi_ && !search.stopped()) {
                a = alpha_.load();
                v = valueOf(search, m, a, hi_);
            }
            if (search.stopped())
                return;
            // The line of a value inside the window, made before the other
            // worker has to wait for it.
            const Line line = v > a && v < hi_ && v > alpha_.load() ? lineOf(search, m, v) : Line{m.bit};
            std::lock_guard lock(mutex_);
            if (v > best_) {
                best_ = v;
                bestIndex_ = k;
                bestLine_ = line;
                if (v > alpha_.load())
                    alpha_ = v;
            }
            ++finished_;
        }
    }

    // Sets the running phase's window; the best move so far goes first.
    void startWindow(int lo, int hi)
    {
        lo_ = lo;
        hi_ = hi;
        alpha_ = lo;
        best_ = -MidInfinity;
        finished_ = 0;
        std::rotate(order_.begin(), order_.begin() + bestIndex_, order_.begin() + bestIndex_ + 1);
        bestIndex_ = 0;
        startPhase();
    }

    bool plan()
    {
        if (depth_ > 0 || exact_) {
            if (finished_ < static_cast<int>(order_.size()))
                return false;                   // stopped: the last result stands
            if (best_ <= lo_ || best_ >= hi_) { // outside the window: again, wider
                width_ *= 2;
                const bool low = best_ <= lo_;
                startWindow(low ? std::max(best_ - width_, -MidInfinity) : best_ - 1,
                            low ? best_ + 1 : std::min(best_ + width_, MidInfinity));
                return true;
            }
            const int bit = moves_[order_[bestIndex_]].bit;
            older_ = result_.value;
            result_ = {bit, best_, exact_, exact_ ? empties_ : depth_, bestLine_, false, 0};
            if (exact_)
                return false;
            depthFinished();
            if (moves_.size() == 1)
                return false; // nothing to choose
        }
        if (!planNext())
            return false;
        width_ = exact_ ? ExactWidth : RootWidth;
        const int guess = exact_ ? discsOf(result_.value) * DiscUnits : older_;
        if (depth_ < 3 && !exact_)
            startWindow(-MidInfinity, MidInfinity);
        else
            startWindow(guess - width_, guess + width_);
        return true;
    }
};

} // namespace

MidgameValues midgameValues(Bits own, Bits opp, const MidgameLimits& limits, const StopFlag* stop)
{
    return ValuesSearch(own, opp, limits, stop).run();
}

MidgameBest midgameBestMove(Bits own, Bits opp, const MidgameLimits& limits, const StopFlag* stop)
{
    return BestSearch(own, opp, limits, stop).run();
}

MidgameBest midgameFixedDepth(Bits own, Bits opp, int depth, const StopFlag* stop)
{
    const StopFlag never{false};
    const StopFlag* halt = stop ? stop : &never;
    const int empties = 64 - stoneCount(own | opp);
    if (depth >= empties) { // to the end: the solver's value
        const uint64_t before = solverNodes();
        const Solution s = solveBest(own, opp, Scoring::EmptiesToWinner, halt);
        const Line line = exactLine(own, opp, s.value, LineMoves, halt);
        return {s.bestBit, s.value * DiscUnits, true, empties, line, halt->load(), solverNodes() - before};
    }
    MidgameTable::shared().newSearch();
    MidSearch search(MidgameTable::shared(), halt);
    MidgameBest out;
    out.value = search.search(own, opp, std::max(depth, 0), -MidInfinity, MidInfinity, 0);
    out.depth = std::max(depth, 0);
    out.line = extendedLine(own, opp, search.lineAt(0), std::min(out.depth, LineMoves));
    out.bit = out.line.empty() ? -1 : out.line[0];
    out.stopped = search.stopped();
    out.nodes = search.nodes();
    return out;
}

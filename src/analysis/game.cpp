// Game analysis: replay the turns; value every position by a search of fixed
// depth over the midgame evaluation, from the first on, on two threads; then
// solve positions exactly from the end backwards while there is time, and
// read each move's value off the position it led to.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <system_error>
#include <thread>

#include "analysis/analysis.h"
#include "engine/midgame.h"
#include "engine/solver.h"

namespace {

constexpr Scoring Players = Scoring::EmptiesToWinner;
using Clock = std::chrono::steady_clock;

struct Position {
    Bits black, white;
    int toMove;

    Bits own() const { return toMove == Black ? black : white; }
    Bits opp() const { return toMove == Black ? white : black; }
    int empties() const { return 64 - stoneCount(black | white); }
};

// The position after `move`, or false when the turn is not legal there.
bool play(const Position& p, Move move, Position& next)
{
    const Bits own = p.own(), opp = p.opp();
    const Bits moves = legalMoves(own, opp);
    next = p;
    next.toMove = opponentOf(p.toMove);
    if (move.column == 0 && move.row == 0)
        return moves == 0 && legalMoves(opp, own) != 0;
    if (move.column < 1 || move.column > 8 || move.row < 1 || move.row > 8)
        return false;
    const int bit = bitOf(move.column, move.row);
    if (!(moves >> bit & 1))
        return false;
    const Bits flips = flipsOf(bit, own, opp);
    const Bits mine = own | flips | Bits{1} << bit, theirs = opp & ~flips;
    next.black = p.toMove == Black ? mine : theirs;
    next.white = p.toMove == Black ? theirs : mine;
    return true;
}

// One position of the game and what was found about it. Values are for the
// side to move there.
struct Entry {
    Position position;
    int playedBit; // the move played from it, -1 for a pass or the last position

    bool estimated = false; // by the search of fixed depth:
    bool estimateExact = false;
    int estimate = 0;       // the position's value, 1/DiscUnits discs
    int estimateBest = -1;  // its best move
    int playedEstimate = 0; // the value of the move played

    bool solved = false; // by the solver
    Solution solution{};

    bool exact() const { return solved || estimateExact; }
    // The exact value in discs, when exact().
    int exactValue() const { return solved ? solution.value : estimate / DiscUnits; }
    int exactBest() const { return solved ? solution.bestBit : estimateBest; }
    int blackValue(int value) const { return position.toMove == Black ? value : -value; }
};

// A position's estimate: the mean of its search `depth` moves deep and of
// the one a move less deep that valued the move leading to it. The
// evaluation favours one side or the other by who is to move where the
// search stops, so a search of one depth alone would swing from move to
// move; the two depths stop with either side to move.
PositionValue valueOf(const std::vector<Entry>& line, size_t i)
{
    const Entry& e = line[i];
    if (e.exact())
        return {true, true, e.blackValue(e.exactValue())};
    if (!e.estimated)
        return {};
    const Entry* before = i > 0 ? &line[i - 1] : nullptr;
    if (before == nullptr || before->playedBit < 0 || !before->estimated)
        return {true, false, e.blackValue(discsOf(e.estimate))};
    return {true, false, e.blackValue(discsOf((e.estimate - before->playedEstimate) / 2))};
}

// Tells the progress of the positions whose values are known now that
// position i has its estimate: it, once the one before has its estimate
// too, and the one after, which waits for it.
class EstimateProgress {
  public:
    EstimateProgress(const std::vector<Entry>& line, AnalysisProgress* progress)
        : line_(line), progress_(progress), done_(new std::atomic<bool>[line.size()])
    {
        for (size_t i = 0; i < line.size(); ++i)
            done_[i] = false;
    }

    void estimated(size_t i)
    {
        if (!progress_)
            return;
        done_[i] = true; // then the neighbours are read: of two at once, one sees both
        if (i == 0 || done_[i - 1])
            progress_->found(i, valueOf(line_, i));
        if (i + 1 < line_.size() && done_[i + 1])
            progress_->found(i + 1, valueOf(line_, i + 1));
        progress_->done.fetch_add(1);
    }

  private:
    const std::vector<Entry>& line_;
    AnalysisProgress* progress_;
    std::unique_ptr<std::atomic<bool>[]> done_;
};

// The position's value `depth` moves deep, and the move played's one move
// less deep after it: the same horizon, so the two compare. False when stopped.
bool estimate(Entry& e, int depth, const CancelFlag& cancel)
{
    const Bits own = e.position.own(), opp = e.position.opp();
    const MidgameBest best = midgameFixedDepth(own, opp, depth, &cancel);
    if (best.stopped)
        return false;
    e.estimate = best.value;
    e.estimateExact = best.exact;
    e.estimateBest = best.bit;
    e.playedEstimate = best.value;
    if (e.playedBit >= 0 && e.playedBit != best.bit) {
        const Bits flips = flipsOf(e.playedBit, own, opp);
        const MidgameBest after =
            midgameFixedDepth(opp & ~flips, own | flips | Bits{1} << e.playedBit, depth - 1, &cancel);
        if (after.stopped)
            return false;
        e.playedEstimate = -after.value;
    }
    e.estimated = true;
    return true;
}

void solve(Entry& e, const StopFlag* halt)
{
    const Bits own = e.position.own(), opp = e.position.opp();
    if (e.playedBit >= 0)
        e.solution = solveBest(own, opp, Players, halt, e.playedBit);
    else
        e.solution = {solveWindow(own, opp, Players, -64, 64, halt), -1};
    e.solved = !halt->load();
}

// Runs job(k) for k = 0, 1, ... below count on this thread and a helper (on
// this one alone when no second thread can be started) until `stop` is set.
template <class Job> void onTwoThreads(int count, const std::atomic<bool>& stop, Job job)
{
    std::atomic<int> next{0};
    auto work = [&] {
        for (int k; !stop.load() && (k = next.fetch_add(1)) < count;)
            job(k);
    };
    std::thread helper;
    try {
        helper = std::thread(work);
    } catch (const std::system_error&) {
    }
    work();
    if (helper.joinable())
        helper.join();
}

// Sets `halt` when the caller cancels or the time is up. The solver reads
// one flag only, so the watch polls both every two milliseconds.
class Deadline {
  public:
    Deadline(const CancelFlag& cancel, Clock::time_point at) : cancel_(cancel), at_(at)
    {
        try {
            thread_ = std::thread([this] { watch(); });
        } catch (const std::system_error&) {
            halt_ = true; // without a watch nothing could stop a solve: none starts
        }
    }
    ~Deadline()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }
    const StopFlag* halt() const { return &halt_; }

  private:
    const CancelFlag& cancel_;
    const Clock::time_point at_;
    StopFlag halt_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;

    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!done_ && !cancel_.load() && Clock::now() < at_)
            wake_.wait_for(lock, std::chrono::milliseconds(2));
        halt_ = true;
    }
};

std::vector<Entry> replay(const Board& start, int firstColour, const std::vector<Move>& turns)
{
    std::vector<Entry> line{{{bitsOfColour(Black, start), bitsOfColour(White, start), firstColour}, -1}};
    for (Move m : turns) {
        Entry next{};
        if (!play(line.back().position, m, next.position))
            break;
        next.playedBit = -1;
        if (m.column != 0)
            line.back().playedBit = bitOf(m.column, m.row);
        line.push_back(next);
    }
    return line;
}

TurnAnalysis turnOf(const std::vector<Entry>& line, size_t i, Move move)
{
    const Entry& e = line[i];
    const Entry& after = line[i + 1];
    TurnAnalysis t{e.position.toMove, move, false, false, 0, {0, 0}, 0, false};
    if (e.playedBit < 0)
        return t;
    if (e.exact() && after.exact()) {
        t.known = t.exact = true;
        t.value = -after.exactValue();
        t.best = moveOfBit(e.exactBest());
        t.bestValue = e.exactValue();
        t.lostDiscs = t.value < t.bestValue;
    } else if (e.estimated) {
        t.known = true;
        t.value = discsOf(e.playedEstimate);
        t.best = moveOfBit(e.estimateBest);
        t.bestValue = discsOf(e.estimate);
        t.lostDiscs = t.bestValue - t.value >= EstimatedLoss;
    }
    return t;
}

} // namespace

std::vector<PositionValue> AnalysisProgress::positions() const
{
    std::lock_guard lock(mutex_);
    return positions_;
}

void AnalysisProgress::start(size_t positions, int count)
{
    {
        std::lock_guard lock(mutex_);
        positions_.assign(positions, PositionValue{});
    }
    done.store(0);
    total.store(count);
}

void AnalysisProgress::found(size_t position, PositionValue value)
{
    std::lock_guard lock(mutex_);
    if (position < positions_.size())
        positions_[position] = value;
}

GameAnalysis analyseGame(const Board& start, int firstColour, const std::vector<Move>& turns,
                         const CancelFlag& cancel, AnalysisProgress* progress, const AnalysisLimits& limits)
{
    const auto begun = Clock::now();
    GameAnalysis result;
    std::vector<Entry> line = replay(start, firstColour, turns);
    result.legalTurns = static_cast<int>(line.size()) - 1;
    result.estimateDepth = midgameReady() ? std::max(limits.estimateDepth, 1) : 0;

    // The solver's positions, from the end: the easiest first, so the exact
    // range grows back from the end steadily. Those the estimate's search
    // reaches the end of are exact already.
    std::vector<int> toSolve;
    for (int i = result.legalTurns; i >= 0; --i) {
        const int empties = line[i].position.empties();
        if (empties <= limits.exactFrom && (result.estimateDepth == 0 || empties > result.estimateDepth))
            toSolve.push_back(i);
    }
    const int estimates = result.estimateDepth > 0 ? static_cast<int>(line.size()) : 0;
    if (progress)
        progress->start(line.size(), estimates + static_cast<int>(toSolve.size()));

    if (estimates > 0) {
        EstimateProgress told(line, progress);
        onTwoThreads(estimates, cancel, [&](int k) {
            if (estimate(line[k], result.estimateDepth, cancel))
                told.estimated(k);
        });
    }
    {
        const Deadline deadline(cancel,
                                begun + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(std::max(limits.seconds, 0.0))));
        onTwoThreads(static_cast<int>(toSolve.size()), *deadline.halt(), [&](int k) {
            solve(line[toSolve[k]], deadline.halt());
            if (progress) {
                progress->found(toSolve[k], valueOf(line, toSolve[k]));
                progress->done.fetch_add(1);
            }
        });
    }
    result.cancelled = cancel.load();
    if (progress)
        progress->done.store(progress->total.load()); // the rest ran out of time
    if (result.cancelled)
        return result;

    for (size_t i = 0; i < line.size(); ++i)
        result.positions.push_back(valueOf(line, i));
    for (int i = 0; i < result.legalTurns; ++i)
        result.turns.push_back(turnOf(line, i, turns[i]));
    return result;
}

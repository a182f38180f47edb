// Game analysis: replay the turns, then solve every position with at most 24
// empty cells on two threads, hardest first, and read each move's value off
// the position it led to.
#include <system_error>
#include <thread>

#include "analysis/analysis.h"
#include "engine/solver.h"

namespace {

constexpr Scoring Players = Scoring::EmptiesToWinner;

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

struct Job {
    Position position;
    int playedBit; // the move played from it, -1 for a pass or the last position
    Solution solution{};
};

void solveJobs(std::vector<Job>& jobs, std::atomic<size_t>& next, const CancelFlag& cancel,
               AnalysisProgress* progress, SolverHelpers* helpers)
{
    for (size_t k; !cancel.load() && (k = next.fetch_add(1)) < jobs.size();) {
        Job& job = jobs[k];
        const Bits own = job.position.own(), opp = job.position.opp();
        if (job.playedBit >= 0)
            job.solution = solveBest(own, opp, Players, &cancel, job.playedBit, helpers);
        else
            job.solution = {solveWindow(own, opp, Players, -64, 64, &cancel, helpers), -1};
        if (progress)
            progress->done.fetch_add(1);
    }
}

// Both cores: one position each, or every core on the same position when
// there is only one; on one core when no second thread can be started.
void solveOnTwoThreads(std::vector<Job>& jobs, const CancelFlag& cancel, AnalysisProgress* progress)
{
    std::atomic<size_t> next{0};
    if (jobs.size() == 1) {
        SolverHelpers helpers;
        solveJobs(jobs, next, cancel, progress, &helpers);
        return;
    }
    std::thread helper;
    try {
        helper = std::thread(solveJobs, std::ref(jobs), std::ref(next), std::cref(cancel), progress, nullptr);
    } catch (const std::system_error&) {
    }
    solveJobs(jobs, next, cancel, progress, nullptr);
    if (helper.joinable())
        helper.join();
}

} // namespace

GameAnalysis analyseGame(const Board& start, int firstColour, const std::vector<Move>& turns,
                         const CancelFlag& cancel, AnalysisProgress* progress)
{
    GameAnalysis result;
    std::vector<Position> line{{bitsOfColour(Black, start), bitsOfColour(White, start), firstColour}};
    for (Move m : turns) {
        Position next;
        if (!play(line.back(), m, next))
            break;
        line.push_back(next);
    }
    result.legalTurns = static_cast<int>(line.size()) - 1;

    // Positions in game order: the earliest, hardest ones start first.
    std::vector<Job> jobs;
    std::vector<int> jobOf(line.size(), -1);
    for (size_t i = 0; i < line.size(); ++i)
        if (line[i].empties() <= ExactAnalysisEmpties) {
            const bool moved = i + 1 < line.size() && turns[i].column != 0;
            jobOf[i] = static_cast<int>(jobs.size());
            jobs.push_back({line[i], moved ? bitOf(turns[i].column, turns[i].row) : -1});
        }
    if (progress) {
        progress->done.store(0);
        progress->total.store(static_cast<int>(jobs.size()));
    }
    solveOnTwoThreads(jobs, cancel, progress);
    result.cancelled = cancel.load();
    if (result.cancelled)
        return result;

    for (size_t i = 0; i < line.size(); ++i) {
        PositionValue v{jobOf[i] >= 0, 0};
        if (v.exact) {
            const int value = jobs[jobOf[i]].solution.value;
            v.black = line[i].toMove == Black ? value : -value;
        }
        result.positions.push_back(v);
    }
    for (int i = 0; i < result.legalTurns; ++i) {
        TurnAnalysis t{line[i].toMove, turns[i], false, 0, {0, 0}, 0};
        if (jobOf[i] >= 0 && t.move.column != 0) {
            const Solution& s = jobs[jobOf[i]].solution;
            const int after = result.positions[i + 1].black;
            t.exact = true;
            t.value = t.colour == Black ? after : -after;
            t.bestValue = s.value;
            t.best = moveOfBit(s.bestBit);
        }
        result.turns.push_back(t);
    }
    return result;
}

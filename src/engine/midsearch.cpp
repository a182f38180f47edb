#include "engine/midsearch.h"

#include <utility>

#include "engine/engine.h"

namespace {

// Moves are ordered by the moves they leave the opponent (corners twice),
// this much each, and from EvaluatedOrderMin moves deep also by the
// evaluation of the position they lead to. Closer to the leaves the
// evaluations cost more time than the nodes they save; so do the table's
// lookups below TableMin, where the move it holds does not order the
// children any better. (Shallow searches of the children, tried as keys,
// saved no nodes over the table's moves from the last depth.)
constexpr int MobilityWeight = 3 * DiscUnits;
constexpr int EvaluatedOrderMin = 3;
constexpr int TableMin = 3;

constexpr Bits Corners = 0x8100000000000081ull;

struct Child {
    Bits own, opp; // after the move: the opponent to move
    int bit;
    int key; // higher is tried first
};

inline Child childOf(Bits own, Bits opp, int bit)
{
    const Bits flips = flipsOf(bit, own, opp);
    return {opp & ~flips, own | flips | Bits{1} << bit, bit, 0};
}

inline const Child& takeBest(Child children[], int i, int n)
{
    int pick = i;
    for (int j = i + 1; j < n; ++j)
        if (children[j].key > children[pick].key)
            pick = j;
    std::swap(children[i], children[pick]);
    return children[i];
}

inline int weightedMoves(Bits moves)
{
    return stoneCount(moves) + stoneCount(moves & Corners);
}

inline int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

int MidSearch::solve(Bits own, Bits opp, int alpha, int beta)
{
    // The solver's window in whole discs holds the same values.
    const int lo = std::max(floorDiv(alpha, DiscUnits), -65);
    const int hi = std::min(-floorDiv(-beta, DiscUnits), 65);
    const uint64_t before = solverNodes();
    const int v = solveWindow(own, opp, Scoring::EmptiesToWinner, lo, hi, halt_);
    nodes_ += solverNodes() - before;
    return halted() ? 0 : v * DiscUnits;
}

void MidSearch::setLine(int ply, int bit)
{
    line_[ply][0] = bit;
    const int n = std::min(lineLength_[ply + 1], LineMoves - 1);
    std::copy(line_[ply + 1], line_[ply + 1] + n, line_[ply] + 1);
    lineLength_[ply] = n + 1;
}

// One move from the leaves: every move's value is the evaluation after it.
int MidSearch::lastMove(Bits own, Bits opp, Bits moves, int alpha, int beta, int ply)
{
    int best = -MidInfinity;
    for (; moves; moves &= moves - 1) {
        const Child c = childOf(own, opp, lowestBit(moves));
        ++nodes_;
        const int v = -midgameEstimate(c.own, c.opp);
        if (v > best) {
            best = v;
            if (v > alpha) {
                lineLength_[ply + 1] = 0;
                setLine(ply, c.bit);
                if (v >= beta)
                    break;
            }
        }
    }
    return best;
}

int MidSearch::passed(Bits own, Bits opp, int depth, int alpha, int beta, int ply)
{
    if (legalMoves(opp, own) == 0)
        return finalScore(own, opp, Scoring::EmptiesToWinner) * DiscUnits;
    const int v = -search(opp, own, depth, -beta, -alpha, ply + 1);
    if (!stopped_)
        setLine(ply, -1);
    return v;
}

int MidSearch::search(Bits own, Bits opp, int depth, int alpha, int beta, int ply)
{
    lineLength_[ply] = 0;
    if (halted())
        return 0;
    ++nodes_;
    const int empties = 64 - stoneCount(own | opp);
    if (depth >= empties)
        return solve(own, opp, alpha, beta);
    if (depth == 0)
        return midgameEstimate(own, opp);
    const Bits moves = legalMoves(own, opp);
    if (moves == 0)
        return passed(own, opp, depth, alpha, beta, ply);
    if (depth == 1)
        return lastMove(own, opp, moves, alpha, beta, ply);

    int hint = -1;
    MidEntry e;
    if (depth >= TableMin && table_.find(own, opp, e)) {
        hint = e.move;
        if (e.depth == depth &&
            ply > 0) { // only bounds on this very value may cut; the root always has a line
            if (e.lower >= beta)
                return e.lower;
            if (e.upper <= alpha)
                return e.upper;
            if (e.lower == e.upper)
                return e.lower;
            alpha = std::max(alpha, e.lower);
            beta = std::min(beta, e.upper);
        }
    }

    Child children[64];
    int n = 0;
    for (Bits m = moves; m; m &= m - 1) {
        Child& c = children[n++] = childOf(own, opp, lowestBit(m));
        if (depth > TableMin)
            table_.prefetch(c.own, c.opp);
        c.key = c.bit == hint ? MidInfinity * 4 : -weightedMoves(legalMoves(c.own, c.opp)) * MobilityWeight;
        if (depth >= EvaluatedOrderMin && c.bit != hint)
            c.key -= midgameEstimate(c.own, c.opp);
    }

    // A child whose bound in the table already proves it good enough cuts
    // at once (their lines were loaded while the keys were made).
    if (depth > TableMin && ply > 0)
        for (int i = 0; i < n; ++i)
            if (MidEntry c;
                table_.find(children[i].own, children[i].opp, c) && c.depth == depth - 1 && -c.upper >= beta)
                return -c.upper;

    const int alpha0 = alpha;
    int best = -MidInfinity, bestBit = -1;
    for (int i = 0; i < n; ++i) {
        const Child& c = takeBest(children, i, n);
        int v;
        if (i == 0) {
            v = -search(c.own, c.opp, depth - 1, -beta, -alpha, ply + 1);
        } else {
            v = -search(c.own, c.opp, depth - 1, -alpha - 1, -alpha, ply + 1);
            if (v > alpha && v < beta && !stopped_)
                v = -search(c.own, c.opp, depth - 1, -beta, -alpha, ply + 1);
        }
        if (stopped_)
            return 0; // nothing of a stopped search is kept
        if (v > best) {
            best = v;
            bestBit = c.bit;
            if (v > alpha) {
                alpha = v;
                setLine(ply, c.bit);
                if (v >= beta)
                    break;
            }
        }
    }
    if (depth >= TableMin)
        table_.store(own, opp,
                     {best > alpha0 ? best : -MidInfinity, best < beta ? best : MidInfinity, depth, bestBit});
    return best;
}

Line extendedLine(Bits own, Bits opp, const Line& line, int length)
{
    Line out;
    size_t next = 0; // in `line`
    while (static_cast<int>(out.size()) < length) {
        const Bits moves = legalMoves(own, opp);
        if (moves == 0) {
            if (legalMoves(opp, own) == 0)
                break;
            out.push_back(-1);
            std::swap(own, opp);
            next += next < line.size() && line[next] == -1;
            continue;
        }
        int bit = -1;
        MidEntry e;
        if (next < line.size())
            bit = line[next++];
        else if (MidgameTable::shared().find(own, opp, e))
            bit = e.move;
        if (bit < 0 || !(moves >> bit & 1))
            break;
        const Child c = childOf(own, opp, bit);
        out.push_back(bit);
        own = c.own;
        opp = c.opp;
    }
    return out;
}

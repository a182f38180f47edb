#include "analysis/guess.h"

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Inf = 1 << 29;

class Guess {
  public:
    Guess(Clock::time_point deadline, const CancelFlag& cancel) : deadline_(deadline), cancel_(cancel) {}

    bool outOfTime() const { return out_; }

    // Fail-soft negamax of the evaluation, `depth` plies; a pass is a ply.
    int search(Bits own, Bits opp, int depth, int alpha, int beta)
    {
        if ((++nodes_ & 1023) == 0 && (Clock::now() >= deadline_ || cancel_.load(std::memory_order_relaxed)))
            out_ = true;
        if (out_)
            return 0;
        Bits moves = legalMoves(own, opp);
        if (depth == 0 || (moves == 0 && legalMoves(opp, own) == 0))
            return evaluateBits(own, opp);
        if (moves == 0)
            return -search(opp, own, depth - 1, -beta, -alpha);
        int best = -Inf;
        for (; moves; moves &= moves - 1) {
            const int bit = lowestBit(moves);
            const Bits flips = flipsOf(bit, own, opp);
            const int floor = std::max(best, alpha);
            const int v = -search(opp & ~flips, own | flips | Bits{1} << bit, depth - 1, -beta, -floor);
            if (v > best) {
                best = v;
                if (best >= beta)
                    break;
            }
        }
        return best;
    }

  private:
    Clock::time_point deadline_;
    const CancelFlag& cancel_;
    unsigned nodes_ = 0;
    bool out_ = false;
};

} // namespace

int guessBestMove(Bits own, Bits opp, double seconds, const CancelFlag& cancel)
{
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    int order[64], n = 0;
    for (Bits moves = legalMoves(own, opp); moves; moves &= moves - 1)
        order[n++] = lowestBit(moves);
    int bestBit = order[0];
    const int empties = 64 - stoneCount(own | opp);
    for (int depth = 1; depth <= empties; ++depth) {
        Guess guess(depth == 1 ? Clock::time_point::max() : deadline, cancel);
        int best = -Inf, bestIndex = 0;
        for (int i = 0; i < n; ++i) {
            const Bits flips = flipsOf(order[i], own, opp);
            const int v =
                -guess.search(opp & ~flips, own | flips | Bits{1} << order[i], depth - 1, -Inf, -best);
            if (guess.outOfTime())
                return bestBit; // the deepest finished depth decides
            if (v > best) {
                best = v;
                bestIndex = i;
            }
        }
        // The best of this depth goes first in the next.
        std::rotate(order, order + bestIndex, order + bestIndex + 1);
        bestBit = order[0];
    }
    return bestBit;
}

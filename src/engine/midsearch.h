// The midgame search below the root: fail-soft principal-variation search of
// the evaluation to a fixed depth, over the shared table (its moves first,
// its bounds on the children cutting before any is searched), with the exact
// solver wherever the depth reaches the end. One per thread.
#pragma once

#include <cstdint>

#include "engine/midgame.h"
#include "engine/midtable.h"

// Beyond any value: bounds that say nothing.
constexpr int MidInfinity = 32000;
static_assert(64 * DiscUnits < MidInfinity, "values must fit the table's 16 bits");

class MidSearch {
  public:
    // `halt` may be null; once it is set every search unwinds at once.
    MidSearch(MidgameTable& table, const StopFlag* halt) : table_(table), halt_(halt) {}

    // The value for `own` to move searched `depth` moves deep: exact inside
    // (alpha, beta), otherwise a bound on the side of the window where it
    // lies. `ply` is the distance from the root, for the lines.
    int search(Bits own, Bits opp, int depth, int alpha, int beta, int ply);

    // The exact value, by the solver, with the same window convention.
    int solve(Bits own, Bits opp, int alpha, int beta);

    // Once set (the halt flag was seen), every value since is meaningless.
    bool stopped() const { return stopped_; }
    const StopFlag* halt() const { return halt_; }
    uint64_t nodes() const { return nodes_; }

    // The line the last search at `ply` found, when its value lay inside
    // its window; it may end early where the table knew the value.
    Line lineAt(int ply) const { return Line(line_[ply], line_[ply] + lineLength_[ply]); }

  private:
    static constexpr int MaxPly = 128; // 60 moves and the passes between them

    MidgameTable& table_;
    const StopFlag* halt_;
    bool stopped_ = false;
    uint64_t nodes_ = 0;
    int line_[MaxPly][LineMoves];
    int lineLength_[MaxPly];

    bool halted()
    {
        if (!stopped_ && halt_ && halt_->load(std::memory_order_relaxed))
            stopped_ = true;
        return stopped_;
    }
    int lastMove(Bits own, Bits opp, Bits moves, int alpha, int beta, int ply);
    int passed(Bits own, Bits opp, int depth, int alpha, int beta, int ply);
    void setLine(int ply, int bit);
};

// `line` played from the position, then continued by the moves the table
// holds, `length` moves at most (passes included); stops at an illegal move.
Line extendedLine(Bits own, Bits opp, const Line& line, int length);

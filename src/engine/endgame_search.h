// The solver's search, written once and compiled twice by endgame.cpp: for
// any processor, and for processors with AVX2, each copy in a namespace of
// its own that first defines movesFor, flipsFor and stableFor (legalMoves,
// flipsOf and stableStones in that instruction set). Include it only there.

// Makes `moves` into children[]; returns their count. Given a table, each
// child's line there starts to load as soon as the child is made.
[[gnu::always_inline]] inline int childrenOf(Bits own, Bits opp, Bits moves, Child children[],
                                             const SolverTable* table = nullptr)
{
    int n = 0;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsFor(bit, own, opp);
        const Child& c = children[n++] = {opp & ~flips, own | flips | Bits{1} << bit, 0, bit, UnknownMoves};
        if (table)
            table->prefetch(c.own, c.opp);
    }
    return n;
}

template <Scoring S> class Search {
  public:
    Search(SolverTable& table, SolverTable& nearEnd, const StopFlag* stop)
        : table_(table), nearEnd_(nearEnd), stop_(stop)
    {
    }

    bool stopped() const { return stopped_; }
    uint64_t nodes() const { return nodes_; }
    // Lets the search hand moves to the pool's threads.
    void usePool(SolverPool* pool) { pool_ = pool; }

    int run(Bits own, Bits opp, int alpha, int beta)
    {
        const int empties = 64 - stoneCount(own | opp);
        if (empties == 0)
            return finalOf<S>(own, opp);
        if (empties < AspirationMin || beta - alpha <= 2)
            return solve(own, opp, alpha, beta, empties);
        // Sound aspiration by narrow windows. A fail-soft answer outside the
        // window proves a bound, often the value itself: the next window
        // holds that bound and reaches further each time the value lies
        // beyond it. Every step narrows the range the value may lie in, and
        // the table keeps what the earlier steps proved.
        int g = empties >= GuessMin ? guess(own, opp, empties) : 0;
        g = g < alpha + 1 ? alpha + 1 : g > beta - 1 ? beta - 1 : g;
        int lo = g - GuessMargin > alpha ? g - GuessMargin : alpha;
        int hi = g + GuessMargin < beta ? g + GuessMargin : beta, width = 0;
        for (;;) {
            const int v = solve(own, opp, lo, hi, empties);
            if (stopped_ || (v > lo && v < hi) || v <= alpha || v >= beta)
                return v;
            if (v >= hi) {
                lo = v - 1;
                hi = v + width + 1 < beta ? v + width + 1 : beta;
            } else {
                hi = v + 1;
                lo = v - width - 1 > alpha ? v - width - 1 : alpha;
            }
            width = width ? 2 * width : StepWidth;
        }
    }

  private:
    static constexpr unsigned char Tag = static_cast<unsigned char>(1 + static_cast<int>(S));
    static constexpr unsigned char GuessTag = Tag + 2; // its entries bound the narrowed game only

    // An estimate of the value, only ever used to place the window.
    int guess(Bits own, Bits opp, int empties)
    {
        Search narrowed(table_, nearEnd_, stop_);
        narrowed.width_ = GuessWidth;
        narrowed.tag_ = GuessTag;
        narrowed.pool_ = pool_;
        narrowed.split_ = split_;
        const int v = narrowed.solve(own, opp, -Max, Max, empties);
        nodes_ += narrowed.nodes_;
        stopped_ |= narrowed.stopped_;
        return v;
    }

    SolverTable& table_;
    SolverTable& nearEnd_;
    SolverTable& tableFor(int empties) { return empties <= SolverTable::NearEndCells ? nearEnd_ : table_; }
    const StopFlag* stop_;
    bool stopped_ = false;
    int width_ = 0;           // moves tried per node from GuessNarrowMin cells; 0: all
    unsigned char tag_ = Tag; // of the table entries this search reads and writes
    uint64_t nodes_ = 0;
    SolverPool* pool_ = nullptr;  // other threads to hand moves to, when given
    SplitPoint* split_ = nullptr; // the split point this search works for, if any

    // Whether to give up: the solve was stopped, or a split point above cut.
    bool mustStop() const
    {
        return (stop_ && stop_->load(std::memory_order_relaxed)) || (split_ && split_->cutAbove());
    }

    // `moves` are those of `own`, when the caller has them at hand.
    int solve(Bits own, Bits opp, int alpha, int beta, int empties, Bits moves = UnknownMoves)
    {
        if (empties > LightCells)
            return deep(own, opp, alpha, beta, empties, moves);
        if (empties == LightCells)
            return light(own, opp, alpha, beta, false, moves);
        if (empties == 4) {
            int cells[4];
            parityOrdered(~(own | opp), cells);
            return last4(own, opp, alpha, beta, cells, false);
        }
        return fewest(own, opp, alpha, beta, empties);
    }

    // ---- the last cells ----

    // Exactly one empty cell: only the count of turned stones matters.
    int last1(Bits own, Bits opp, int bit)
    {
        ++nodes_;
        const int ownCount = stoneCount(own);
        if (const Bits flips = flipsFor(bit, own, opp))
            return 2 * (ownCount + stoneCount(flips)) + 2 - 64;
        if (const Bits flips = flipsFor(bit, opp, own))
            return 64 - 2 * (stoneCount(opp) + stoneCount(flips) + 1);
        const int diff = 2 * ownCount - 63; // nobody can fill the last cell
        if constexpr (S == Scoring::EmptiesToWinner)
            return diff > 0 ? diff + 1 : diff - 1;
        return diff;
    }

    int last2(Bits own, Bits opp, int alpha, int beta, int a, int b, bool passed = false)
    {
        if (!passed)
            ++nodes_;
        int best = -Max - 1;
        if (const Bits flips = flipsFor(a, own, opp)) {
            best = -last1(opp & ~flips, own | flips | Bits{1} << a, b);
            if (best >= beta)
                return best;
        }
        if (const Bits flips = flipsFor(b, own, opp)) {
            const int v = -last1(opp & ~flips, own | flips | Bits{1} << b, a);
            return v > best ? v : best;
        }
        if (best > -Max - 1)
            return best;
        if (passed)
            return finalOf<S>(own, opp);
        return -last2(opp, own, -beta, -alpha, a, b, true);
    }

    int last3(Bits own, Bits opp, int alpha, int beta, const int cells[3], bool passed = false)
    {
        if (!passed)
            ++nodes_;
        int best = -Max - 1;
        for (int i = 0; i < 3; ++i) {
            const int bit = cells[i];
            const Bits flips = flipsFor(bit, own, opp);
            if (flips == 0)
                continue;
            const int floor = best > alpha ? best : alpha;
            const int x = cells[i == 0 ? 1 : 0], y = cells[i == 2 ? 1 : 2];
            const int v = -last2(opp & ~flips, own | flips | Bits{1} << bit, -beta, -floor, x, y);
            if (v > best) {
                best = v;
                if (best >= beta)
                    return best;
            }
        }
        if (best > -Max - 1)
            return best;
        if (passed)
            return finalOf<S>(own, opp);
        return -last3(opp, own, -beta, -alpha, cells, true);
    }

    // Four empty cells in the order given (odd quadrants first). `moves`
    // may hold the moves of `own` when the caller has them.
    int last4(Bits own, Bits opp, int alpha, int beta, const int cells[4], bool passed,
              Bits moves = UnknownMoves)
    {
        if (!passed) {
            ++nodes_;
            if (const int ceiling = stabilityCeiling(own, opp, alpha); ceiling <= alpha)
                return ceiling;
        }
        int best = -Max - 1;
        for (int i = 0; i < 4; ++i) {
            const int bit = cells[i];
            if (!(moves >> bit & 1))
                continue;
            const Bits flips = flipsFor(bit, own, opp);
            if (flips == 0)
                continue;
            int rest[3];
            for (int j = 0, k = 0; j < 4; ++j)
                if (j != i)
                    rest[k++] = cells[j];
            const int floor = best > alpha ? best : alpha;
            const int v = -last3(opp & ~flips, own | flips | Bits{1} << bit, -beta, -floor, rest);
            if (v > best) {
                best = v;
                if (best >= beta)
                    return best;
            }
        }
        if (best > -Max - 1)
            return best;
        if (passed)
            return finalOf<S>(own, opp);
        return -last4(opp, own, -beta, -alpha, cells, true);
    }

    // Five empty cells: here the table and the full ordering keys cost more
    // time than the nodes they save. The moves go fewest replies first, then
    // odd quadrants first. `moves` may hold those of `own`, as in last4.
    int light(Bits own, Bits opp, int alpha, int beta, bool passed, Bits moves = UnknownMoves)
    {
        if (!passed) {
            ++nodes_;
            if (const int ceiling = stabilityCeiling(own, opp, alpha); ceiling <= alpha)
                return ceiling;
        }
        int cells[LightCells];
        parityOrdered(~(own | opp), cells);
        Child children[LightCells];
        int n = 0;
        for (const int bit : cells)
            if (const Bits flips = moves >> bit & 1 ? flipsFor(bit, own, opp) : 0) {
                Child& c = children[n++];
                c = {opp & ~flips, own | flips | Bits{1} << bit, 0, bit, UnknownMoves};
                c.moves = movesFor(c.own, c.opp);
                c.key = -weightedMoves(c.moves);
            }
        if (n == 0) {
            if (passed)
                return finalOf<S>(own, opp);
            return -light(opp, own, -beta, -alpha, true);
        }
        int best = -Max - 1;
        for (int i = 0; i < n; ++i) {
            const Child& c = takeBest(children, i, n);
            int rest[ShallowMax];
            parityOrdered(~(c.own | c.opp), rest);
            const int floor = best > alpha ? best : alpha;
            const int v = -last4(c.own, c.opp, -beta, -floor, rest, false, c.moves);
            if (v > best) {
                best = v;
                if (best >= beta)
                    return best;
            }
        }
        return best;
    }

    // A solve that starts with one to three empty cells.
    int fewest(Bits own, Bits opp, int alpha, int beta, int empties)
    {
        int cells[3];
        parityOrdered(~(own | opp), cells);
        if (empties == 1)
            return last1(own, opp, cells[0]);
        if (empties == 2)
            return last2(own, opp, alpha, beta, cells[0], cells[1]);
        return last3(own, opp, alpha, beta, cells);
    }

    // The opponent keeps its stable stones, which caps what this side can
    // reach; worked out only when even all opponent stones being stable
    // could cut.
    static int stabilityCeiling(Bits own, Bits opp, int alpha)
    {
        if (64 - 2 * stoneCount(opp) > alpha)
            return Max + 1;
        return 64 - 2 * stoneCount(stableFor(opp, own));
    }

    int passOrEnd(Bits own, Bits opp, int alpha, int beta, int empties)
    {
        const Bits replies = movesFor(opp, own);
        if (replies == 0)
            return finalOf<S>(own, opp);
        --nodes_; // the pass is not a node of its own
        return -solve(opp, own, -beta, -alpha, empties, replies);
    }

    // ---- move ordering ----

    // The position for `own` to move, in ordering units: mobility, potential
    // mobility and settled corner stones of both sides, and the pattern
    // estimate of the final difference. The two halves order far better
    // together than either alone.
    static int estimate(Bits own, Bits opp, Bits moves)
    {
        const Bits empty = ~(own | opp);
        moves = moves == UnknownMoves ? movesFor(own, opp) : moves;
        int v = (weightedMoves(moves) - weightedMoves(movesFor(opp, own))) * EstimateMoves;
        v += (stoneCount(frontier(opp, empty)) - stoneCount(frontier(own, empty))) * EstimateFrontier;
        v += (stoneCount(cornerStable(own)) - stoneCount(cornerStable(opp))) * EstimateCorners;
        return v + patternValue(own, opp) * EstimateDisc / PatternScale;
    }

    // Fail-soft alpha-beta of the estimate, `depth` plies; its positions
    // count as nodes. Above the last ply the moves go fewest replies first,
    // corners up and the cells beside them down, so the window closes soon.
    int probe(Bits own, Bits opp, int depth, int alpha, int beta, Bits known = UnknownMoves)
    {
        ++nodes_;
        if (depth == 0)
            return estimate(own, opp, known);
        const Bits moves = known == UnknownMoves ? movesFor(own, opp) : known;
        if (moves == 0) {
            if (movesFor(opp, own) == 0)
                return finalOf<S>(own, opp) * 1000;
            return -probe(opp, own, depth - 1, -beta, -alpha);
        }
        Child children[64];
        const int n = childrenOf(own, opp, moves, children);
        for (int i = 0; i < n; ++i) {
            Child& c = children[i];
            c.key =
                static_cast<int>(Corners >> c.bit & 1) * 4 - static_cast<int>(NearCorners >> c.bit & 1) * 4;
            if (depth > 1) {
                c.moves = movesFor(c.own, c.opp);
                c.key -= weightedMoves(c.moves) * 2;
            }
        }
        int best = -(1 << 29);
        for (int i = 0; i < n; ++i) {
            const Child& c = takeBest(children, i, n);
            const int floor = best > alpha ? best : alpha;
            const int v = -probe(c.own, c.opp, depth - 1, -beta, -floor, c.moves);
            if (v > best) {
                best = v;
                if (best >= beta)
                    return best;
            }
        }
        return best;
    }

    // The shallow search of a child, for the opponent: exact up to
    // ProbeSlack above the lowest (best for this side) value of its siblings
    // so far, a lower bound beyond; `lowest` follows.
    int probeChild(const Child& c, int depth, int& lowest)
    {
        const int cap = lowest == Unbounded ? Unbounded : lowest + ProbeSlack;
        const int v = probe(c.own, c.opp, depth, -Unbounded, cap, c.moves);
        lowest = v < lowest ? v : lowest;
        return v;
    }

    // Higher for moves likely to be best and quick to prove: few replies for
    // the opponent, few empty cells next to own stones, settled corners, and
    // a cell of a quadrant with an odd number of empty cells (`odd`).
    static int orderKey(Child& c, Bits odd)
    {
        const Bits empty = ~(c.own | c.opp);
        c.moves = movesFor(c.own, c.opp);
        int key = -weightedMoves(c.moves) * KeyReplies;
        key -= stoneCount(frontier(c.opp, empty)) * KeyFrontier;
        key += stoneCount(cornerStable(c.opp)) * KeyCorners;
        if (odd >> c.bit & 1)
            key += KeyParity;
        return key;
    }

    // Plies of the shallow search below each child. Near ProbeMin one ply
    // orders nearly as well as two at a fraction of the cost.
    static int probeDepth(int empties)
    {
        return empties >= DeepProbeMin ? 3 : empties >= MidProbeMin ? 2 : 1;
    }

    // The keys of children[], the table's move first; from ProbeMin empty
    // cells each other key also holds the child's shallow search.
    void orderChildren(Child children[], int n, int empties, int hint)
    {
        int lowest = Unbounded;
        for (int i = 0; i < n; ++i) {
            Child& c = children[i];
            if (c.bit == hint)
                c.key = 1 << 30;
            else if (empties >= ProbeMin)
                c.key -= probeChild(c, probeDepth(empties), lowest);
        }
    }

    // ---- several threads ----

    // Searches children[i..n) on this and idle threads, after the first
    // moves proved no cut; best and bestBit take in what they find.
    void splitRest(Child children[], int i, int n, int alpha, int beta, int empties, int& best, int& bestBit)
    {
        for (int j = i; j < n; ++j)
            takeBest(children, j, n); // the order one thread would follow
        SplitPoint split{split_, &workAt, this,    children + i, n - i, empties - 1,
                         alpha,  beta,    &table_, stop_,        best,  bestBit};
        pool_->run(split);
        nodes_ += split.nodes;
        best = split.best;
        bestBit = split.bestBit;
        stopped_ = mustStop(); // a cut of this split point itself is a result
    }

    // A split point's work, on any thread: its moves one by one, each first
    // checked against the best so far with a null window.
    static void workAt(SplitPoint& split)
    {
        const Search& creator = *static_cast<const Search*>(split.search);
        Search search(*split.table, SolverTable::nearEndOfThisThread(), split.stop);
        search.width_ = creator.width_;
        search.tag_ = creator.tag_;
        search.pool_ = creator.pool_;
        search.split_ = &split;
        const Child* moves = static_cast<const Child*>(split.moves);
        for (int i; (i = search.pool_->take(split)) >= 0;) {
            const Child& c = moves[i];
            const int floor = search.pool_->floor(split), beta = split.beta;
            int v;
            if (beta - floor <= 1) {
                v = -search.solve(c.own, c.opp, -beta, -floor, split.empties, c.moves);
            } else {
                v = -search.solve(c.own, c.opp, -floor - 1, -floor, split.empties, c.moves);
                if (v > floor && v < beta && !search.stopped_)
                    v = -search.solve(c.own, c.opp, -beta, -v, split.empties, c.moves);
            }
            if (search.stopped_)
                break;
            search.pool_->result(split, v, c.bit, 0);
        }
        search.pool_->result(split, 0, -1, search.nodes_);
    }

    static int hintIndex(const Child children[], int n, int hint)
    {
        for (int i = 0; i < n; ++i)
            if (children[i].bit == hint)
                return i;
        return -1;
    }

    // ---- six cells and more: the table ----

    int deep(Bits own, Bits opp, int alpha, int beta, int empties, Bits known)
    {
        ++nodes_;
        if (mustStop()) {
            stopped_ = true;
            return 0;
        }
        const uint64_t nodesBefore = nodes_;
        int hint = -1;
        SolverTable& table = tableFor(empties);
        const std::optional<TableEntry> e = table.find(own, opp, tag_);
        if (!e && tag_ == Tag)
            if (const std::optional<TableEntry> g = table.find(own, opp, GuessTag))
                hint = g->move; // the narrowed search's best move: its bounds say nothing here
        if (e) {
            if (e->lower >= beta)
                return e->lower;
            if (e->upper <= alpha)
                return e->upper;
            if (e->lower == e->upper)
                return e->lower;
            alpha = alpha > e->lower ? alpha : e->lower;
            beta = beta < e->upper ? beta : e->upper;
            hint = e->move;
        }
        if (const int ceiling = stabilityCeiling(own, opp, alpha); ceiling <= alpha)
            return ceiling;
        const Bits moves = known == UnknownMoves ? movesFor(own, opp) : known;
        if (moves == 0)
            return passOrEnd(own, opp, alpha, beta, empties);
        Child children[64];
        // The children's lines load while their keys are made.
        SolverTable& childTable = tableFor(empties - 1);
        const int n = childrenOf(own, opp, moves, children, empties - 1 > LightCells ? &childTable : nullptr);
        const Bits odd = oddQuadrants(~(own | opp));
        for (int i = 0; i < n; ++i)
            children[i].key = orderKey(children[i], odd); // while the table loads the children
        // A child already known to be bad enough for the opponent cuts.
        if (empties >= EtcMin)
            for (int i = 0; i < n; ++i)
                if (const std::optional<TableEntry> e =
                        childTable.find(children[i].own, children[i].opp, tag_);
                    e && -e->upper >= beta)
                    return -e->upper;
        const int alpha0 = alpha;
        int best = -Max - 1, bestBit = -1;
        // The table's move alone often cuts: its siblings need no shallow searches then.
        int first = 0;
        if (const int h = hintIndex(children, n, hint); h >= 0 && empties >= ProbeMin && !width_) {
            std::swap(children[0], children[h]);
            best = -solve(children[0].own, children[0].opp, -beta, -alpha, empties - 1, children[0].moves);
            if (stopped_)
                return 0;
            bestBit = children[0].bit;
            if (best >= beta) {
                table.store(own, opp, tag_, best, Max, bestBit, nodes_ - nodesBefore);
                return best;
            }
            first = 1;
        }
        orderChildren(children + first, n - first, empties, hint);
        const int tried = width_ && empties >= GuessNarrowMin && width_ < n ? width_ : n;
        for (int i = first; i < tried; ++i) {
            if (i >= SplitAfter && tried - i >= 2 && empties >= SplitMin && pool_ && pool_->idle()) {
                splitRest(children, i, tried, alpha, beta, empties, best, bestBit);
                if (stopped_)
                    return 0;
                break;
            }
            const Child c = takeBest(children, i, n);
            const int floor = best > alpha ? best : alpha;
            int v;
            if (i == 0 || beta - floor <= 1) {
                v = -solve(c.own, c.opp, -beta, -floor, empties - 1, c.moves);
            } else {
                // Later moves first only have to show they are no better.
                v = -solve(c.own, c.opp, -floor - 1, -floor, empties - 1, c.moves);
                if (v > floor && v < beta && !stopped_)
                    v = -solve(c.own, c.opp, -beta, -v, empties - 1, c.moves);
            }
            if (stopped_)
                return 0; // nothing of a stopped search is stored
            if (v > best) {
                best = v;
                bestBit = c.bit;
                if (best >= beta)
                    break;
            }
        }
        const int lower = best > alpha0 ? best : -Max;
        const int upper = best < beta ? best : Max;
        table.store(own, opp, tag_, lower, upper, bestBit, nodes_ - nodesBefore);
        return best;
    }
};

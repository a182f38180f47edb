// The hint: every cell's value by the midgame search first, then exact values
// near the end; the evaluation's choice where the search cannot run.
#include <algorithm>
#include <optional>

#include "analysis/analysis.h"
#include "analysis/guess.h"
#include "engine/midgame.h"
#include "engine/solver.h"

namespace {

constexpr Scoring Players = Scoring::EmptiesToWinner;
// Above this many empty cells the exact hint's solves use every core; below,
// they end in moments on one.
constexpr int ParallelHintEmpties = 16;
constexpr double GuessSeconds = 0.5;
constexpr double PreviewSeconds = 0.2; // the evaluation's choice while an exact hint takes seconds

struct Root {
    Bits own, opp;
    const CancelFlag& cancel;
    SolverHelpers* helpers = nullptr; // the solves' other threads, if any

    // The value for `own` of playing `bit`, exact inside (alpha, beta).
    int valueOf(int bit, int alpha, int beta) const
    {
        const Bits flips = flipsOf(bit, own, opp);
        return -solveWindow(opp & ~flips, own | flips | Bits{1} << bit, Players, -beta, -alpha, &cancel,
                            helpers);
    }
};

int bitOfMove(Move m)
{
    return bitOf(m.column, m.row);
}

void allValues(const Root& root, std::vector<CellHint>& cells)
{
    int best = -64;
    for (CellHint& c : cells) {
        c.value = root.valueOf(bitOfMove(c.move), -64, 64);
        c.hasValue = true;
        c.exact = true;
        best = std::max(best, c.value);
        if (root.cancel.load())
            return;
    }
    for (CellHint& c : cells)
        c.best = c.value == best;
}

// The exact best value, then for each cell only whether it reaches it: a
// null window, since no move does better than the best. The solve's own
// best move goes first, then `prefer`, as they are likely best; `firstBest`
// hears of the first best cell.
void bestValues(const Root& root, std::vector<CellHint>& cells, Move prefer, const FirstBest& firstBest)
{
    const int best = solveWindow(root.own, root.opp, Players, -64, 64, &root.cancel, root.helpers);
    const int solved = tableMove(root.own, root.opp, Players);
    auto rank = [&](const CellHint* c) {
        return bitOfMove(c->move) == solved ? 0 : c->move == prefer ? 1 : 2;
    };
    std::vector<CellHint*> order;
    for (CellHint& c : cells)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return rank(a) < rank(b); });
    bool told = false;
    for (CellHint* c : order) {
        if (root.cancel.load())
            return;
        c->best = root.valueOf(bitOfMove(c->move), best - 1, best) >= best;
        c->hasValue = c->best;
        c->exact = c->best;
        c->value = c->best ? best : 0;
        if (c->best && !told && firstBest && !root.cancel.load()) { // a stopped check proves nothing
            told = true;
            Hint first{HintKind::BestValue, {}, false};
            for (const CellHint& other : cells)
                first.cells.push_back(&other == c ? *c : CellHint{other.move, false, 0, false, false, {}});
            firstBest(first);
        }
    }
}

std::vector<CellHint> legalCells(const Root& root)
{
    std::vector<CellHint> cells;
    for (Bits moves = legalMoves(root.own, root.opp); moves; moves &= moves - 1)
        cells.push_back({moveOfBit(lowestBit(moves)), false, 0, false, false, {}});
    return cells;
}

void markGuess(const Root& root, std::vector<CellHint>& cells, double seconds)
{
    const Move best = moveOfBit(guessBestMove(root.own, root.opp, seconds, root.cancel));
    for (CellHint& c : cells)
        c.best = c.move == best;
}

std::vector<Move> movesOfLine(const Line& line)
{
    std::vector<Move> moves;
    for (int bit : line)
        moves.push_back(bit < 0 ? Move{0, 0} : moveOfBit(bit));
    return moves;
}

int emptiesOf(const Board& board)
{
    return 64 - stoneCount(bitsOfColour(Black, board) | bitsOfColour(White, board));
}

// The exact best value and cells when the estimate already holds exact
// values: the best of them is a floor no other cell needs to be solved
// below, so each other cell is only tested against it (whether it is worse,
// as good or better, in one narrow solve), the likeliest first. Only a
// better cell is solved further. The estimate has an exact value.
void bestAboveExact(const Root& root, const Hint& estimate, std::vector<CellHint>& cells)
{
    int best = -64;
    for (const CellHint& e : estimate.cells)
        if (e.exact)
            best = std::max(best, e.value);
    std::vector<size_t> open;
    for (size_t i = 0; i < cells.size(); ++i) {
        const CellHint& e = estimate.cells[i];
        cells[i].best = e.exact && e.value == best;
        if (!e.exact)
            open.push_back(i);
    }
    std::stable_sort(open.begin(), open.end(),
                     [&](size_t a, size_t b) { return estimate.cells[a].value > estimate.cells[b].value; });
    for (size_t i : open) {
        const int bit = bitOfMove(cells[i].move);
        int v = root.valueOf(bit, best - 1, best + 1);
        if (root.cancel.load())
            return;
        if (v > best) { // a new best: exact from the bound found on
            v = root.valueOf(bit, v - 1, 64);
            if (root.cancel.load())
                return;
            for (CellHint& c : cells)
                c.best = false;
            best = v;
        }
        cells[i].best = v == best;
    }
    for (CellHint& c : cells) {
        c.hasValue = c.exact = c.best;
        c.value = c.best ? best : 0;
    }
}

} // namespace

bool hintHasPreview(const Board& board)
{
    const int empties = 64 - stoneCount(bitsOfColour(Black, board) | bitsOfColour(White, board));
    return empties > AllValuesEmpties && empties <= BestValueEmpties;
}

Hint previewHint(const Board& board, int colour, const CancelFlag& cancel, double guessSeconds)
{
    Hint hint;
    const Root root{bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), cancel};
    hint.cells = legalCells(root);
    if (!hint.cells.empty()) {
        hint.kind = HintKind::BestGuess;
        markGuess(root, hint.cells, guessSeconds);
    }
    hint.cancelled = cancel.load();
    return hint;
}

Move firstBestCell(const Hint& hint)
{
    for (const CellHint& c : hint.cells)
        if (c.best)
            return c.move;
    return {0, 0};
}

Hint computeHint(const Board& board, int colour, const CancelFlag& cancel, double guessSeconds, Move prefer,
                 const FirstBest& firstBest)
{
    Hint hint;
    Root root{bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), cancel};
    hint.cells = legalCells(root);
    if (hint.cells.empty())
        return hint;
    const int empties = 64 - stoneCount(root.own | root.opp);
    // Every core on each exact solve; the threads end with the hint.
    std::optional<SolverHelpers> helpers;
    if (empties <= BestValueEmpties && empties > ParallelHintEmpties) {
        helpers.emplace();
        root.helpers = &*helpers;
    }
    if (empties <= AllValuesEmpties) {
        hint.kind = HintKind::AllValues;
        allValues(root, hint.cells);
    } else if (empties <= BestValueEmpties) {
        hint.kind = HintKind::BestValue;
        bestValues(root, hint.cells, prefer, firstBest);
    } else {
        hint.kind = HintKind::BestGuess;
        markGuess(root, hint.cells, guessSeconds);
    }
    hint.cancelled = cancel.load();
    return hint;
}

MidgameLimits estimateLimits(double seconds)
{
    MidgameLimits limits;
    limits.seconds = seconds;
    limits.exactFrom = BestValueEmpties;
    return limits;
}

Hint estimateHint(const Board& board, int colour, const CancelFlag& cancel, double seconds)
{
    if (!midgameReady())
        return previewHint(board, colour, cancel, seconds);
    Hint hint;
    const MidgameValues found =
        midgameValues(bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board),
                      estimateLimits(seconds), &cancel);
    hint.cancelled = found.stopped || cancel.load();
    if (hint.cancelled || found.moves.empty())
        return hint;
    hint.kind = HintKind::Estimates;
    int best = -64;
    for (const MoveValue& m : found.moves) { // in bit order, as legalCells
        const int value = discsOf(m.value);
        hint.cells.push_back({moveOfBit(m.bit), true, value, false, m.exact, movesOfLine(m.line)});
        best = std::max(best, value);
    }
    for (CellHint& c : hint.cells)
        c.best = c.value == best;
    return hint;
}

bool exactHintAdds(const Board& board, const Hint& estimate)
{
    if (emptiesOf(board) > BestValueEmpties)
        return false;
    if (estimate.kind != HintKind::Estimates)
        return true;
    return std::any_of(estimate.cells.begin(), estimate.cells.end(),
                       [](const CellHint& c) { return !c.exact; });
}

Hint mergeHints(const Hint& exact, const Hint& estimate)
{
    Hint merged = exact;
    if (estimate.kind != HintKind::Estimates || estimate.cells.size() != exact.cells.size())
        return merged;
    int best = -64;
    for (const CellHint& c : exact.cells)
        if (c.best && c.hasValue)
            best = std::max(best, c.value);
    for (size_t i = 0; i < merged.cells.size(); ++i) {
        CellHint& c = merged.cells[i];
        const CellHint& e = estimate.cells[i];
        c.line = e.line;
        if (c.hasValue || best == -64)
            continue;
        // Below the best, which exact values, all even, miss by two discs at least.
        c.hasValue = true;
        c.exact = e.exact;
        c.value = e.exact ? e.value : std::min(e.value, best - 2);
    }
    return merged;
}

Hint exactAfterEstimate(const Board& board, int colour, const CancelFlag& cancel, const Hint& estimate,
                        const FirstBest& firstBest)
{
    Root root{bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), cancel};
    Hint exact{HintKind::BestValue, legalCells(root), false};
    const bool matches =
        std::equal(estimate.cells.begin(), estimate.cells.end(), exact.cells.begin(), exact.cells.end(),
                   [](const CellHint& a, const CellHint& b) { return a.move == b.move; });
    if (!matches || std::none_of(estimate.cells.begin(), estimate.cells.end(),
                                 [](const CellHint& c) { return c.exact; })) {
        exact =
            computeHint(board, colour, cancel, GuessSeconds, firstBestCell(estimate), [&](const Hint& first) {
                if (firstBest)
                    firstBest(mergeHints(first, estimate));
            });
        return mergeHints(exact, estimate);
    }
    std::optional<SolverHelpers> helpers;
    if (emptiesOf(board) > ParallelHintEmpties) {
        helpers.emplace();
        root.helpers = &*helpers;
    }
    bestAboveExact(root, estimate, exact.cells);
    exact.cancelled = cancel.load();
    return mergeHints(exact, estimate);
}

namespace {

// Every cell's estimate within a second, then, near the end, the exact values
// as the solver proves them.
Hint estimatedThenExact(const Board& board, int colour, const CancelFlag& cancel, const FirstBest& send)
{
    const Hint estimate = estimateHint(board, colour, cancel);
    if (estimate.cancelled || !exactHintAdds(board, estimate))
        return estimate;
    send(estimate);
    return exactAfterEstimate(board, colour, cancel, estimate, send);
}

// Without the midgame search: from 21 to 24 empty cells the evaluation's
// choice, then one exact best cell as soon as it is proven, then all of them.
Hint guessedThenExact(const Board& board, int colour, const CancelFlag& cancel, const FirstBest& send)
{
    Move guess{0, 0};
    if (hintHasPreview(board)) {
        const Hint preview = previewHint(board, colour, cancel, PreviewSeconds);
        send(preview);
        guess = firstBestCell(preview);
    }
    return computeHint(board, colour, cancel, GuessSeconds, guess, send);
}

} // namespace

Hint stagedHint(const Board& board, int colour, const CancelFlag& cancel, const FirstBest& send)
{
    return midgameReady() ? estimatedThenExact(board, colour, cancel, send)
                          : guessedThenExact(board, colour, cancel, send);
}

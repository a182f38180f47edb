// The hint: exact values near the end, the evaluation's choice before.
#include <algorithm>
#include <optional>

#include "analysis/analysis.h"
#include "analysis/guess.h"
#include "engine/solver.h"

namespace {

constexpr Scoring Players = Scoring::EmptiesToWinner;
// Above this many empty cells the exact hint's solves use every core; below,
// they end in moments on one.
constexpr int ParallelHintEmpties = 16;

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
        c->value = c->best ? best : 0;
        if (c->best && !told && firstBest && !root.cancel.load()) { // a stopped check proves nothing
            told = true;
            Hint first{HintKind::BestValue, {}, false};
            for (const CellHint& other : cells)
                first.cells.push_back(&other == c ? *c : CellHint{other.move, false, 0, false});
            firstBest(first);
        }
    }
}

std::vector<CellHint> legalCells(const Root& root)
{
    std::vector<CellHint> cells;
    for (Bits moves = legalMoves(root.own, root.opp); moves; moves &= moves - 1)
        cells.push_back({moveOfBit(lowestBit(moves)), false, 0, false});
    return cells;
}

void markGuess(const Root& root, std::vector<CellHint>& cells, double seconds)
{
    const Move best = moveOfBit(guessBestMove(root.own, root.opp, seconds, root.cancel));
    for (CellHint& c : cells)
        c.best = c.move == best;
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

// What the engine can tell the player: the value of each move for the side to
// move (a hint), and the analysis of a played game from its first move to its
// end. Plain C++ over the fast engine and the midgame search; the window code
// shows the results.
//
// Values are final disc differences counted as players count them: the empty
// cells of a game that ends early go to the winner. A value is exact (the
// solver's) or an estimate (the midgame search's, rounded to whole discs).
//
// Threads:
// - estimateHint, computeHint, previewHint and analyseGame run on the thread
//   that calls them, which must not be the window's thread (a hint takes a
//   second or more, an analysis up to a minute). estimateHint, analyseGame
//   and computeHint from 17 empty cells also start helper threads, so they
//   use both cores, and join them before returning: nothing of a call runs on
//   after it returns.
// - Any thread may set the CancelFlag passed in. The call then returns within
//   a few milliseconds with `cancelled` set; its other fields are then
//   incomplete and must not be shown.
// - AnalysisProgress may be read from any thread while analyseGame runs.
// - Hints, analyses and the computer levels may run at the same time on
//   different threads: every thread searches with a table of its own.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "board/board.h"
#include "board/moves.h"
#include "engine/midgame.h"

using CancelFlag = std::atomic<bool>;

// ---- hint ----

constexpr int AllValuesEmpties = 20;    // up to here: every legal cell's exact value
constexpr int BestValueEmpties = 24;    // up to here: the exact best value and its cells
constexpr double EstimateSeconds = 1.0; // the midgame search's time for every cell's value

enum class HintKind {
    NoMove,    // the side to move has no legal cell
    AllValues, // every legal cell carries its exact value
    BestValue, // the best cells carry their exact value; the other cells none, or an estimate
    BestGuess, // one best cell by a time-boxed search of the evaluation; no values
    Estimates, // every legal cell carries a value, exact where the solver finished in time
};

struct CellHint {
    Move move;
    bool hasValue;          // value below is meaningful
    int value;              // for the side to move, in discs
    bool best;              // one of the best cells
    bool exact = false;     // value is exact, not an estimate
    std::vector<Move> line; // the line expected after playing here, this move first; passes as (0, 0)
};

struct Hint {
    HintKind kind = HintKind::NoMove;
    std::vector<CellHint> cells; // every legal cell, in column-major order
    bool cancelled = false;
};

// Told, on the calling thread, of a BestValue hint with one best cell
// marked, as soon as that cell is proven; the other cells are not yet marked.
using FirstBest = std::function<void(const Hint&)>;

// The hint for `colour` to move on `board`. Above 24 empty cells the guess
// searches for `guessSeconds`. From 21 to 24, `prefer` (a cell likely best,
// such as the preview's) is checked first and `firstBest` hears of the first
// best cell before the others are checked.
Hint computeHint(const Board& board, int colour, const CancelFlag& cancel, double guessSeconds = 0.5,
                 Move prefer = {0, 0}, const FirstBest& firstBest = {});

// Whether the exact hint for `board` may take seconds (more than 20 empty
// cells), so that a quick preview is worth showing first.
bool hintHasPreview(const Board& board);
// The preview: the evaluation's best cell after `guessSeconds`, as a
// BestGuess hint (no values) whatever the count of empty cells.
Hint previewHint(const Board& board, int colour, const CancelFlag& cancel, double guessSeconds);
// The first cell `hint` marks best, such as the preview's guess; {0, 0} if none.
Move firstBestCell(const Hint& hint);

// Every legal cell's value within about `seconds`, by the midgame search on
// both cores, with its line: an Estimates hint. Without the search's
// evaluation, previewHint's BestGuess instead.
Hint estimateHint(const Board& board, int colour, const CancelFlag& cancel, double seconds = EstimateSeconds);
// The limits of estimateHint's search: the solver is tried up to
// BestValueEmpties, where it often finishes within the second.
MidgameLimits estimateLimits(double seconds = EstimateSeconds);
// Whether computeHint has exact values to add to `estimate`: at most 24
// empty cells, and a cell whose value is not exact yet.
bool exactHintAdds(const Board& board, const Hint& estimate);
// The exact hint with the estimate's values on the cells it leaves without
// one, kept below the exact best value (no other cell reaches it), and the
// estimate's lines on every cell.
Hint mergeHints(const Hint& exact, const Hint& estimate);

// The exact hint after `estimate` (estimateHint's, for the same position):
// the best value and cells, proven, and the estimate's values elsewhere as
// mergeHints puts them. The best of the estimate's exact values is a floor
// the other cells are only tested against; without one, computeHint with
// the estimate's best cell first, `firstBest` hearing of its first step.
Hint exactAfterEstimate(const Board& board, int colour, const CancelFlag& cancel, const Hint& estimate,
                        const FirstBest& firstBest = {});

// The hint as the window shows it, stage by stage: every cell's estimate
// within a second, then near the end the exact values as the solver proves
// them (without the midgame search: the evaluation's choice, then the exact
// values). `send` hears of each stage but the last, which is returned.
Hint stagedHint(const Board& board, int colour, const CancelFlag& cancel, const FirstBest& send);

// ---- game analysis ----

// Every position is first valued by a search this many moves deep (the
// estimates); then the solver works back from the end, position by
// position, while the analysis is within its time.
constexpr int EstimateDepth = 10;
constexpr int ExactAnalysisEmpties = 30; // the solver is not tried further from the end
constexpr double AnalysisSeconds = 50;   // the solver starts no position after this, and stops at it

struct AnalysisLimits {
    int estimateDepth = EstimateDepth;
    int exactFrom = ExactAnalysisEmpties;
    double seconds = AnalysisSeconds; // the estimates always finish, whatever the time
};

struct PositionValue {
    bool known = false; // black holds an estimate or, when exact, the exact value
    bool exact = false;
    int black = 0; // the final difference for Black under best play
};

struct TurnAnalysis {
    int colour;     // the side that moved or passed
    Move move;      // (0, 0) for a pass
    bool known;     // a move with values: the fields below hold
    bool exact;     // the values below are exact (else estimates)
    int value;      // the value of the move played, for `colour`
    Move best;      // a best move there: the one played when it is best
    int bestValue;  // its value, for `colour`
    bool lostDiscs; // value < bestValue, by at least EstimatedLoss discs for estimates
};

// An estimated loss smaller than this is within the estimates' error.
constexpr int EstimatedLoss = 3;

struct GameAnalysis {
    std::vector<PositionValue> positions; // [i]: after the first i turns ([0]: the start)
    std::vector<TurnAnalysis> turns;      // [i]: the i-th turn, counted from 0
    // The turns analysed: all of them, or those before the first turn that
    // is not legal in its position (a move on an illegal cell, or a pass
    // while the side has a move). Nothing after it is analysed.
    int legalTurns = 0;
    int estimateDepth = 0; // moves the estimates looked ahead
    bool cancelled = false;
};

// Read from any thread while analyseGame runs: the positions done so far,
// and their values as each is found (an estimate first, exact later).
class AnalysisProgress {
  public:
    std::atomic<int> done{0};  // positions valued (estimates) and tried by the solver
    std::atomic<int> total{0}; // both counts together, set when the analysis starts

    // A copy of the values found so far; empty until the analysis starts.
    std::vector<PositionValue> positions() const;
    void start(size_t positions, int total);
    void found(size_t position, PositionValue value);

  private:
    mutable std::mutex mutex_;
    std::vector<PositionValue> positions_;
};

// Analyses the game that starts on `start` with `firstColour` to move and
// goes on with `turns` (passes as (0, 0)).
GameAnalysis analyseGame(const Board& start, int firstColour, const std::vector<Move>& turns,
                         const CancelFlag& cancel, AnalysisProgress* progress = nullptr,
                         const AnalysisLimits& limits = {});

// What the engine can tell the player: the value of each move for the side to
// move (a hint), and the exact analysis of a played game from 24 empty cells
// to its end. Plain C++ over the fast engine; the window code shows the
// results.
//
// Values are final disc differences counted as players count them: the empty
// cells of a game that ends early go to the winner.
//
// Threads:
// - computeHint, previewHint and analyseGame run on the thread that calls
//   them, which must not be the window's thread (an exact hint takes up to
//   seconds, an analysis more). analyseGame, and computeHint from 17 empty
//   cells, also start helper threads, so that they use every core, and join
//   them before returning: nothing of a call runs on after it returns.
// - Any thread may set the CancelFlag passed in. The call then returns within
//   a few milliseconds with `cancelled` set; its other fields are then
//   incomplete and must not be shown.
// - AnalysisProgress may be read from any thread while analyseGame runs.
// - Hints, analyses and the computer levels may run at the same time on
//   different threads: every thread searches with a table of its own.
#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "board/board.h"
#include "board/moves.h"

using CancelFlag = std::atomic<bool>;

// ---- hint ----

constexpr int AllValuesEmpties = 20; // up to here: every legal cell's exact value
constexpr int BestValueEmpties = 24; // up to here: the exact best value and its cells

enum class HintKind {
    NoMove,    // the side to move has no legal cell
    AllValues, // every legal cell carries its exact value
    BestValue, // the best cells carry their exact value; the other cells none
    BestGuess, // one best cell by a time-boxed search of the evaluation; no values
};

struct CellHint {
    Move move;
    bool hasValue; // value below is exact
    int value;     // for the side to move
    bool best;     // one of the best cells
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

// ---- game analysis ----

constexpr int ExactAnalysisEmpties = 24;

struct PositionValue {
    bool exact; // the position has at most 24 empty cells
    int black;  // when exact: the final difference for Black under best play
};

struct TurnAnalysis {
    int colour;    // the side that moved or passed
    Move move;     // (0, 0) for a pass
    bool exact;    // a move played from at most 24 empty cells: the fields below hold
    int value;     // the exact value of the move played, for `colour`
    Move best;     // a best move there: the one played when it is best
    int bestValue; // its value, for `colour`; value < bestValue: discs were lost
};

struct GameAnalysis {
    std::vector<PositionValue> positions; // [i]: after the first i turns ([0]: the start)
    std::vector<TurnAnalysis> turns;      // [i]: the i-th turn, counted from 0
    // The turns analysed: all of them, or those before the first turn that
    // is not legal in its position (a move on an illegal cell, or a pass
    // while the side has a move). Nothing after it is analysed.
    int legalTurns = 0;
    bool cancelled = false;
};

struct AnalysisProgress {
    std::atomic<int> done{0};  // positions solved so far
    std::atomic<int> total{0}; // positions to solve, set when the analysis starts
};

// Analyses the game that starts on `start` with `firstColour` to move and
// goes on with `turns` (passes as (0, 0)).
GameAnalysis analyseGame(const Board& start, int firstColour, const std::vector<Move>& turns,
                         const CancelFlag& cancel, AnalysisProgress* progress = nullptr);

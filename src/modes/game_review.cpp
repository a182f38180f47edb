#include "modes/game_review.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "analysis/analysis.h"
#include "engine/midgame.h"
#include "modes/record.h"
#include "modes/record_game.h"
#include "platform/platform.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/playflow.h"

namespace {

constexpr uintptr_t ProgressTimer = 1;
constexpr int ProgressInterval = 100;
constexpr Colour PlayedColour = rgb(220, 30, 30);
constexpr Colour BestColour = rgb(30, 60, 230);

// Owned by the window's thread; the worker reads the game, writes the result
// and progress and, last of all, handedOver.
struct ReviewRequest {
    Window* target; // the analysis window
    Game game;
    CancelFlag cancel{false};
    AnalysisProgress progress;
    GameAnalysis result;
    std::atomic<bool> handedOver{false};
    bool shown = false; // the result is on screen: the progress no longer draws over it
};

Window* ownerWindow = nullptr;
Window* reviewWindow = nullptr;
std::unique_ptr<ReviewRequest> request; // from the start until the worker is joined
Thread* reviewThread = nullptr;
Game shownGame;                      // the game the window shows, once analysed
std::vector<int> lineTurns;          // per list line: the turns played before its move
std::vector<TurnAnalysis> lineMoves; // per list line: its move, played and best
bool stopping = false;               // inside stopWorker, which handles the worker's late result

// The played and the best move framed on the main board, while it shows the
// position they were chosen in.
struct BoardMarks {
    bool shown = false;
    Board board;
    int turns = 0;
    Move played, best;
} boardMarks;

unsigned reviewThreadProc(void* argument)
{
    auto* job = static_cast<ReviewRequest*>(argument);
    job->result =
        analyseGame(job->game.start, job->game.firstSide, job->game.turns, job->cancel, &job->progress);
    sendMessage(job->target, WM_ANALYSIS_DONE, 0, reinterpret_cast<LPARAM>(job));
    job->handedOver = true; // the window may free the request from here on
    return 0;
}

bool requestHandedOver()
{
    return request == nullptr || request->handedOver;
}

void joinWorker()
{
    joinThread(reviewThread);
    reviewThread = nullptr;
    request.reset();
}

void stopWorker()
{
    if (reviewThread == nullptr || stopping)
        return;
    stopping = true;
    request->cancel = true;
    serveSentMessagesUntil(ownerWindow, requestHandedOver);
    joinWorker();
    stopping = false;
}

bool sameGame(const Game& a, const Game& b)
{
    return a.start == b.start && a.firstSide == b.firstSide && a.turns == b.turns;
}

// As a click on the record line of that turn; nothing once the main window
// shows another game or has left record mode.
bool showTurn(int turns)
{
    boardMarks.shown = false;
    if (gameState != Replay || !sameGame(recordedGame(), shownGame) || turns < 0 ||
        turns > static_cast<int>(shownGame.turns.size()))
        return false;
    listBoxSetSelection(recordList, recordLineOf(turns));
    sendMessage(ownerWindow, WM_COMMAND, RecordListId | (WPARAM{LBN_SELCHANGE} << 16),
                reinterpret_cast<LPARAM>(recordList));
    setAnalysisSelection(reviewWindow, turns);
    return true;
}

// The position a lost move was played in, with that move and the best one
// framed.
void showLostMove(int line)
{
    if (!showTurn(lineTurns[line]))
        return;
    boardMarks = {true, liveBoard, lineTurns[line], lineMoves[line].move, lineMoves[line].best};
    invalidateWindow(ownerWindow);
    const std::string text =
        std::to_string(lineTurns[line] + 1) + "手目を打つ前：赤枠が打った手、青枠が最善手";
    setAnalysisText(reviewWindow, text.c_str());
}

std::string valueText(int value, bool exact = true)
{
    std::string text = std::to_string(value);
    if (value > 0)
        text.insert(text.begin(), '+');
    return exact ? text : "≒" + text;
}

std::string cellText(Move m)
{
    return {static_cast<char>('a' + m.column - 1), static_cast<char>('0' + m.row)};
}

// The values found so far; a turn's point is marked once its move is known
// to have lost discs.
void showGraph(int lastTurn, const std::vector<PositionValue>& positions,
               const std::vector<TurnAnalysis>& turns)
{
    std::vector<GraphPoint> points;
    for (size_t i = 0; i < positions.size(); ++i)
        if (positions[i].known)
            points.push_back({static_cast<int>(i), positions[i].black,
                              i > 0 && i <= turns.size() && turns[i - 1].lostDiscs, positions[i].exact});
    const std::string legend =
        midgameReady() ? "○推定（" + std::to_string(EstimateDepth) + "手読み）　●完全読み" : "●完全読み";
    setAnalysisGraph(reviewWindow, lastTurn, points.data(), static_cast<int>(points.size()), legend.c_str());
}

// The first turn from which every position's value is exact; -1 for none.
int exactFromTurn(const GameAnalysis& a)
{
    int first = -1;
    for (int i = a.legalTurns; i >= 0 && a.positions[i].exact; --i)
        first = i;
    return first;
}

std::string summary(const GameAnalysis& a, size_t lost)
{
    const int exactFrom = exactFromTurn(a);
    const std::string count = lost == 0 ? "石損はありません" : "石損 " + std::to_string(lost) + "手";
    if (exactFrom == 0 || a.estimateDepth == 0)
        return count + "（完全読み）";
    const std::string estimates = "≒は" + std::to_string(a.estimateDepth) + "手読みの推定";
    if (exactFrom < 0)
        return count + "（" + estimates + "）";
    return count + "（" + estimates + "、" + std::to_string(exactFrom) + "手目から完全読み）";
}

void showLostDiscs(const GameAnalysis& a)
{
    Window* list = analysisList(reviewWindow);
    listBoxReset(list);
    lineTurns.clear();
    lineMoves.clear();
    for (int i = 0; i < a.legalTurns; ++i)
        if (a.turns[i].lostDiscs) {
            listBoxAddString(list, lostDiscsLine(i + 1, a.turns[i]).c_str());
            lineTurns.push_back(i);
            lineMoves.push_back(a.turns[i]);
        }
    setAnalysisText(reviewWindow, withOpeningName(summary(a, lineTurns.size()), shownGame).c_str());
}

void onAnalysisDone(const void* sent)
{
    if (request == nullptr || sent != request.get() || request->cancel || request->result.cancelled)
        return;
    request->shown = true;
    setAnalysisProgress(reviewWindow, 0, 0);
    shownGame = request->game;
    showGraph(request->result.legalTurns, request->result.positions, request->result.turns);
    showLostDiscs(request->result);
}

// The bar and the graph follow the worker until its result is shown; once it
// has handed its result over it ends on its own, and is joined here.
void onProgressTimer(Window* window)
{
    if (request != nullptr && request->shown && !request->handedOver)
        return; // a tick between the result and the hand-over
    if (request != nullptr && !request->handedOver) {
        const int total = std::max(1, request->progress.total.load());
        setAnalysisProgress(window, request->progress.done.load(), total);
        const std::vector<PositionValue> found = request->progress.positions();
        if (!found.empty())
            showGraph(static_cast<int>(found.size()) - 1, found, {});
        return;
    }
    killTimer(window, ProgressTimer);
    if (reviewThread != nullptr)
        joinWorker();
}

void onReviewCommand(Window* window, WPARAM wParam, LPARAM lParam)
{
    switch (loWord(wParam)) {
    case AnalysisCancelId:
        closeGameReview(ownerWindow);
        break;
    case AnalysisGraphId:
        showTurn(static_cast<int>(lParam));
        break;
    case AnalysisListId: {
        const int line = listBoxSelection(analysisList(window));
        if (line >= 0 && line < static_cast<int>(lineTurns.size()))
            showLostMove(line);
        break;
    }
    default:
        break;
    }
}

LRESULT reviewWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onReviewCommand(window, wParam, lParam);
        return 0;
    case WM_TIMER:
        onProgressTimer(window);
        return 0;
    case WM_ANALYSIS_DONE:
        onAnalysisDone(reinterpret_cast<const void*>(lParam));
        return 0;
    case WM_CLOSE:
        closeGameReview(ownerWindow);
        return 0;
    case WM_DESTROY:
        if (window == reviewWindow) { // destroyed from elsewhere: nothing may go on for it
            stopWorker();
            reviewWindow = nullptr;
        }
        return 0;
    default:
        return defaultWindowProc(window, message, wParam, lParam);
    }
}

} // namespace

bool canAnalyseRecord()
{
    return gameState == Replay && recordHasMove();
}

void analyseRecordCommand(Window* window)
{
    closeGameReview(window);
    ownerWindow = window;
    reviewWindow = createAnalysisWindow(window, "棋譜解析", reviewWindowProc);
    if (reviewWindow == nullptr)
        return;
    setAnalysisText(reviewWindow, "全局面を推定し、終盤から完全読みしています…");
    setAnalysisProgress(reviewWindow, 0, 1);
    shownGame = {};
    lineTurns.clear();
    lineMoves.clear();
    boardMarks.shown = false;
    request = std::make_unique<ReviewRequest>();
    request->target = reviewWindow;
    const Game game = recordedGame();
    request->game.start = game.start;
    request->game.firstSide = game.firstSide;
    request->game.turns = game.turns;
    reviewThread = startThread(reviewThreadProc, request.get());
    if (reviewThread == nullptr) {
        request.reset();
        setAnalysisProgress(reviewWindow, 0, 0);
        setAnalysisText(reviewWindow, "解析を始められませんでした。もう一度お試しください。");
        return;
    }
    setTimer(reviewWindow, ProgressTimer, ProgressInterval);
}

void closeGameReview(Window*)
{
    stopWorker();
    if (reviewWindow == nullptr)
        return;
    Window* closing = reviewWindow;
    reviewWindow = nullptr;
    destroyWindow(closing);
}

Window* gameReviewWindow()
{
    return reviewWindow;
}

bool gameReviewRunning()
{
    return reviewThread != nullptr;
}

std::string lostDiscsLine(int number, const TurnAnalysis& turn)
{
    return std::to_string(number) + "手目 " + (turn.colour == Black ? "●" : "○") + cellText(turn.move) + " " +
           valueText(turn.value, turn.exact) + "（最善 " + cellText(turn.best) + " " +
           valueText(turn.bestValue, turn.exact) + "）";
}

namespace {

void frameCell(DeviceContext* dc, Move cell, Colour colour)
{
    if (cell.column < 1 || cell.column > 8 || cell.row < 1 || cell.row > 8)
        return;
    const Rect r = cellRect(cell.column, cell.row);
    Brush* brush = createSolidBrush(colour);
    constexpr int Width = 3;
    fillRect(dc, {r.left + 1, r.top + 1, r.right, r.top + 1 + Width}, brush);
    fillRect(dc, {r.left + 1, r.bottom - Width, r.right, r.bottom}, brush);
    fillRect(dc, {r.left + 1, r.top + 1, r.left + 1 + Width, r.bottom}, brush);
    fillRect(dc, {r.right - Width, r.top + 1, r.right, r.bottom}, brush);
    deleteBrush(brush);
}

} // namespace

void drawReviewMarks(DeviceContext* dc)
{
    if (dc == nullptr || !boardMarks.shown)
        return;
    if (gameState != Replay || moveNumber - 1 != boardMarks.turns || liveBoard != boardMarks.board) {
        boardMarks.shown = false; // another position is shown now
        return;
    }
    frameCell(dc, boardMarks.best, BestColour);
    frameCell(dc, boardMarks.played, PlayedColour);
}

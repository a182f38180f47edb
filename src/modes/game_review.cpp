#include "modes/game_review.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "analysis/analysis.h"
#include "modes/record.h"
#include "modes/record_game.h"
#include "platform/platform.h"
#include "ui/gdi.h"
#include "ui/playflow.h"

namespace {

constexpr uintptr_t ProgressTimer = 1;
constexpr int ProgressInterval = 100;

// Owned by the window's thread; the worker reads the game, writes the result
// and progress and, last of all, handedOver.
struct ReviewRequest {
    Window* target; // the analysis window
    Game game;
    CancelFlag cancel{false};
    AnalysisProgress progress;
    GameAnalysis result;
    std::atomic<bool> handedOver{false};
};

Window* ownerWindow = nullptr;
Window* reviewWindow = nullptr;
std::unique_ptr<ReviewRequest> request; // from the start until the worker is joined
Thread* reviewThread = nullptr;
Game shownGame;             // the game the window shows, once analysed
std::vector<int> lineTurns; // per list line: the turns played up to its move
bool stopping = false;      // inside stopWorker, which handles the worker's late result

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
void showTurn(int turns)
{
    if (gameState != Replay || !sameGame(recordedGame(), shownGame) || turns < 0 ||
        turns > static_cast<int>(shownGame.turns.size()))
        return;
    listBoxSetSelection(recordList, recordLineOf(turns));
    sendMessage(ownerWindow, WM_COMMAND, RecordListId | (WPARAM{LBN_SELCHANGE} << 16),
                reinterpret_cast<LPARAM>(recordList));
}

std::string valueText(int value)
{
    std::string text = std::to_string(value);
    if (value > 0)
        text.insert(text.begin(), '+');
    return text;
}

std::string cellText(Move m)
{
    return {static_cast<char>('a' + m.column - 1), static_cast<char>('0' + m.row)};
}

bool lostDiscs(const TurnAnalysis& t)
{
    return t.exact && t.value < t.bestValue;
}

void showGraph(const GameAnalysis& a)
{
    std::vector<GraphPoint> points;
    for (int i = 0; i <= a.legalTurns; ++i)
        if (a.positions[i].exact)
            points.push_back({i, a.positions[i].black, i > 0 && lostDiscs(a.turns[i - 1])});
    setAnalysisGraph(reviewWindow, a.legalTurns, points.data(), static_cast<int>(points.size()),
                     "空き25以上：完全読みの範囲外");
}

void showLostDiscs(const GameAnalysis& a)
{
    Window* list = analysisList(reviewWindow);
    listBoxReset(list);
    lineTurns.clear();
    for (int i = 0; i < a.legalTurns; ++i)
        if (lostDiscs(a.turns[i])) {
            listBoxAddString(list, lostDiscsLine(i + 1, a.turns[i]).c_str());
            lineTurns.push_back(i + 1);
        }
    const std::string text = lineTurns.empty()
                                 ? "空き24からの石損はありません"
                                 : "空き24からの石損：" + std::to_string(lineTurns.size()) + "手";
    setAnalysisText(reviewWindow, withOpeningName(text, shownGame).c_str());
}

void onAnalysisDone(const void* sent)
{
    if (request == nullptr || sent != request.get() || request->cancel || request->result.cancelled)
        return;
    setAnalysisProgress(reviewWindow, 0, 0);
    shownGame = request->game;
    showGraph(request->result);
    showLostDiscs(request->result);
}

// The bar follows the worker; once it has handed its result over it ends on
// its own, and is joined here.
void onProgressTimer(Window* window)
{
    if (request != nullptr && !request->handedOver) {
        const int total = std::max(1, request->progress.total.load());
        setAnalysisProgress(window, request->progress.done.load(), total);
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
            showTurn(lineTurns[line]);
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
    setAnalysisText(reviewWindow, "空き24からの局面を完全読みで解析しています…");
    setAnalysisProgress(reviewWindow, 0, 1);
    shownGame = {};
    lineTurns.clear();
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
           valueText(turn.value) + "（最善 " + cellText(turn.best) + " " + valueText(turn.bestValue) + "）";
}

// A long random walk through the whole game on the real main window: clicks,
// mouse moves, every menu command, dialog answers, timer ticks in any order
// and real computer workers, with the play state checked after every event.
// The seed is printed; SOAK_SEED replays a run, SOAK_EVENTS sets its length.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "../config_home.h"
#include "ai/random.h"
#include "modes/commands.h"
#include "modes/editor.h"
#include "modes/record.h"
#include "modes/settings.h"
#include "platform/qt_window.h"
#include "rules_oracle.h"
#include "soak_checks.h"
#include "ui/computer.h"
#include "ui/gdi.h"
#include "ui/playflow.h"

namespace {

constexpr int WorkerTimeoutMs = 60000;
constexpr int DefaultWatchdogSeconds = 120;
constexpr int RecentEvents = 40;
constexpr uintptr_t TimerIds[] = {0, 1, 2, 3, PassTimer, WaitTimer, BannerTimer};

// Dialog controls the answers use.
enum : int {
    BlackPersonId = 100,
    WhiteComputerId = 103,
    BlackListId = 201,
    WhiteListId = 202,
    WaitEditId = 301,
    EditHintId = 3,
    EditCopyId = 5
};

struct Stats {
    int computerWaits = 0, gameEnds = 0, resignations = 0, replays = 0, undos = 0;
    int stagesWon = 0, trialGames = 0, windows = 0, dialogs = 0, longestRecord = 0;
};

struct SoakRun {
    unsigned seed = 0;
    std::mt19937 rng;
    Window* window = nullptr;
    bool boardInUse = false; // a game was set up since the window opened
    int event = 0;
    std::deque<std::string> recent;
    std::string failure;
    Stats stats;
};

SoakRun* run = nullptr;
std::atomic<long long> lastProgress{0};
std::atomic<int> progressEvent{0};
std::atomic<bool> watchdogStop{false};
std::atomic<long long> clockSeconds{0};

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int uniform(int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(run->rng);
}

bool chance(double p)
{
    return std::bernoulli_distribution(p)(run->rng);
}

void note(const std::string& what)
{
    run->recent.push_back(std::to_string(run->event) + ": " + what);
    if (run->recent.size() > RecentEvents)
        run->recent.pop_front();
}

void fail(const std::string& what)
{
    if (run->failure.empty())
        run->failure = what;
}

// A clock that moves on with every reading, so trial stages differ but a
// replay of the same seed sees the same seconds.
long long soakClock()
{
    return clockSeconds.fetch_add(1);
}

int envInt(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? static_cast<int>(std::strtoul(text, nullptr, 10)) : fallback;
}

// ---- Helpers that act on the window --------------------------------------------

bool pumpWorker()
{
    QElapsedTimer clock;
    clock.start();
    const bool wasRunning = workerThread != nullptr;
    while (workerThread != nullptr && clock.elapsed() < WorkerTimeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (workerThread != nullptr) {
        fail("the computer's worker did not hand over its move within 60 s");
        return false;
    }
    run->stats.computerWaits += wasRunning;
    return true;
}

// False when no timer was pending.
bool fireRandomTimer(Window* window)
{
    std::vector<uintptr_t> pending;
    for (uintptr_t id : TimerIds)
        if (timerPending(window, id))
            pending.push_back(id);
    if (pending.empty())
        return false;
    const uintptr_t id = pending[uniform(0, static_cast<int>(pending.size()) - 1)];
    note("timer " + std::to_string(id));
    fireTimer(window, id);
    return true;
}

// Timers and the worker's hand-over go on while a modal loop runs.
void tickBehindDialog(Window* owner)
{
    for (int k = uniform(1, 3); k > 0; --k) {
        if (workerThread != nullptr && chance(0.5))
            pumpWorker();
        else
            fireRandomTimer(owner);
    }
}

// ---- Dialog answers --------------------------------------------------------------

void answerNewGame(Window* dialog)
{
    for (int k = uniform(0, 3); k > 0; --k)
        clickDialogButton(dialog, uniform(BlackPersonId, WhiteComputerId));
    // Lists: -1 and 7 select nothing, which makes that side a person.
    for (int list : {BlackListId, WhiteListId})
        if (chance(0.6))
            comboSetSelection(dialog, list, uniform(-1, 7));
    const bool ok = chance(0.85);
    note(ok ? "new-game dialog: OK" : "new-game dialog: Cancel");
    clickDialogButton(dialog, ok ? IDOK : IDCANCEL);
}

struct WaitText {
    const char* text;
    int expected; // -1: only the range is certain
};
constexpr WaitText waitTexts[] = {{"0", 0},         {"200", 200},   {"1500", 1500},
                                  {"60000", 60000}, {"007", 7},     {"60001", -1},
                                  {"-5", -1},       {"abc", -1},    {"", -1},
                                  {" 42", -1},      {"12x", -1},    {"99999999999999999999", -1},
                                  {"1e3", -1},      {"２００", -1}, {"2147483648", -1}};

void answerSettings(Window* dialog)
{
    const WaitText& choice = waitTexts[uniform(0, static_cast<int>(std::size(waitTexts)) - 1)];
    setDialogItemText(dialog, WaitEditId, choice.text);
    const bool ok = chance(0.7);
    note(std::string("settings dialog: \"") + choice.text + (ok ? "\" OK" : "\" Cancel"));
    const int before = waitTime;
    clickDialogButton(dialog, ok ? IDOK : IDCANCEL);
    if (waitTime < 0 || waitTime > MaxWaitTime)
        fail("settings dialog set waitTime " + std::to_string(waitTime));
    if (ok && choice.expected >= 0 && waitTime != choice.expected)
        fail(std::string("wait text \"") + choice.text + "\" gave " + std::to_string(waitTime));
    if (!ok && waitTime != before)
        fail("Cancel in the settings dialog changed waitTime");
}

void answerModal(Window* dialog)
{
    if (!run)
        return answerMessageBox(dialog, IDCANCEL);
    ++run->stats.dialogs;
    // A worker that finishes while the dialog is up hands over inside its
    // loop; waiting for it here makes that happen at the same point in every
    // replay of the seed, before anything else behind the dialog.
    if (workerThread != nullptr)
        pumpWorker();
    if (chance(0.3))
        tickBehindDialog(dialog->parent);
    if (dialog->ended)
        return;
    if (dialog->items.count(IDYES)) { // the interrupted game offered back at a start
        const bool yes = chance(0.5);
        note(yes ? "message box: Yes" : "message box: No");
        return answerMessageBox(dialog, yes ? IDYES : IDNO);
    }
    if (dialog->kind == WindowKind::MessageBox) {
        const bool ok = chance(0.4);
        note(ok ? "message box: OK" : "message box: Cancel");
        return answerMessageBox(dialog, ok ? IDOK : IDCANCEL);
    }
    if (dialog->items.count(WaitEditId))
        return answerSettings(dialog);
    if (dialog->items.count(BlackListId))
        return answerNewGame(dialog);
    if (dialog->items.count(EditCopyId)) { // the end of editing; saving would need a file dialog
        static constexpr int choices[] = {IDOK, IDCANCEL, EditHintId, EditCopyId};
        const int choice = choices[uniform(0, 3)];
        note("end of editing: " + std::to_string(choice));
        return clickDialogButton(dialog, choice);
    }
    fail("an unknown dialog came up");
    clickDialogButton(dialog, IDCANCEL);
}

// ---- Events ----------------------------------------------------------------------------

// Now and then with the right button, which only the editor takes.
void click(int x, int y)
{
    const bool right = chance(0.05);
    note((right ? "right click " : "click ") + std::to_string(x) + "," + std::to_string(y));
    sendMessage(run->window, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, makePoint(x, y));
}

// The board's keys and the editor's, as the window's procedure gets them.
void pressKey()
{
    static constexpr unsigned keys[] = {VK_LEFT, VK_RIGHT, VK_UP,     VK_DOWN, VK_HOME,
                                        VK_END,  VK_SPACE, VK_RETURN, VK_BACK, VK_ESCAPE};
    const unsigned key = keys[uniform(0, static_cast<int>(std::size(keys)) - 1)];
    note("key " + std::to_string(key));
    sendMessage(run->window, WM_KEYDOWN, key, 0);
}

// Any pixel of the client area, the board's labels and the panel included.
LPARAM randomPoint()
{
    return makePoint(uniform(0, run->window->image.width() - 1), uniform(0, run->window->image.height() - 1));
}

void clickAnywhere()
{
    const LPARAM point = randomPoint();
    click(static_cast<int>(point & 0xFFFF), static_cast<int>(point >> 16));
}

// Somewhere inside a cell where the side to move may play, when there is one.
void clickLegalCell()
{
    const int side = opponentOf(currentSide);
    std::vector<int> cells;
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (oracle::isLegal(liveBoard, column, row, side))
                cells.push_back(column * 10 + row);
    if (cells.empty())
        return clickAnywhere();
    const int cell = cells[uniform(0, static_cast<int>(cells.size()) - 1)];
    click(30 * (cell / 10) - 10 + uniform(0, 29), 30 * (cell % 10) - 10 + uniform(0, 29));
}

void moveMouse()
{
    note("mouse move");
    sendMessage(run->window, WM_MOUSEMOVE, 0, randomPoint());
}

void resetToProgramStart()
{
    liveBoard = Board{};
    currentSide = Empty;
    moveNumber = 1;
    undoReady = -1;
    trialStage = -1;
    modalOpen = 0;
    bannerUp = 0;
    replayRunning = 0;
    animSlot = 0;
}

void openWindow()
{
    // Each window stands for a fresh run of the program, as after a restart.
    resetToProgramStart();
    note("open window");
    run->window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    if (!run->window)
        return fail("the main window could not be created");
    showWindow(run->window);
    updateWindow(run->window);
    run->boardInUse = false;
    ++run->stats.windows;
}

// The exit command: the window goes, and config.dat holds what was in force.
void exitWindow()
{
    const Rect frame = windowRect(run->window);
    note("exit");
    invokeMenuCommand(run->window, CmdExit);
    if (!run->window->destroyed)
        return fail("the exit command left the window open");
    const std::string problem = checkSavedSettings(frame.left, frame.top);
    if (!problem.empty())
        fail("after exit: " + problem);
    // The widgets go now, as they would once the program's loop returned.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    run->window = nullptr;
}

void menuCommand()
{
    static constexpr int ids[] = {CmdRecordMode,   CmdSettings,     CmdTrial,        CmdPass,
                                  CmdResign,       CmdUndo,         CmdNewGame,      CmdExit,
                                  CmdCopyRecord,   CmdPasteRecord,  CmdPlayFromHere, CmdHint,
                                  CmdEditBoard,    CmdEditClear,    CmdEditStart,    CmdEditWhite,
                                  CmdCopyPosition, CmdShowOpenings, CmdShowLastMove};
    // Resigning, a new game, a trial and a paste end the game in progress:
    // rare enough that many games also run to their end. The editor, opened
    // now and then, is left with its own command or Escape.
    static std::discrete_distribution<int> pick(
        {3, 2, 0.3, 4, 0.6, 3, 0.3, 0.1, 0.5, 0.3, 0.5, 1, 0.4, 0.2, 0.2, 0.2, 0.3, 0.2, 0.2});
    const int id = ids[pick(run->rng)];
    if (id == CmdExit) {
        exitWindow();
        return openWindow();
    }
    // Now and then the command arrives without the menu: a stale accelerator
    // must be refused by the command itself.
    if (chance(0.1)) {
        note("WM_COMMAND " + std::to_string(id));
        sendMessage(run->window, WM_COMMAND, static_cast<WPARAM>(id), 0);
        return;
    }
    note("menu " + std::to_string(id));
    invokeMenuCommand(run->window, id);
}

// The record list's selection change or the play button, after a selection
// somewhere in the list (or none).
void controlCommand()
{
    const int line = uniform(-1, listBoxCount(recordList));
    listBoxSetSelection(recordList, line);
    const int id = chance(0.5) ? RecordListId : PlayButtonId;
    note("control " + std::to_string(id) + " at line " + std::to_string(line));
    const WPARAM code = id == RecordListId ? LBN_SELCHANGE : BN_CLICKED;
    sendMessage(run->window, WM_COMMAND, static_cast<WPARAM>(id) | code << 16, 0);
}

void randomEvent()
{
    if (workerThread != nullptr && chance(0.7)) {
        note("wait for the computer");
        pumpWorker();
        return;
    }
    if (editorOpen() && chance(0.05)) { // the game behind the editor goes on
        note("key escape");
        sendMessage(run->window, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    const int r = uniform(0, 99);
    if (r < 22)
        clickLegalCell();
    else if (r < 30)
        clickAnywhere();
    else if (r < 36)
        moveMouse();
    else if (r < 80) {
        if (!fireRandomTimer(run->window))
            clickLegalCell();
    } else if (r < 93)
        menuCommand();
    else if (r < 96)
        pressKey();
    else
        controlCommand();
}

// ---- Bookkeeping ---------------------------------------------------------------------

struct Snapshot {
    int state, moveNumber, trialStage;
};

Snapshot snapshot()
{
    return {gameState, moveNumber, trialStage};
}

void count(const Snapshot& before)
{
    Stats& s = run->stats;
    s.gameEnds += before.state >= 0 && gameState == GameOver;
    s.resignations += before.state >= 0 && gameState == Resigned;
    s.replays += before.state != Replay && gameState == Replay;
    s.undos += before.state >= 0 && gameState >= 0 && moveNumber == before.moveNumber - 2;
    s.stagesWon += trialStage > before.trialStage && before.trialStage > 0;
    s.trialGames += before.trialStage > 0 && trialStage != before.trialStage;
    s.longestRecord = std::max<int>(s.longestRecord, moveNumber - 1);
}

void checkAfterEvent()
{
    if (run->window == nullptr || run->window->destroyed)
        return fail("the main window went away");
    if (gameState >= 0 || gameState == Replay)
        run->boardInUse = true;
    const std::string problem = checkPlayState(run->window, run->boardInUse);
    if (!problem.empty())
        fail(problem);
}

void watchdog(int limitSeconds)
{
    while (!watchdogStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (nowMs() - lastProgress > limitSeconds * 1000LL) {
            std::fprintf(stderr, "soak: no progress for %d s at event %d; replay with SOAK_SEED=%u\n",
                         limitSeconds, progressEvent.load(), run ? run->seed : 0u);
            std::abort();
        }
    }
}

std::string report()
{
    std::string text = "seed " + std::to_string(run->seed) + ", event " + std::to_string(run->event) + ": " +
                       run->failure + "\nreplay with SOAK_SEED=" + std::to_string(run->seed) +
                       "\nlast events:\n";
    for (const std::string& e : run->recent)
        text += "  " + e + "\n";
    return text;
}

void printStats(int events, long long elapsedMs)
{
    const Stats& s = run->stats;
    std::printf("soak: %d events in %lld ms; %d waits for the computer, %d games ended, %d resigned, %d "
                "record views, "
                "%d undos, %d trial games left (%d won), %d windows, %d dialogs, longest record %d\n",
                events, elapsedMs, s.computerWaits, s.gameEnds, s.resignations, s.replays, s.undos,
                s.trialGames, s.stagesWon, s.windows, s.dialogs, s.longestRecord);
}

// A configuration folder of its own, so config.dat starts absent and is ours
// alone; the working folder too, though nothing may be written there.
struct TempDirectory {
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::path path;
    TempDirectory()
    {
        char pattern[] = "/tmp/soak-XXXXXX";
        path = mkdtemp(pattern);
        std::filesystem::current_path(path);
        useConfigHome(path / "config");
    }
    ~TempDirectory()
    {
        std::filesystem::current_path(home);
        std::filesystem::remove_all(path);
    }
};

unsigned chooseSeed()
{
    std::random_device device;
    return static_cast<unsigned>(envInt("SOAK_SEED", static_cast<int>(device() & 0x7FFFFFFF)));
}

// True when the run kept every check.
bool soakFor(unsigned seed, int events)
{
    TempDirectory directory;
    SoakRun state;
    state.seed = seed;
    state.rng.seed(state.seed);
    run = &state;
    std::printf("soak: seed %u, %d events (replay with SOAK_SEED=%u SOAK_EVENTS=%d)\n", state.seed, events,
                state.seed, events);
    std::fflush(stdout);

    clockSeconds = state.seed;
    setClock(soakClock);
    setManualTimers(true);
    pauseBeforeRestart = [](int) {};
    setModalHook(answerModal);
    setClipboardText(""); // a seed replays the same pastes
    lastProgress = nowMs();
    watchdogStop = false;
    std::thread guard(watchdog, envInt("SOAK_WATCHDOG_SECONDS", DefaultWatchdogSeconds));

    QElapsedTimer clock;
    clock.start();
    openWindow();
    for (state.event = 1; state.event <= events && state.failure.empty(); ++state.event) {
        const Snapshot before = snapshot();
        randomEvent();
        if (state.failure.empty())
            checkAfterEvent();
        count(before);
        progressEvent = state.event;
        lastProgress = nowMs();
    }
    if (state.failure.empty() && state.window)
        exitWindow();
    printStats(state.event - 1, clock.elapsed());
    EXPECT_TRUE(state.failure.empty()) << report();
    if (state.window && !state.window->destroyed)
        destroyWindow(state.window); // still under the watchdog: it waits for a worker

    watchdogStop = true;
    guard.join();
    setModalHook(nullptr);
    setClock(nullptr);
    run = nullptr;
    return state.failure.empty();
}

} // namespace

TEST(Soak, RandomEventsOnTheWholeGame)
{
    soakFor(chooseSeed(), envInt("SOAK_EVENTS", 1500));
}

// Ten runs of 20,000 events from consecutive seeds: `make test-long`, skipped
// otherwise. A failing run is replayed by the test above with its seed.
TEST(SoakLong, TenRunsOfTwentyThousandEvents)
{
    if (!std::getenv("REVERSE_LONG_TESTS"))
        GTEST_SKIP() << "set REVERSE_LONG_TESTS=1 to run";
    const unsigned first = chooseSeed();
    const int runs = envInt("SOAK_RUNS", 10);
    for (int k = 0; k < runs; ++k)
        if (!soakFor(first + k, envInt("SOAK_EVENTS", 20000)))
            break;
}

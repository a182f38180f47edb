// Real computer workers on their own threads: whole games, and the waits of
// closing the window and of a new game while the computer thinks.
#include <sys/stat.h>

#include "modes/commands.h"
#include "platform/qt_window.h"
#include "window_harness.h"

namespace {

// Entries before the end marker are moves or passes; each move added a stone.
void expectConsistentRecord()
{
    int moves = 0;
    for (int n = 1; n < moveNumber; ++n) {
        const Move e = recordEntry(n);
        EXPECT_TRUE(e.column >= 0 && e.column <= 8 && e.row >= 0 && e.row <= 8) << n;
        moves += e.column != 0;
    }
    EXPECT_EQ(recordEntry(moveNumber), (Move{-1, -1}));
    EXPECT_EQ(countStones(Black, liveBoard) + countStones(White, liveBoard), 4 + moves);
}

int pauses = 0, modals = 0;

} // namespace

using Worker = GameWindow;

TEST_F(Worker, PersonAgainstLevelThreeAndTwoComputersPlayToTheEnd)
{
    for (auto [black, white] : {std::pair{0, 4}, std::pair{1, 2}}) {
        open(black, white);
        playToEnd();
        EXPECT_EQ(gameState, GameOver);
        EXPECT_EQ(workerThread, nullptr);
        expectConsistentRecord();
        destroyWindow(window);
    }
    window = nullptr;
}

TEST_F(Worker, ClosingWhileTheComputerThinksWaitsForItsMove)
{
    open(6, 0);
    waitForComputer(window); // no worker yet: returns at once
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    destroyWindow(window);
    window = nullptr;
    EXPECT_EQ(workerThread, nullptr);
    EXPECT_EQ(moveNumber, 2) << "the move landed in the old game";
    struct stat info {};
    EXPECT_EQ(stat(settingsFilePath().c_str(), &info), 0);
}

// A destroyed window drops the worker's move; the wait for the worker ends
// all the same, as the worker records that its send came back.
TEST_F(Worker, AMoveSentToADestroyedWindowStillEndsTheWait)
{
    open(1, 0);
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    window->destroyed = true; // the worker's send is still queued, or still to come
    waitForComputer(window);
    window->destroyed = false;
    EXPECT_EQ(workerThread, nullptr);
    EXPECT_EQ(moveNumber, 1) << "the move reached a destroyed window";
}

TEST_F(Worker, NewGameWhileThinkingFinishesTheMoveThenStartsAfresh)
{
    const auto realPause = pauseBeforeRestart;
    pauseBeforeRestart = [](int) { ++pauses; };
    open(4, 0);
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    // The landed move makes it the person's turn: the resign question comes
    // first, then the new-game dialog.
    setModalHook([](Window* d) { modals++ == 0 ? answerMessageBox(d, IDOK) : clickDialogButton(d, IDOK); });
    onCommand(window, CmdNewGame);
    pauseBeforeRestart = realPause;
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(modals, 2);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_EQ(gameState, ComputerTurn);
    // No stale signal: the next worker is waited for properly.
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    EXPECT_TRUE(pumpUntil([] { return workerThread == nullptr; }));
    EXPECT_EQ(moveNumber, 2);
}

// The system refuses the worker: the turn waits for the next tick, and a new
// game and closing the window still work.
TEST_F(Worker, ARefusedWorkerIsTriedAgainAndNothingWaitsForIt)
{
    const auto realPause = pauseBeforeRestart;
    pauseBeforeRestart = [](int) {};
    open(4, 0);
    failNextThreadStart();
    fireTimer(window, WaitTimer);
    EXPECT_EQ(workerThread, nullptr);
    EXPECT_EQ(currentSide, White) << "Black's turn began without a worker";
    ASSERT_TRUE(timerPending(window, WaitTimer));
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    EXPECT_TRUE(pumpUntil([] { return workerThread == nullptr; }));
    EXPECT_EQ(moveNumber, 2);

    finishAnimations();
    clickFirstLegal();
    finishAnimations();
    failNextThreadStart();
    fireTimer(window, WaitTimer);
    ASSERT_EQ(workerThread, nullptr);
    modals = 0; // the resign question, then the new-game dialog
    setModalHook([](Window* d) { modals++ == 0 ? answerMessageBox(d, IDOK) : clickDialogButton(d, IDOK); });
    onCommand(window, CmdNewGame);
    EXPECT_EQ(modals, 2);
    EXPECT_EQ(moveNumber, 1);
    failNextThreadStart();
    fireTimer(window, WaitTimer);
    destroyWindow(window); // nothing to wait for
    window = nullptr;
    pauseBeforeRestart = realPause;
}

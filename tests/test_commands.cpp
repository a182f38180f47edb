#include "ai/random.h"
#include "board_text.h"
#include "modes_fixture.h"
#include "ui/computer.h"

namespace {

using CommandsTest = ModesTest;

// Entry 23 (Black h8) leaves White without a move: the automatic pass is pending.
constexpr int BeforeWhitesPass = 23;

bool workerDone()
{
    return workerThread == nullptr;
}

} // namespace

TEST_F(CommandsTest, PassWhileTheAutomaticPassIsPendingPassesOnce)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + BeforeWhitesPass});
    ASSERT_EQ(gameState, HumanPass);
    ASSERT_TRUE(timerPending(window, PassTimer));
    ASSERT_TRUE(itemEnabled(CmdPass));

    invokeMenuCommand(window, CmdPass);
    fireTimer(window, PassTimer);
    invokeMenuCommand(window, CmdPass); // grayed again in HumanTurn

    EXPECT_EQ(moveNumber, BeforeWhitesPass + 2);
    EXPECT_EQ(listBoxCount(recordList), BeforeWhitesPass + 1);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_FALSE(timerPending(window, PassTimer));
}

// Resignation and a trial start leave HumanPass another way than the pass
// timer: the automatic pass must not act on what follows.
TEST_F(CommandsTest, ResignOrTrialWhileTheAutomaticPassIsPendingLeaveNoPass)
{
    setClock([] { return 0LL; }); // the trial's person plays Black
    for (const bool trial : {false, true}) {
        SCOPED_TRACE(trial ? "trial" : "resign");
        startGame(0, 0);
        play({shortGame.begin(), shortGame.begin() + BeforeWhitesPass});
        ASSERT_TRUE(timerPending(window, PassTimer));
        if (!trial)
            expectMessageBox(IDOK);
        invokeMenuCommand(window, trial ? CmdTrial : CmdResign);
        EXPECT_EQ(gameState, trial ? HumanTurn : Resigned);
        EXPECT_FALSE(timerPending(window, PassTimer));
    }
}

TEST_F(CommandsTest, GrayedItemsDoNothingFromTheMenuOrAsACommand)
{
    startGame(0, 0);
    EXPECT_FALSE(itemEnabled(CmdPass));
    EXPECT_FALSE(itemEnabled(CmdUndo));
    EXPECT_TRUE(itemEnabled(CmdResign));
    EXPECT_FALSE(itemEnabled(CmdRecordMode));
    invokeMenuCommand(window, CmdPass);
    onCommand(window, CmdPass | (1u << 16)); // a stray command with a notification code
    onCommand(window, CmdRecordMode);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_EQ(listBoxCount(recordList), 0);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_FALSE(isWindowEnabled(playButton));
}

TEST_F(CommandsTest, UndoNeedsTwoNewEntries)
{
    startGame(0, 0);
    EXPECT_FALSE(itemEnabled(CmdUndo));
    play({shortGame[0]});
    EXPECT_FALSE(itemEnabled(CmdUndo));
    play({shortGame[1]});
    EXPECT_TRUE(itemEnabled(CmdUndo));

    invokeMenuCommand(window, CmdUndo);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 0));
    EXPECT_FALSE(itemEnabled(CmdUndo));
    play({shortGame[0]});
    invokeMenuCommand(window, CmdUndo);
    EXPECT_EQ(moveNumber, 2); // one entry since the undo: nothing taken back
}

TEST_F(CommandsTest, UndoAfterAMoveAndAPassRestoresTheMoveBefore)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + BeforeWhitesPass + 1});
    std::vector<std::string> lines;
    for (int i = 0; i < BeforeWhitesPass - 1; ++i)
        lines.push_back(line(i));

    invokeMenuCommand(window, CmdUndo);

    EXPECT_EQ(liveBoard, positionAfter(shortGame, BeforeWhitesPass - 1));
    EXPECT_EQ(moveNumber, BeforeWhitesPass);
    ASSERT_EQ(listBoxCount(recordList), BeforeWhitesPass - 1);
    for (int i = 0; i < BeforeWhitesPass - 1; ++i)
        EXPECT_EQ(line(i), lines[i]); // rebuilt with colours alternating from Black
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_EQ(opponentOf(currentSide), Black);
}

// The position two turns back gives White a move again: no pass may survive.
TEST_F(CommandsTest, UndoInHumanPassDecidesTheStateAgain)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + BeforeWhitesPass});
    ASSERT_EQ(gameState, HumanPass);

    invokeMenuCommand(window, CmdUndo);

    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_FALSE(timerPending(window, PassTimer));
    EXPECT_FALSE(itemEnabled(CmdPass));
    EXPECT_EQ(moveNumber, BeforeWhitesPass - 1);
    play({shortGame[BeforeWhitesPass - 2]}); // White's move is legal again
}

TEST_F(CommandsTest, NewGameCancelledAtTheResignQuestionLeavesTrialModeOnly)
{
    setClock([] { return 0LL; }); // first draw 0: the person plays Black
    invokeMenuCommand(window, CmdTrial);
    fireTimer(window, BannerTimer);
    ASSERT_EQ(trialStage, 1);
    ASSERT_EQ(blackPlayer, 0);

    expectMessageBox(IDCANCEL);
    invokeMenuCommand(window, CmdNewGame);

    EXPECT_EQ(modalScript.shown, 2); // creation dialog, resign question
    EXPECT_EQ(trialStage, -1);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_EQ(modalOpen, 0);
    click(4, 3);
    finishAnimations();
    fireTimer(window, WaitTimer);
    ASSERT_TRUE(waitUntil(workerDone));
    finishAnimations();
    EXPECT_TRUE(itemEnabled(CmdUndo)); // no longer barred by the trial
}

TEST_F(CommandsTest, ResignThenCancelledNewGameKeepsTheRecordViewable)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + 3});
    expectMessageBox(IDOK);
    expectDialog(IDCANCEL);
    invokeMenuCommand(window, CmdNewGame);
    ASSERT_EQ(gameState, Resigned);
    EXPECT_EQ(recordEntry(4), (Move{-1, -1}));
    EXPECT_FALSE(itemEnabled(CmdResign));
    EXPECT_FALSE(itemEnabled(CmdUndo));
    EXPECT_TRUE(itemEnabled(CmdRecordMode));

    EXPECT_FALSE(itemChecked(CmdRecordMode));
    invokeMenuCommand(window, CmdRecordMode);
    EXPECT_EQ(gameState, Replay);
    EXPECT_TRUE(itemChecked(CmdRecordMode));
    EXPECT_TRUE(isWindowEnabled(playButton));
    listBoxSetSelection(recordList, 2);
    onCommand(window, RecordListId | (LBN_SELCHANGE << 16));
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 3));

    invokeMenuCommand(window, CmdRecordMode);
    EXPECT_EQ(gameState, GameOver);
    EXPECT_TRUE(itemEnabled(CmdRecordMode));
    EXPECT_FALSE(itemChecked(CmdRecordMode));
    EXPECT_FALSE(isWindowEnabled(playButton));
}

namespace {
int pauses = 0;
bool workerFinishedAtPause = false;
int16_t moveNumberAtPause = 0;
void recordPause(int milliseconds)
{
    pauses += milliseconds == RestartPause;
    workerFinishedAtPause = workerThread == nullptr;
    moveNumberAtPause = moveNumber;
}
} // namespace

// The computer's running move lands in the old game, then the pause, then stage 1.
TEST_F(CommandsTest, TrialDuringTheComputersTurnWaitsAndPauses)
{
    pauses = 0;
    pauseBeforeRestart = recordPause;
    startGame(2, 0);
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);

    invokeMenuCommand(window, CmdTrial);

    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(workerFinishedAtPause);
    EXPECT_EQ(moveNumberAtPause, 2);
    EXPECT_EQ(trialStage, 1);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_EQ(bannerUp, 1);
    EXPECT_FALSE(timerPending(window, WaitTimer)); // nothing starts before the banner ends
}

TEST_F(CommandsTest, NewGameInTheComputersTurnPausesEvenWithoutAWorker)
{
    pauses = 0;
    pauseBeforeRestart = recordPause;
    startGame(2, 0);
    expectMessageBox(IDCANCEL);
    invokeMenuCommand(window, CmdNewGame);
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(gameState, ComputerTurn); // the question was cancelled: the game goes on
}

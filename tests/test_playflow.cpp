// The turn sequence: animation slots, passes, the end of the game, and what
// a click or a tick may change while the computer has the turn.
#include "ai/levels.h"
#include "modes/commands.h"
#include "window_harness.h"

namespace {
constexpr Move EndMarker{-1, -1};
constexpr Move PassEntry{0, 0};
} // namespace

class PlayFlow : public GameWindow {
  protected:
    void playUntilPass()
    {
        for (int step = 0; step < 80 && gameState == HumanTurn; ++step)
            clickFirstLegal();
        ASSERT_EQ(gameState, HumanPass);
        ASSERT_EQ(moveNumber, 19); // first-legal play: Black is blocked after 18 moves
    }
};

TEST_F(PlayFlow, MovesTakeSlotsInTurnAndAnimateThreeFrames)
{
    open(0, 0);
    waitTime = 0;                 // the step comes at the first tick after the animation
    fireTimer(window, WaitTimer); // the game start's step: nothing to do for persons
    click(1, 1);                  // not legal: nothing changes
    EXPECT_EQ(moveNumber, 1);
    const int expected[] = {1, 2, 3, 0, 1};
    for (int i = 0; i < 5; ++i) {
        clickFirstLegal();
        EXPECT_EQ(animSlot, expected[i]);
        EXPECT_EQ(animFrame[animSlot], i % 2 == 0 ? 0 : 3) << "Black's flips start at 0, White's at 3";
        EXPECT_EQ(timerInterval(window, animSlot), AnimationInterval);
        if (i == 0) { // c4 turns d4 only
            EXPECT_EQ(animCells[1][0], (Move{4, 4}));
            EXPECT_EQ(animCells[1][1], PassEntry);
        }
    }
    fireTimer(window, 0);
    fireTimer(window, 0);
    EXPECT_FALSE(timerPending(window, WaitTimer));
    fireTimer(window, 0);
    EXPECT_EQ(animFrame[0], 6);
    EXPECT_FALSE(timerPending(window, 0));
    EXPECT_EQ(timerInterval(window, WaitTimer), 10); // the shortest timer
    waitTime = 200;
}

// First-legal play by both persons: 60 moves, passes at entries 19, 21, 23
// and 51, and 19 to 45 at the end.
TEST_F(PlayFlow, TwoPersonsPlayToTheEndWithAutomaticPasses)
{
    open(0, 0);
    EXPECT_EQ(playToEnd(), 4);
    EXPECT_EQ(gameState, GameOver);
    EXPECT_EQ(moveNumber, 65);
    EXPECT_EQ(recordEntry(65), EndMarker);
    for (int n : {19, 21, 23, 51})
        EXPECT_EQ(recordEntry(n), PassEntry) << n;
    EXPECT_EQ(countStones(Black, liveBoard), 19);
    EXPECT_EQ(countStones(White, liveBoard), 45);
    EXPECT_EQ(undoReady, -1);
    const Board final = liveBoard;
    click(1, 1);
    EXPECT_EQ(liveBoard, final);
}

TEST_F(PlayFlow, PassCommandPreemptsTheAutomaticPass)
{
    open(0, 0);
    playUntilPass();
    EXPECT_EQ(timerInterval(window, PassTimer), PassInterval);
    onCommand(window, CmdPass);
    fireTimer(window, PassTimer); // no longer pending: delivers nothing
    EXPECT_EQ(moveNumber, 20);
    EXPECT_EQ(recordEntry(19), PassEntry);
    EXPECT_EQ(currentSide, Black);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_TRUE(timerPending(window, WaitTimer));
}

// The worker's part by hand: its turn start, then its (0, 0) answer.
TEST_F(PlayFlow, ComputerWithoutMoveAnswersWithOnePass)
{
    open(0, 0);
    playUntilPass();
    killTimer(window, PassTimer);
    blackPlayer = 2;
    gameState = ComputerTurn;
    currentSide = Black;
    chosenMove = PassEntry;
    const Board before = liveBoard;
    mainWindowProc(window, WM_COMPUTER_MOVED, 0, 0);
    EXPECT_EQ(moveNumber, 20);
    EXPECT_EQ(recordEntry(19), PassEntry);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_EQ(liveBoard, before);
    EXPECT_EQ(trialBoard, liveBoard);
    // A late completion outside the computer's turn is ignored.
    chosenMove = {1, 1};
    mainWindowProc(window, WM_COMPUTER_MOVED, 0, 0);
    EXPECT_EQ(moveNumber, 20);
}

TEST_F(PlayFlow, ComputersTurnRefusesClicksAndSecondWorkers)
{
    open(0, 4);
    click(4, 3);
    ASSERT_EQ(gameState, ComputerTurn);
    const Board after = liveBoard;
    clickFirstLegal(); // a White cell
    EXPECT_EQ(liveBoard, after);
    // A completion before the computer's turn has begun: the side whose turn
    // began last is the person's, so nothing is played or passed.
    chosenMove = {3, 3};
    mainWindowProc(window, WM_COMPUTER_MOVED, 0, 0);
    EXPECT_EQ(liveBoard, after);
    EXPECT_EQ(moveNumber, 2);
    EXPECT_EQ(currentSide, Black);
    finishAnimations();
    modalOpen = 1; // an open dialog holds the step
    fireTimer(window, WaitTimer);
    EXPECT_TRUE(timerPending(window, WaitTimer));
    modalOpen = 0;
    int busy = 0;
    workerThread = reinterpret_cast<Thread*>(&busy); // a worker already searches
    fireTimer(window, WaitTimer);
    EXPECT_EQ(currentSide, Black) << "no second turn start";
    EXPECT_FALSE(timerPending(window, WaitTimer));
    workerThread = nullptr;
}

TEST(GameRecord, EntriesOutsideTheRecordAreDroppedAndReadAsTheEnd)
{
    setRecordEntry(0, {3, 3});
    setRecordEntry(GameRecordSize + 1, {3, 3});
    EXPECT_EQ(gameRecord[0], PassEntry);
    EXPECT_EQ(recordEntry(GameRecordSize + 1), EndMarker);
    EXPECT_EQ(recordEntry(-1), EndMarker);
}

#include <QAbstractButton>

#include "modes_fixture.h"
#include "platform/qt_window.h"

namespace {

constexpr int Entries = 25; // shortGame; the end marker is entry 26
constexpr int PassEntry = 24;

class RecordTest : public ModesTest {
  protected:
    void playAndEnterRecordMode()
    {
        startGame(0, 0);
        play(shortGame);
        ASSERT_EQ(gameState, GameOver);
        invokeMenuCommand(window, CmdRecordMode);
        ASSERT_EQ(gameState, Replay);
    }

    void selectLine(int k)
    {
        listBoxSetSelection(recordList, k);
        onCommand(window, RecordListId | (LBN_SELCHANGE << 16));
    }

    // The play button's picture: the play icon, or the stop icon while playing.
    bool showsPlayIcon()
    {
        const auto* button = qobject_cast<QAbstractButton*>(playButton->widget.data());
        return button && button->icon().cacheKey() == playIcon->icon.cacheKey();
    }

    bool animating()
    {
        for (uintptr_t slot = 0; slot < 4; ++slot)
            if (timerPending(window, slot))
                return true;
        return false;
    }

    // One playback step as the timers run it.
    void step()
    {
        ASSERT_TRUE(timerPending(window, WaitTimer));
        fireTimer(window, WaitTimer);
        finishAnimations();
    }
};

} // namespace

TEST(RecordLine, MarkNumberAndCellOrPass)
{
    char text[100];
    EXPECT_STREQ(recordLineText(text, 4, 3, 1, Black), "●　1手目：　　d,3");
    EXPECT_STREQ(recordLineText(text, 8, 8, 10, White), "○　10手目：　　h,8");
    EXPECT_STREQ(recordLineText(text, 0, 0, 24, White), "○　24手目：　　パス");
}

TEST_F(RecordTest, EveryTurnAddsItsLineAndEntry)
{
    startGame(0, 0);
    play(shortGame);
    ASSERT_EQ(listBoxCount(recordList), Entries);
    EXPECT_EQ(line(0), "●　1手目：　　c,4");
    EXPECT_EQ(line(9), "○　10手目：　　d,6");
    EXPECT_EQ(line(PassEntry - 1), "○　24手目：　　パス");
    EXPECT_EQ(listBoxSelection(recordList), Entries - 1);
    EXPECT_EQ(recordEntry(PassEntry), (Move{0, 0}));
    EXPECT_EQ(recordEntry(Entries + 1), (Move{-1, -1}));
}

TEST_F(RecordTest, SelectingALineShowsThePositionAfterIt)
{
    playAndEnterRecordMode();
    EXPECT_EQ(listBoxSelection(recordList), 0);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 1));
    selectLine(Entries - 1);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, Entries));
    EXPECT_EQ(moveNumber, Entries + 1);
    selectLine(-1);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 0));
}

TEST_F(RecordTest, PlaybackRunsToTheEndAndStopsItself)
{
    playAndEnterRecordMode();
    selectLine(19);
    onCommand(window, PlayButtonId);
    ASSERT_EQ(replayRunning, 100);
    EXPECT_FALSE(showsPlayIcon());
    for (int i = 20; i < Entries && replayRunning == 100; ++i) {
        step();
        EXPECT_EQ(listBoxSelection(recordList), i);
    }
    EXPECT_EQ(replayRunning, 0);
    EXPECT_TRUE(showsPlayIcon()) << "the button turns back by itself at the end";
    EXPECT_EQ(liveBoard, positionAfter(shortGame, Entries));
    EXPECT_EQ(gameState, Replay);
    fireTimer(window, WaitTimer); // the last animation's tick: nothing left to play
    EXPECT_EQ(moveNumber, Entries + 1);

    onCommand(window, PlayButtonId); // the last line is selected: nothing to play
    EXPECT_EQ(replayRunning, 0);
    EXPECT_FALSE(timerPending(window, WaitTimer));
}

TEST_F(RecordTest, AReplayedPassLeavesTheBoardAloneWithoutAnimation)
{
    playAndEnterRecordMode();
    selectLine(PassEntry - 2);
    onCommand(window, PlayButtonId);
    const Board before = liveBoard;
    trialBoard.fill(Black); // the cursor's trial moves must not leak in
    fireTimer(window, WaitTimer);
    EXPECT_EQ(liveBoard, before);
    EXPECT_FALSE(animating());
    EXPECT_TRUE(timerPending(window, WaitTimer));
    EXPECT_EQ(listBoxSelection(recordList), PassEntry - 1);
    step(); // the last move animates and ends the playback
    EXPECT_EQ(replayRunning, 0);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, Entries));
}

// A line clicked during playback moves neither the board nor the next start.
TEST_F(RecordTest, SelectingDuringPlaybackChangesNothing)
{
    playAndEnterRecordMode();
    selectLine(4);
    onCommand(window, PlayButtonId);
    step();
    const Board shown = liveBoard;
    selectLine(15);
    EXPECT_EQ(liveBoard, shown);
    EXPECT_EQ(moveNumber, 7);

    onCommand(window, PlayButtonId); // stop
    EXPECT_EQ(replayRunning, 0);
    EXPECT_EQ(listBoxSelection(recordList), 5);
    onCommand(window, PlayButtonId);
    step();
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 7));
}

TEST_F(RecordTest, ARecordEndingAtItsFirstEntryShowsTheStart)
{
    startGame(0, 0);
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdResign);
    ASSERT_EQ(gameState, Resigned);
    fireTimer(window, WaitTimer); // the game start's tick
    invokeMenuCommand(window, CmdRecordMode);
    EXPECT_EQ(gameState, Replay);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 0));
    onCommand(window, PlayButtonId);
    EXPECT_EQ(replayRunning, 0);
    EXPECT_FALSE(timerPending(window, WaitTimer));
}

TEST_F(RecordTest, LeavingRecordModeEndsPlayback)
{
    playAndEnterRecordMode();
    onCommand(window, PlayButtonId);
    invokeMenuCommand(window, CmdRecordMode);
    EXPECT_EQ(gameState, GameOver);
    EXPECT_EQ(replayRunning, 0);
    const Board shown = liveBoard;
    fireTimer(window, WaitTimer);
    EXPECT_EQ(liveBoard, shown);
    EXPECT_FALSE(isWindowEnabled(playButton));
}

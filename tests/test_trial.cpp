#include <cstring>

#include "ai/random.h"
#include "modes/message.h"
#include "modes/trial.h"
#include "modes_fixture.h"
#include "res/strings.h"
#include "ui/computer.h"
#include "ui/status.h"

namespace {

// A second whose first draw has the wanted parity: 0 the person plays
// Black, 1 White.
long long secondWithParity(int parity)
{
    for (uint32_t s = 1;; ++s)
        if ((((s * 1103515245u + 12345u) >> 16) & 0x7FFF) % 2 == static_cast<uint32_t>(parity))
            return s;
}
long long evenSecond()
{
    return secondWithParity(0);
}
long long oddSecond()
{
    return secondWithParity(1);
}

bool workerDone()
{
    return workerThread == nullptr;
}

// Line breaks may come back in the control's own form.
std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

class TrialTest : public ModesTest {
  protected:
    void startStage(int stage, ClockFunction clock)
    {
        setClock(clock);
        trialStage = stage;
        startTrialStage(window);
    }

    // Ends the stage's game with the person holding `person` stones and the
    // computer `computer`, and delivers the wait tick that follows.
    void endGame(int person, int computer)
    {
        fireTimer(window, BannerTimer);
        liveBoard.fill(Empty);
        const int personColour = blackPlayer == 0 ? Black : White;
        for (int i = 0; i < person + computer; ++i)
            liveBoard[cellIndex(1 + i / 8, 1 + i % 8)] = i < person ? personColour : opponentOf(personColour);
        gameState = GameOver;
        setTimer(window, WaitTimer, waitTime);
        fireTimer(window, WaitTimer);
    }

    int whitePixels(int left, int top, int right, int bottom)
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const Colour c = windowPixel(window, x, y);
                n += (c & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && ((c >> 16) & 0xFF) > 200;
            }
        return n;
    }
};

} // namespace

TEST_F(TrialTest, StageSIsPlayedAgainstLevelS)
{
    for (int stage = 1; stage <= 6; ++stage) {
        startStage(stage, evenSecond);
        EXPECT_EQ(blackPlayer, 0);
        EXPECT_EQ(whitePlayer, stage + 1);
        EXPECT_EQ(gameState, HumanTurn);
    }
    startStage(1, oddSecond);
    EXPECT_EQ(blackPlayer, 2);
    EXPECT_EQ(whitePlayer, 0);
    EXPECT_EQ(gameState, ComputerTurn);
}

TEST_F(TrialTest, BannerOfStageTwoWithThePersonAsWhite)
{
    updateWindow(window);
    ASSERT_EQ(whitePixels(20, 100, 100, 124), 0); // plain board
    startStage(2, oddSecond);
    char name[64];
    char expected[128] = "Stage2、対";
    strcat(expected, playerName(name, 3));
    char banner[128];
    EXPECT_STREQ(stageBannerLine(banner, 2, whitePlayer == 0 ? blackPlayer : whitePlayer), expected);
    EXPECT_EQ(messageText(), findString(302));
    EXPECT_GT(whitePixels(20, 100, 100, 124), 20); // "○白番" drawn over the board
    EXPECT_EQ(bannerUp, 1);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_FALSE(timerPending(window, WaitTimer));

    fireTimer(window, BannerTimer);
    EXPECT_EQ(bannerUp, 0);
    EXPECT_TRUE(timerPending(window, WaitTimer)); // now the computer's first move comes
}

TEST_F(TrialTest, ClicksAreIgnoredWhileTheBannerShows)
{
    startStage(1, evenSecond);
    click(4, 3);
    EXPECT_EQ(moveNumber, 1);
    fireTimer(window, BannerTimer);
    click(4, 3);
    EXPECT_EQ(moveNumber, 2);
}

// A draw counts as won; a loss or clearing stage 6 ends the trial.
TEST_F(TrialTest, StageResults)
{
    struct Case {
        int stage;
        ClockFunction clock;
        int person, computer;
        int nextStage, speech;
    };
    for (const Case& c : {Case{3, evenSecond, 32, 32, 4, 203}, Case{4, oddSecond, 20, 30, -1, 104},
                          Case{6, evenSecond, 40, 10, -1, 206}}) {
        SCOPED_TRACE(c.stage);
        startStage(c.stage, c.clock);
        endGame(c.person, c.computer);
        EXPECT_EQ(trialStage, c.nextStage);
        EXPECT_EQ(firstLine(messageText()), firstLine(findString(c.speech)));
        EXPECT_EQ(messageText().find("Password: ") != std::string::npos, c.speech != 203);
        EXPECT_EQ(bannerUp, 1);
        fireTimer(window, BannerTimer);
        EXPECT_EQ(bannerUp, c.nextStage > 0); // the next stage's banner, or the end
        EXPECT_EQ(gameState, c.nextStage > 0 ? HumanTurn : GameOver);
        if (c.nextStage > 0)
            EXPECT_EQ(messageText(), findString(300 + c.nextStage));
    }
}

namespace {
Window* trialWindow = nullptr;
void tickWhileTheDialogIsOpen(Window*)
{
    for (int i = 0; i < 3; ++i)
        fireTimer(trialWindow, WaitTimer);
}
} // namespace

// The wait timer keeps ticking behind a dialog; the stage advances once.
TEST_F(TrialTest, TheResultIsShownOnceWhileADialogIsOpen)
{
    trialWindow = window;
    startStage(2, evenSecond);
    fireTimer(window, BannerTimer);
    liveBoard.fill(Black);
    gameState = GameOver;
    setTimer(window, WaitTimer, waitTime);
    expectDialog(IDCANCEL, tickWhileTheDialogIsOpen);
    onCommand(window, CmdSettings);
    EXPECT_EQ(trialStage, 3);
    fireTimer(window, WaitTimer);
    EXPECT_EQ(trialStage, 3);
}

TEST_F(TrialTest, AResignedTrialGameShowsNoResult)
{
    startStage(1, evenSecond);
    fireTimer(window, BannerTimer);
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdResign);
    EXPECT_EQ(gameState, Resigned);
    EXPECT_EQ(trialStage, -1);
    fireTimer(window, WaitTimer);
    EXPECT_EQ(bannerUp, 0);
    EXPECT_FALSE(timerPending(window, BannerTimer));
}

TEST_F(TrialTest, UndoIsGrayedDuringATrialGame)
{
    startStage(1, evenSecond);
    fireTimer(window, BannerTimer);
    click(4, 3);
    finishAnimations();
    fireTimer(window, WaitTimer);
    ASSERT_TRUE(waitUntil(workerDone));
    finishAnimations();
    ASSERT_EQ(undoReady, 1);
    EXPECT_FALSE(itemEnabled(CmdUndo));
    invokeMenuCommand(window, CmdUndo);
    EXPECT_EQ(moveNumber, 3);
}

using MessageLineTest = ModesTest;

// A fresh window thread's generator starts at seed 1: first draw 16838.
TEST_F(MessageLineTest, FirstSayingsOfAFreshRun)
{
    seedRandom(1);
    showLevelSaying(window, 6);
    EXPECT_EQ(messageText(), findString(639));
    seedRandom(1);
    showLevelSaying(window, 7);
    EXPECT_EQ(messageText(), findString(405));
}

TEST_F(MessageLineTest, OtherLevelsClearAndPersonsLeaveTheLine)
{
    for (int setting : {1, 5}) {
        setMessageText("words");
        showLevelSaying(window, setting);
        EXPECT_EQ(messageText(), "");
    }
    startGame(0, 0);
    setMessageText("words");
    click(4, 3);
    EXPECT_EQ(messageText(), "words");
}

namespace {
bool isSayingIn(const std::string& text, int first, int count)
{
    for (int id = first; id < first + count; ++id)
        if (text == findString(id))
            return true;
    return false;
}
} // namespace

TEST_F(MessageLineTest, Lv5AndLv6AlternateVerseAndProverb)
{
    startGame(6, 7);
    for (int turn = 0; turn < 4; ++turn) {
        finishAnimations();
        fireTimer(window, WaitTimer);
        ASSERT_TRUE(waitUntil(workerDone));
        const bool blackMoved = currentSide == Black;
        EXPECT_EQ(blackMoved, turn % 2 == 0);
        if (blackMoved)
            EXPECT_TRUE(isSayingIn(messageText(), FirstVerse, VerseCount)) << messageText();
        else
            EXPECT_TRUE(isSayingIn(messageText(), FirstProverb, ProverbCount)) << messageText();
    }
}

#include <algorithm>

#include "ai/random.h"
#include "config_home.h"
#include "modes/message.h"
#include "modes/trial.h"
#include "modes_fixture.h"
#include "res/strings.h"
#include "ui/computer.h"

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
    drawnLog.clear();
    startStage(2, oddSecond);
    EXPECT_EQ(shownTexts(drawnLog, 20, 21),
              "20,20:トライアルモード\n20,60:Stage2、対lv2 こぞう\n20,100:○白番\n");
    EXPECT_EQ(messageText(), "へへっ、おいらだって修行中の身。手加減しないよ！");
    EXPECT_GT(whitePixels(20, 100, 100, 124), 20); // "○白番" drawn white over the board
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

// A draw counts as won; a loss or clearing stage 6 ends the trial. The result
// screen's two lines and the opponent's words are checked whole.
TEST_F(TrialTest, StageResults)
{
    struct Case {
        int stage;
        ClockFunction clock;
        int person, computer;
        int nextStage;
        const char* screen;
        const char* speech;
    };
    const Case cases[] = {
        {3, evenSecond, 32, 32, 4, "20,20:勝利！\n20,60:NextLoading...\n",
         "見事な腕前。拙者の負けでござる。師範代殿は甘くないぞ"},
        {4, oddSecond, 20, 30, -1, "20,20:負け…\n20,60:GameOver！\n",
         "基本がなっておらん。道場で鍛え直すがよい\r\nPassword: mastery"},
        {6, evenSecond, 40, 10, -1, "20,20:全面クリアッ！\n20,60:おめでとーございます♪\n",
         "ほっほっほ、天晴れじゃ。もはや教えることは何もない\r\nPassword: 盤上無双の大名人"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stage);
        startStage(c.stage, c.clock);
        drawnLog.clear();
        endGame(c.person, c.computer);
        EXPECT_EQ(trialStage, c.nextStage);
        EXPECT_EQ(shownTexts(drawnLog, 20, 21), c.screen);
        EXPECT_EQ(messageText(), c.speech);
        EXPECT_EQ(bannerUp, 1);
        fireTimer(window, BannerTimer);
        EXPECT_EQ(bannerUp, c.nextStage > 0); // the next stage's banner, or the end
        EXPECT_EQ(gameState, c.nextStage > 0 ? HumanTurn : GameOver);
    }
}

// The next stage's starting position and panel are painted first, then its
// banner goes over them: no stone or text of the finished game stays.
TEST_F(TrialTest, TheNextStageIsPaintedBeforeItsBanner)
{
    startStage(3, evenSecond);
    endGame(40, 24);
    drawnLog.clear();
    fireTimer(window, BannerTimer);
    ASSERT_EQ(trialStage, 4);
    const auto banner = std::find_if(drawnLog.begin(), drawnLog.end(),
                                     [](const DrawnText& t) { return t.text == "トライアルモード"; });
    ASSERT_NE(banner, drawnLog.end());
    EXPECT_EQ(shownTexts({drawnLog.begin(), banner}, 300),
              "300,20:1手目\n320,37:黒番です\n320,54:光っている部分に石が打てます\n300,85:現在の石の個数\n"
              "320,105:黒（人）：2\n320,125:白（lv4 師範代）：2\n");
    EXPECT_EQ(windowPixel(window, 245, 245), rgb(0, 153, 0)) << "h8 is empty in the new game";
    EXPECT_EQ(messageText(), "師範代として、道場の看板は守らせてもらう");
}

// The person's last move comes while the wait tick of the computer's pass is
// still pending: the final position, its counts and the end are drawn before
// the result screen goes over them. A passing lv1 clears the message line.
TEST_F(TrialTest, TheLastMoveIsShownBeforeTheResult)
{
    startStage(1, evenSecond); // the person plays Black
    fireTimer(window, BannerTimer);
    setPosition(
        {"XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXO."},
        White);
    gameState = ComputerTurn;
    setMessageText("words");
    fireTimer(window, WaitTimer);
    ASSERT_TRUE(waitUntil(workerDone));
    ASSERT_EQ(gameState, HumanTurn) << "White has no move: lv1 passes";
    EXPECT_EQ(messageText(), "") << "a level below lv5 clears the line when it passes";
    ASSERT_TRUE(timerPending(window, WaitTimer));

    drawnLog.clear();
    click(8, 8);
    fireTimer(window, WaitTimer); // the pass's tick, in the middle of the flip
    EXPECT_EQ(bannerUp, 0);
    EXPECT_EQ(trialStage, 1);
    finishAnimations();
    fireTimer(window, WaitTimer);
    EXPECT_EQ(bannerUp, 1);
    EXPECT_EQ(trialStage, 2);
    const auto result =
        std::find_if(drawnLog.begin(), drawnLog.end(), [](const DrawnText& t) { return t.text == "勝利！"; });
    ASSERT_NE(result, drawnLog.end());
    EXPECT_EQ(shownTexts({drawnLog.begin(), result}, 300),
              "300,20:終局です。\n320,37:黒勝ち！\n300,85:現在の石の個数\n320,105:黒（人）：64\n"
              "320,125:白（lv1 ひよこ）：0\n");
    EXPECT_LT((windowPixel(window, 245, 245) >> 8) & 0xFF, 100) << "the stone on h8 is drawn";
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
    EXPECT_FALSE(std::filesystem::exists(keptGamePath())) << "a trial is never kept";
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
    EXPECT_EQ(messageText(), "浅茅生の小野の篠原しのぶれど　　あまりてなどか人の恋しき　"); // verse 639
    seedRandom(1);
    showLevelSaying(window, 7);
    EXPECT_EQ(messageText(), "塵も積もれば山となる"); // proverb 405
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

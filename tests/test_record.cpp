#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <fstream>

#include "board_text.h"
#include "modes_fixture.h"
#include "platform/qt_window.h"

extern const char* startupRecordFile;

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

    std::string writeFile(const std::string& name, const std::string& text)
    {
        const std::string path = (directory / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

// shortGame as someone might paste it: mixed case, spaces, the pass left out.
const char* const shortTranscript = "c4C3 c2b4\ne6d2a4f6g6d6c6b2a1c5c1a5a3a2a6c7c8g7h8 E1";
// The standard position with White to move: White e3, then Black d3.
const char* const whiteFirstGgf =
    "(;GM[Othello]PC[NOS]DT[2024.01.02_03:04:05]PB[alpha]PW[beta]TY[8]"
    "BO[8 -------- -------- -------- ---O*--- ---*O--- -------- -------- -------- O]"
    "W[e3]B[d3/1.5/12];)";
const std::vector<std::string> whiteFirstStart = {"........", "........", "........", "...OX...",
                                                  "...XO...", "........", "........", "........"};
const std::vector<std::string> afterWhitesE3 = {"........", "........", "....O...", "...OO...",
                                                "...XO...", "........", "........", "........"};
const std::vector<std::string> afterBlacksD3 = {"........", "........", "...XO...", "...XO...",
                                                "...XO...", "........", "........", "........"};

bool inRecordMode()
{
    return gameState == Replay;
}

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

    // The stone of the line's move is marked; at a pass, the move before it.
    const auto marked = [this](Move m) {
        repaintedTexts();
        return windowPixel(window, 30 * m.column + 5, 30 * m.row + 5) == rgb(230, 30, 30);
    };
    selectLine(3);
    EXPECT_TRUE(marked(shortGame[3]));
    selectLine(PassEntry - 1);
    EXPECT_TRUE(marked(shortGame[PassEntry - 2]));
    EXPECT_FALSE(marked(shortGame[3]));
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

// The pasted transcript lists, shows and replays exactly as the game played
// here, pass included, and leaves the player settings and the wait alone.
TEST_F(RecordTest, APastedGameIsTheGamePlayedHere)
{
    startGame(0, 0);
    play(shortGame);
    std::vector<std::string> played;
    for (int i = 0; i < Entries; ++i)
        played.push_back(line(i));
    invokeMenuCommand(window, CmdCopyRecord);
    EXPECT_EQ(clipboardText(), "c4c3c2b4e6d2a4f6g6d6c6b2a1c5c1a5a3a2a6c7c8g7h8e1");

    blackPlayer = 3;
    whitePlayer = 5;
    waitTime = 700;
    setClipboardText(shortTranscript);
    invokeMenuCommand(window, CmdPasteRecord);
    ASSERT_EQ(gameState, Replay);
    EXPECT_EQ(modalScript.unexpected, 0);
    ASSERT_EQ(listBoxCount(recordList), Entries);
    for (int i = 0; i < Entries; ++i)
        EXPECT_EQ(line(i), played[i]) << "line " << i;
    EXPECT_EQ(listBoxSelection(recordList), Entries - 1);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, Entries));
    EXPECT_TRUE(isWindowEnabled(playButton));
    EXPECT_EQ(blackPlayer, 3);
    EXPECT_EQ(whitePlayer, 5);
    EXPECT_EQ(waitTime, 700);

    selectLine(3);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 4));
    selectLine(PassEntry - 2);
    onCommand(window, PlayButtonId);
    step(); // the pass
    step();
    EXPECT_EQ(replayRunning, 0);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, Entries));
}

// A GGF from its own start with White first: lines, colours, its players,
// the start shown on a line of its own, the side to move, and a save that
// writes it back unchanged.
TEST_F(RecordTest, AnOpenedGgfKeepsItsStartFirstSideAndHeader)
{
    blackPlayer = 7;
    expectFileDialog(writeFile("white-first.ggf", whiteFirstGgf));
    invokeMenuCommand(window, CmdOpenRecord);
    ASSERT_EQ(gameState, Replay);
    ASSERT_EQ(listBoxCount(recordList), 3);
    EXPECT_EQ(line(0), "開始局面");
    EXPECT_EQ(line(1), "○　1手目：　　e,3");
    EXPECT_EQ(line(2), "●　2手目：　　d,3");
    EXPECT_EQ(listBoxSelection(recordList), 2);
    EXPECT_EQ(liveBoard, boardFromRows(afterBlacksD3));
    const std::string panel = repaintedTexts();
    EXPECT_NE(panel.find("黒（alpha）："), std::string::npos) << panel;
    EXPECT_NE(panel.find("白（beta）："), std::string::npos) << panel;

    selectLine(0);
    EXPECT_EQ(liveBoard, boardFromRows(whiteFirstStart));
    EXPECT_NE(repaintedTexts().find("白番です"), std::string::npos);
    onCommand(window, PlayButtonId);
    step();
    EXPECT_EQ(liveBoard, boardFromRows(afterWhitesE3));
    EXPECT_EQ(listBoxSelection(recordList), 1);
    onCommand(window, PlayButtonId); // stop

    expectFileDialog((directory / "copy.ggf").string());
    invokeMenuCommand(window, CmdSaveRecord);
    std::ifstream saved(directory / "copy.ggf");
    std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "(;GM[Othello]PC[NOS]DT[2024.01.02_03:04:05]PB[alpha]PW[beta]TY[8]BO[8 "
                    "---------------------------O*------*O--------------------------- O]W[e3]B[d3];)\n");

    // A transcript would lose the start: it is not saved, and the copy is GGF.
    expectFileDialog((directory / "copy.txt").string());
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdSaveRecord);
    EXPECT_FALSE(std::filesystem::exists(directory / "copy.txt"));
    EXPECT_EQ(modalScript.messages.back().rfind("標準の開始局面から始まらない棋譜は", 0), 0u);
    invokeMenuCommand(window, CmdCopyRecord);
    EXPECT_EQ(clipboardText().rfind("(;GM[Othello]", 0), 0u);
    EXPECT_NE(clipboardText().find(" O]W[e3]B[d3];)"), std::string::npos);

    // A name too long for the panel is cut short there; a missing one is "？".
    setClipboardText("(;GM[Othello]PB[" + std::string(200, 'W') + "]BO[8 " + std::string(27, '-') +
                     "O*------*O" + std::string(27, '-') + " *]B[f5];)");
    invokeMenuCommand(window, CmdPasteRecord);
    ASSERT_EQ(listBoxCount(recordList), 1); // the standard start needs no line of its own
    repaintedTexts();
    selectFont(windowDC, uiFont);
    for (const DrawnText& t : drawnLog)
        if (t.y == 105 && t.text.rfind("黒（", 0) == 0) {
            EXPECT_EQ(t.text.rfind("W…）：4"), t.text.size() - std::string("W…）：4").size()) << t.text;
            EXPECT_LE(t.x + textWidth(windowDC, t.text.c_str()), 520) << t.text;
        }
    EXPECT_NE(shownTexts(drawnLog).find("白（？）：1"), std::string::npos);
}

// Play on after line 0: the players come from the dialog, the first line
// stays, new moves follow it, and undo takes back two turns as in any game.
TEST_F(RecordTest, PlayingOnFromALineKeepsTheRecordBeforeIt)
{
    setClipboardText(whiteFirstGgf);
    invokeMenuCommand(window, CmdPasteRecord);
    selectLine(1);
    ASSERT_TRUE(itemEnabled(CmdPlayFromHere));
    blackPlayer = whitePlayer = 0;
    expectDialog(IDCANCEL);
    invokeMenuCommand(window, CmdPlayFromHere);
    EXPECT_EQ(gameState, Replay);
    EXPECT_EQ(listBoxCount(recordList), 3);

    expectDialog(IDOK);
    invokeMenuCommand(window, CmdPlayFromHere);
    ASSERT_EQ(gameState, HumanTurn);
    EXPECT_FALSE(isWindowEnabled(playButton));
    EXPECT_EQ(moveNumber, 2);
    ASSERT_EQ(listBoxCount(recordList), 2);
    EXPECT_EQ(line(1), "○　1手目：　　e,3");
    EXPECT_EQ(liveBoard, boardFromRows(afterWhitesE3));
    EXPECT_EQ(opponentOf(currentSide), Black);
    EXPECT_NE(repaintedTexts().find("黒（人）："), std::string::npos); // the players chosen

    play({{4, 3}, {3, 3}}); // Black d3, White c3
    ASSERT_EQ(listBoxCount(recordList), 4);
    EXPECT_EQ(line(3), "○　3手目：　　c,3");
    expectFileDialog((directory / "on.ggf").string());
    invokeMenuCommand(window, CmdSaveRecord);
    std::ifstream saved(directory / "on.ggf");
    std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("(;GM[Othello]PC[Tavixリバーシ]DT[", 0), 0u) << text;
    EXPECT_NE(text.find("]PB[人]PW[人]TY[8]BO[8 ---------------------------O*------*O------------------"
                        "--------- O]W[e3]B[d3]W[c3];)\n"),
              std::string::npos)
        << text;

    ASSERT_TRUE(itemEnabled(CmdUndo));
    invokeMenuCommand(window, CmdUndo);
    EXPECT_EQ(moveNumber, 2);
    ASSERT_EQ(listBoxCount(recordList), 2);
    EXPECT_EQ(line(0), "開始局面");
    EXPECT_EQ(line(1), "○　1手目：　　e,3");
    EXPECT_EQ(liveBoard, boardFromRows(afterWhitesE3));
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_EQ(opponentOf(currentSide), Black);

    expectMessageBox(IDOK); // resigned for a new game, which starts as usual
    startGame(0, 0);
    EXPECT_EQ(listBoxCount(recordList), 0);
}

// A file named on the command line takes the first dialog's place; one that
// cannot be opened is reported, then the dialog comes as usual. A file
// dropped on the window opens too.
TEST_F(RecordTest, AFileNamedAtStartOrDroppedOpensInRecordMode)
{
    destroyWindow(window);
    const std::string missing = (directory / "missing.ggf").string();
    startupRecordFile = missing.c_str();
    expectMessageBox(IDOK);
    expectDialog(IDCANCEL);
    window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    EXPECT_EQ(modalScript.answers.size(), 0u);
    ASSERT_FALSE(modalScript.messages.empty());
    EXPECT_EQ(modalScript.messages.back(), "「" + missing + "」：ファイルが見つかりません");
    EXPECT_EQ(gameState, GameOver);
    destroyWindow(window);

    const std::string good = writeFile("short.txt", shortTranscript);
    startupRecordFile = good.c_str();
    const int shown = modalScript.shown;
    window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    startupRecordFile = nullptr;
    EXPECT_EQ(modalScript.shown, shown);
    ASSERT_EQ(gameState, Replay);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, Entries));

    invokeMenuCommand(window, CmdRecordMode); // out of record mode, then a drop
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(writeFile("drop.ggf", whiteFirstGgf)))});
    ASSERT_TRUE(window->frame->acceptDrops());
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->frame, &drop);
    ASSERT_TRUE(waitUntil(inRecordMode));
    EXPECT_EQ(liveBoard, boardFromRows(afterBlacksD3));
}

#include <csignal>
#include <fstream>
#include <regex>
#include <sys/resource.h>

#include "ai/random.h"
#include "board_text.h"
#include "config_home.h"
#include "modes/editor.h"
#include "modes_fixture.h"
#include "ui/computer.h"
#include "ui/hint_view.h"

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
        ASSERT_TRUE(std::filesystem::exists(keptGamePath()));
        invokeMenuCommand(window, trial ? CmdTrial : CmdResign);
        EXPECT_EQ(gameState, trial ? HumanTurn : Resigned);
        EXPECT_FALSE(timerPending(window, PassTimer));
        EXPECT_FALSE(std::filesystem::exists(keptGamePath())) << "the game it ended is not offered back";
    }
}

TEST_F(CommandsTest, GrayedItemsDoNothingFromTheMenuOrAsACommand)
{
    startGame(0, 0);
    EXPECT_FALSE(itemEnabled(CmdPass));
    EXPECT_FALSE(itemEnabled(CmdUndo));
    EXPECT_TRUE(itemEnabled(CmdResign));
    EXPECT_FALSE(itemEnabled(CmdRecordMode));
    EXPECT_TRUE(itemEnabled(CmdHint));
    EXPECT_FALSE(itemEnabled(CmdAnalyseRecord));
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

    // White, to move, resigned: the saved game says so after record mode too.
    expectFileDialog((directory / "resigned.ggf").string());
    invokeMenuCommand(window, CmdSaveRecord);
    std::ifstream saved(directory / "resigned.ggf");
    const std::string text{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("RE[+64.00:r]TY[8]"), std::string::npos) << text;
    EXPECT_NE(text.find("B[c4]W[c3]B[c2];)"), std::string::npos) << text;
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
    EXPECT_FALSE(itemEnabled(CmdHint));
    onCommand(window, CmdHint);
    EXPECT_FALSE(hintRunning());

    invokeMenuCommand(window, CmdTrial);

    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(workerFinishedAtPause);
    EXPECT_EQ(moveNumberAtPause, 2);
    EXPECT_EQ(trialStage, 1);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_EQ(bannerUp, 1);
    EXPECT_FALSE(timerPending(window, WaitTimer)); // nothing starts before the banner ends
    EXPECT_FALSE(itemEnabled(CmdHint));
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

TEST_F(CommandsTest, RecordCommandsFollowTheGameState)
{
    setClipboardText("unchanged");
    EXPECT_FALSE(itemEnabled(CmdSaveRecord)); // nothing on record yet
    EXPECT_FALSE(itemEnabled(CmdCopyRecord));
    EXPECT_TRUE(itemEnabled(CmdOpenRecord));
    EXPECT_TRUE(itemEnabled(CmdPasteRecord));
    EXPECT_FALSE(itemEnabled(CmdPlayFromHere));
    invokeMenuCommand(window, CmdCopyRecord);
    EXPECT_EQ(clipboardText(), "unchanged");

    startGame(0, 0);
    play({shortGame[0]});
    EXPECT_TRUE(itemEnabled(CmdSaveRecord));
    EXPECT_TRUE(itemEnabled(CmdCopyRecord));
    EXPECT_FALSE(itemEnabled(CmdPlayFromHere)); // only in record mode
    // The position as text, and back: a pasted position opens in the editor
    // without a question, the game waiting behind it.
    invokeMenuCommand(window, CmdCopyPosition);
    const std::string position = std::string(24, '-') + "--XXX------XO---" + std::string(24, '-') + " O";
    EXPECT_EQ(clipboardText(), position);
    invokeMenuCommand(window, CmdPasteRecord);
    ASSERT_TRUE(editorOpen());
    EXPECT_EQ(editorSide(), White);
    sendMessage(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_EQ(moveNumber, 2);
    play({shortGame.begin() + 1, shortGame.end()});
    EXPECT_FALSE(itemEnabled(CmdHint)); // the game is over
    EXPECT_FALSE(itemEnabled(CmdAnalyseRecord));
    invokeMenuCommand(window, CmdRecordMode);
    EXPECT_TRUE(itemEnabled(CmdPlayFromHere)); // line 0
    EXPECT_TRUE(itemEnabled(CmdAnalyseRecord));
    EXPECT_FALSE(itemEnabled(CmdHint));
    listBoxSetSelection(recordList, 24);
    onCommand(window, RecordListId);
    EXPECT_FALSE(itemEnabled(CmdPlayFromHere)); // the end: nobody can move
    listBoxSetSelection(recordList, 3);
    onCommand(window, RecordListId);
    onCommand(window, PlayButtonId);
    EXPECT_FALSE(itemEnabled(CmdPlayFromHere)); // while playback runs
    onCommand(window, PlayButtonId);
    EXPECT_TRUE(itemEnabled(CmdPlayFromHere));

    setClock([] { return 0LL; });
    invokeMenuCommand(window, CmdTrial);
    EXPECT_FALSE(itemEnabled(CmdOpenRecord));
    EXPECT_FALSE(itemEnabled(CmdPasteRecord));
    EXPECT_FALSE(itemEnabled(CmdSaveRecord));
    EXPECT_FALSE(itemEnabled(CmdAnalyseRecord));
    EXPECT_FALSE(itemEnabled(CmdHint)); // a trial
    EXPECT_FALSE(itemEnabled(CmdEditBoard));
    setClipboardText("c4");
    invokeMenuCommand(window, CmdPasteRecord);
    EXPECT_EQ(trialStage, 1);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_EQ(modalScript.shown, 2); // the two new-game dialogs only
}

// Each bad text or file gets its message, naming the file, and no question;
// the game in progress goes on untouched, also when the question for a good
// one is answered いいえ: no line, no stone, no state changed.
TEST_F(CommandsTest, BadRecordsAreReportedAndChangeNothing)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + 5});
    const Board board = liveBoard;
    const std::string lastLine = line(4);
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"", "棋譜が空です"},
        {"c4c3c2b4b4", "5手目 b4 には打てません"},
        {"c4c3c2b4e6d2a4f6g6d6c6b2a1c5c1a5a3a2a6c7c8g7h8e1 d1", "26手目 d1：対局はもう終わっています"},
        {"hello", "棋譜の形式がわかりません（GGF でも手順の文字列でもありません）"},
        {"(;GM[Othello]PB[x]BO[8 ", "GGF が途中で切れています"},
        {"(;GM[Othello]BO[8 ---*O--- *];)", "GGF の開始局面 BO が正しくありません"},
        {std::string(64, '-') + " X", "黒も白も打てる所がない局面です"},
    };
    for (const auto& [text, message] : texts) {
        setClipboardText(text);
        expectMessageBox(IDOK);
        invokeMenuCommand(window, CmdPasteRecord);
        ASSERT_FALSE(modalScript.messages.empty());
        EXPECT_EQ(modalScript.messages.back(), message);
    }
    std::ofstream(directory / "binary.ggf", std::ios::binary) << std::string("(;GM[\0\1", 8);
    std::ofstream(directory / "large.txt") << std::string(1024 * 1024 + 1, ' ');
    const std::vector<std::pair<std::string, std::string>> files = {
        {"binary.ggf", "「binary.ggf」：テキストではありません（バイナリのデータです）"},
        {"large.txt", "「large.txt」：ファイルが大きすぎます（1 MiB までです）"},
    };
    for (const auto& [name, message] : files) {
        expectFileDialog((directory / name).string());
        expectMessageBox(IDOK);
        invokeMenuCommand(window, CmdOpenRecord);
        EXPECT_EQ(modalScript.messages.back(), message);
    }
    // A good record asks first; いいえ keeps the game as it is.
    std::ofstream(directory / "good.txt") << "f5";
    expectFileDialog((directory / "good.txt").string());
    expectMessageBox(IDNO);
    invokeMenuCommand(window, CmdOpenRecord);
    EXPECT_EQ(modalScript.messages.back(), "対局中のゲームを終えて、「good.txt」を開きますか？");
    EXPECT_EQ(modalScript.unexpected, 0);
    EXPECT_EQ(modalScript.answers.size(), 0u);
    EXPECT_EQ(gameState, HumanTurn);
    EXPECT_EQ(liveBoard, board);
    EXPECT_EQ(moveNumber, 6);
    EXPECT_EQ(listBoxCount(recordList), 5);
    EXPECT_EQ(line(4), lastLine);
    EXPECT_EQ(modalOpen, 0);
    EXPECT_TRUE(itemEnabled(CmdUndo));
}

namespace {
std::string proposedName;
std::string cancelText;
std::string savePath;
void readSaveDialog(Window* dialog)
{
    char text[256] = "";
    getDialogItemText(dialog, FileNameItem, text, sizeof text);
    proposedName = text;
    getDialogItemText(dialog, IDCANCEL, text, sizeof text);
    cancelText = text;
    setDialogItemText(dialog, FileNameItem, savePath.c_str());
}
std::string contentOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

// GGF is proposed under a dated name; a .txt name saves the transcript; a
// save that fails for want of room says so and leaves no file behind.
TEST_F(CommandsTest, SavingWritesTheChosenFormatAndAFailureLeavesNothing)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + 4});
    savePath = (directory / "game").string();
    expectDialog(IDOK, readSaveDialog);
    invokeMenuCommand(window, CmdSaveRecord);
    EXPECT_TRUE(std::regex_match(proposedName, std::regex("reversi-[0-9]{8}-[0-9]{4}\\.ggf")))
        << proposedName;
    EXPECT_EQ(cancelText, "キャンセル"); // Qt's own dialog speaks Japanese
    const std::string ggf = contentOf(directory / "game.ggf");
    EXPECT_NE(
        ggf.find("PB[人]PW[人]TY[8]BO[8 ---------------------------O*------*O--------------------------- "
                 "*]B[c4]W[c3]B[c2]W[b4];)\n"),
        std::string::npos)
        << ggf;

    expectFileDialog((directory / "game.txt").string());
    invokeMenuCommand(window, CmdSaveRecord);
    EXPECT_EQ(contentOf(directory / "game.txt"), "c4c3c2b4\n");
    EXPECT_EQ(messageText(), "保存しました：game.txt");

    std::filesystem::create_directory(directory / "full");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{16, old.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    expectFileDialog((directory / "full" / "game.ggf").string());
    expectMessageBox(IDOK);
    setrlimit(RLIMIT_FSIZE, &tiny);
    invokeMenuCommand(window, CmdSaveRecord);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_FALSE(modalScript.messages.empty());
    EXPECT_EQ(modalScript.messages.back().rfind("「game.ggf」に保存できませんでした。", 0), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(directory / "full"));
    EXPECT_EQ(modalScript.unexpected, 0);
}

// Copy waits for the computer's running move without the pause; paste asks
// before ending the game, waits for the move only once it may, and never
// pauses: the question showed the board.
TEST_F(CommandsTest, RecordCommandsWaitForTheComputer)
{
    pauses = 0;
    pauseBeforeRestart = recordPause;
    startGame(0, 1);
    play({shortGame[0]});
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    invokeMenuCommand(window, CmdCopyRecord);
    EXPECT_EQ(workerThread, nullptr);
    EXPECT_EQ(pauses, 0);
    EXPECT_EQ(clipboardText().size(), 4u); // c4 and lv0's answer
    EXPECT_EQ(clipboardText().rfind("c4", 0), 0u);

    finishAnimations();
    listMoves(0, Black, liveBoard);
    play({moveLists[0][0]});
    fireTimer(window, WaitTimer);
    ASSERT_NE(workerThread, nullptr);
    setClipboardText("f5");
    expectMessageBox(IDCANCEL);
    invokeMenuCommand(window, CmdPasteRecord);
    EXPECT_EQ(modalScript.messages.back(), "対局中のゲームを終えて、貼り付けた棋譜を開きますか？");
    EXPECT_EQ(pauses, 0); // the question was cancelled: the game goes on
    EXPECT_GE(gameState, 0);

    expectMessageBox(IDYES);
    invokeMenuCommand(window, CmdPasteRecord);
    EXPECT_EQ(workerThread, nullptr);
    EXPECT_EQ(pauses, 0);
    EXPECT_EQ(gameState, Replay);
    EXPECT_EQ(listBoxCount(recordList), 1);
}

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "config_home.h"
#include "files/kept_files.h"
#include "modes_fixture.h"
#include "records/formats.h"
#include "ui/computer.h"

extern const char* startupRecordFile;

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The turns of a kept file as written, from the first "B[" or "W[" on.
std::string turnsOf(const std::string& ggf)
{
    const size_t bo = ggf.find("BO[");
    const size_t first = ggf.find(']', bo) + 1;
    return ggf.substr(first);
}

bool workerDone()
{
    return workerThread == nullptr;
}

class KeptGameTest : public ModesTest {
  protected:
    fs::path kept() const { return keptGamePath(); }

    // A new run of the program: the window goes and comes back, with the
    // settings file removed so the players can only come from the kept game.
    void restart()
    {
        destroyWindow(window);
        fs::remove(settingsFilePath());
        blackPlayer = whitePlayer = 0;
        window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
        ASSERT_NE(window, nullptr);
    }
};

const char* const BlackC4WhiteC3 = "B[c4]W[c3];)\n";

} // namespace

// The file follows every turn, pass and undo of a game, and goes when the
// game ends, is resigned or a new game starts.
TEST_F(KeptGameTest, FollowsTheGameAndGoesWithIt)
{
    startGame(0, 0);
    EXPECT_FALSE(fs::exists(kept()));
    play({shortGame.begin(), shortGame.begin() + 3});
    const std::string text = readText(kept());
    EXPECT_NE(text.find("PB[人]PW[人]TY[8]BO[8 "), std::string::npos) << text;
    EXPECT_EQ(turnsOf(text), "B[c4]W[c3]B[c2];)\n");
    EXPECT_EQ(text.find("RE["), std::string::npos);

    invokeMenuCommand(window, CmdUndo);
    EXPECT_EQ(turnsOf(readText(kept())), "B[c4];)\n");
    EXPECT_EQ(fs::status(kept().parent_path()).permissions(), fs::perms::owner_all);

    expectMessageBox(IDOK); // a new game: the resign question, then the dialog
    startGame(0, 0);
    EXPECT_FALSE(fs::exists(kept()));
    play({shortGame.begin(), shortGame.end() - 1});
    EXPECT_NE(readText(kept()).find("W[PA];)\n"), std::string::npos);
    play({shortGame.back()});
    EXPECT_EQ(gameState, GameOver);
    EXPECT_FALSE(fs::exists(kept()));

    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + 2});
    ASSERT_TRUE(fs::exists(kept()));
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdResign);
    EXPECT_FALSE(fs::exists(kept()));
    EXPECT_TRUE(fs::is_empty(kept().parent_path())) << "a temporary file was left";
    EXPECT_EQ(modalScript.unexpected, 0);
}

// はい restores the game, its players and the turn, and the computer answers;
// いいえ removes it before the usual dialog; a box closed unanswered keeps it.
TEST_F(KeptGameTest, OfferedBackAtTheNextStart)
{
    startGame(0, 3); // a person against lv2
    play({shortGame.begin(), shortGame.begin() + 1});
    ASSERT_EQ(gameState, ComputerTurn);
    const std::string before = readText(kept());
    EXPECT_NE(before.find("PB[人]PW[lv2 こぞう]"), std::string::npos) << before;

    expectMessageBox(IDCANCEL);
    expectDialog(IDCANCEL);
    restart();
    EXPECT_EQ(modalScript.messages.back(),
              "前回の対局が途中です（2手目、黒：人、白：lv2 こぞう）。再開しますか？");
    EXPECT_EQ(gameState, GameOver);
    EXPECT_EQ(turnsOf(readText(kept())), "B[c4];)\n");

    expectMessageBox(IDYES);
    restart();
    EXPECT_EQ(modalScript.unexpected, 0);
    ASSERT_EQ(gameState, ComputerTurn);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(whitePlayer, 3);
    EXPECT_EQ(moveNumber, 2);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 1));
    ASSERT_EQ(listBoxCount(recordList), 1);
    EXPECT_EQ(line(0), "●　1手目：　　c,4");
    std::ifstream settings(settingsFilePath(), std::ios::binary);
    char players[4] = {};
    settings.read(players, 4);
    EXPECT_EQ(std::string(players, 4), std::string("\0\0\3\0", 4)) << "the settings follow the players";
    fireTimer(window, WaitTimer);
    ASSERT_TRUE(waitUntil(workerDone));
    finishAnimations();
    EXPECT_EQ(moveNumber, 3);
    EXPECT_EQ(gameState, HumanTurn);
    ASSERT_TRUE(itemEnabled(CmdUndo)) << "two entries on record, as in any game";
    invokeMenuCommand(window, CmdUndo);
    EXPECT_EQ(liveBoard, positionAfter(shortGame, 0));
    EXPECT_EQ(turnsOf(readText(kept())), ";)\n");

    expectMessageBox(IDNO);
    expectDialog(IDCANCEL);
    restart();
    EXPECT_FALSE(fs::exists(kept()));
    EXPECT_EQ(modalScript.unexpected, 0);
    EXPECT_EQ(gameState, GameOver);

    // The master level comes back by its name as the setting 8.
    std::string master = before;
    master.replace(master.find("PW[lv2 こぞう]"), std::strlen("PW[lv2 こぞう]"), "PW[lv7 名人]");
    writeText(kept(), master);
    expectMessageBox(IDYES);
    restart();
    EXPECT_EQ(whitePlayer, 8);
    EXPECT_EQ(gameState, ComputerTurn);
}

// A file that is not an unfinished legal game goes aside with one line on
// stderr, and the start goes on with the new-game dialog, asking nothing.
TEST_F(KeptGameTest, ABadFileIsMovedAside)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + 2});
    const std::string good = readText(kept());
    ASSERT_EQ(turnsOf(good), BlackC4WhiteC3);
    const size_t turns = good.find(BlackC4WhiteC3);
    std::string illegal = good;
    illegal.replace(turns, 5, "B[a1]");
    std::string stranger = good;
    stranger.replace(stranger.find("PB[人]"), 7, "PB[誰か]");
    std::string finished = good;
    finished.replace(finished.find("TY[8]"), 0, "RE[+64.00]");
    const std::string bad[] = {good.substr(0, good.size() / 2), illegal, "\x01garbage\n", stranger, finished};
    for (const std::string& text : bad) {
        SCOPED_TRACE(text);
        writeText(kept(), text);
        const int shown = modalScript.shown;
        expectDialog(IDCANCEL);
        testing::internal::CaptureStderr();
        restart();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(modalScript.shown, shown + 1) << "only the new-game dialog";
        EXPECT_FALSE(fs::exists(kept()));
        EXPECT_EQ(readText(kept().string() + ".bad"), text);
        const std::string line = "reverse: " + kept().string() + " cannot be resumed (";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << said;
    }

    // A game named on the command line is opened in its place, and the kept
    // game waits for a later start.
    writeText(kept(), good);
    writeText(directory / "named.ggf", good);
    const std::string named = (directory / "named.ggf").string();
    startupRecordFile = named.c_str();
    const int shown = modalScript.shown;
    restart();
    startupRecordFile = nullptr;
    EXPECT_EQ(modalScript.shown, shown);
    EXPECT_EQ(gameState, Replay);
    EXPECT_EQ(readText(kept()), good);
}

// A game kept by a copy still running (its lock held, here by the test) is
// neither offered nor touched, and this copy keeps its own beside it. Once
// that copy is gone, the newest kept game is offered first and the other
// waits for a later start.
TEST_F(KeptGameTest, EachRunningCopyKeepsItsOwnGame)
{
    Game game = standardGame();
    game.turns = {shortGame[0]};
    game.header.black = "人";
    game.header.white = "lv2 こぞう";
    const std::string othersGame = writeGgf(game);
    KeptFile other = claimFreeKeptFile(kept().parent_path().string(), "current.ggf");
    ASSERT_EQ(other.path, kept().string());
    writeText(kept(), othersGame);

    // Nothing scripted: the new-game dialog is cancelled as unexpected, and
    // so would be a question.
    const size_t asked = modalScript.messages.size();
    restart();
    ASSERT_EQ(modalScript.messages.size(), asked) << modalScript.messages.back();
    ASSERT_EQ(modalScript.unexpected, 1) << "only the new-game dialog";
    modalScript.unexpected = 0;
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + 3});
    const fs::path own = kept().parent_path() / "current-2.ggf";
    EXPECT_EQ(turnsOf(readText(own)), "B[c4]W[c3]B[c2];)\n");
    ASSERT_EQ(readText(kept()), othersGame);

    close(other.lock); // the other copy is killed: its lock goes, its game stays
    fs::last_write_time(kept(), fs::last_write_time(own) - std::chrono::hours(1));
    expectMessageBox(IDNO);
    expectDialog(IDCANCEL);
    restart();
    EXPECT_EQ(modalScript.messages.back(), "前回の対局が途中です（4手目、黒：人、白：人）。再開しますか？");
    EXPECT_FALSE(fs::exists(own));
    EXPECT_EQ(readText(kept()), othersGame);

    expectMessageBox(IDYES);
    restart();
    EXPECT_EQ(modalScript.messages.back(),
              "前回の対局が途中です（2手目、黒：人、白：lv2 こぞう）。再開しますか？");
    EXPECT_EQ(moveNumber, 2);
    EXPECT_EQ(whitePlayer, 3);
    EXPECT_EQ(modalScript.unexpected, 0);
}

// The status panel and the board's labels as drawn, in every state of play.
#include "board_text.h"
#include "modes_fixture.h"

namespace {

using StatusPanel = ModesTest;

// The panel's texts in shownTexts form: line 1 at (300, 20), the turn or
// result at (320, 37), the state message at (320, 54), the count heading and
// the two count lines; "" leaves a line out.
std::string panel(const std::string& line1, const std::string& line2, const std::string& line3,
                  const std::string& black, const std::string& white, const std::string& opening = "")
{
    std::string out;
    if (!line1.empty())
        out += "300,20:" + line1 + "\n";
    if (!line2.empty())
        out += "320,37:" + line2 + "\n";
    if (!line3.empty())
        out += "320,54:" + line3 + "\n";
    if (!opening.empty())
        out += "300,69:" + opening + "\n";
    return out + "300,85:現在の石の個数\n320,105:" + black + "\n320,125:" + white + "\n";
}

constexpr int BeforeWhitesPass = 23; // shortGame: White has no move after entry 23

} // namespace

TEST_F(StatusPanel, TextsOfEveryState)
{
    liveBoard = Board{}; // as at program start: the first dialog was cancelled
    EXPECT_EQ(repaintedTexts(0, 300),
              "32,5:a\n62,5:b\n92,5:c\n122,5:d\n152,5:e\n182,5:f\n212,5:g\n242,5:h\n"
              "7,27:1\n7,57:2\n7,87:3\n7,117:4\n7,147:5\n7,177:6\n7,207:7\n7,237:8\n");
    EXPECT_EQ(repaintedTexts(300), panel("終局です。", "引き分け。。。。", "", "黒（人）：0", "白（人）：0"));

    startGame(0, 0);
    const std::string humanTurn = "光っている部分に石が打てます";
    EXPECT_EQ(repaintedTexts(300), panel("1手目", "黒番です", humanTurn, "黒（人）：2", "白（人）：2"));
    play({shortGame[0]});
    EXPECT_EQ(repaintedTexts(300), panel("2手目", "白番です", humanTurn, "黒（人）：4", "白（人）：1"));
    // c4 c3 is the Diagonal opening seen in a mirror: the name stays in the
    // free band after the game has left the line, and the list marks the
    // move that reached it. Turned off, the panel and list are as without.
    play({shortGame.begin() + 1, shortGame.begin() + BeforeWhitesPass});
    const std::string diagonal = "定石：斜め取り（Diagonal）";
    EXPECT_EQ(repaintedTexts(300), panel("24手目", "白番です", "打てる所がありません、パスします",
                                         "黒（人）：26", "白（人）：1", diagonal));
    EXPECT_EQ(line(1), "○　2手目：　　c,3　斜め取り");
    EXPECT_EQ(line(2), "●　3手目：　　c,2");
    ASSERT_TRUE(itemChecked(CmdShowOpenings));
    invokeMenuCommand(window, CmdShowOpenings);
    EXPECT_FALSE(itemChecked(CmdShowOpenings));
    EXPECT_EQ(repaintedTexts(300),
              panel("24手目", "白番です", "打てる所がありません、パスします", "黒（人）：26", "白（人）：1"));
    for (int x = 300; x < 520; ++x)
        for (int y = 69; y < 81; ++y)
            ASSERT_EQ(windowPixel(window, x, y), rgb(255, 255, 255))
                << "the band is blank again at " << x << "," << y;
    EXPECT_EQ(line(1), "○　2手目：　　c,3");
    invokeMenuCommand(window, CmdShowOpenings);
    play({shortGame.begin() + BeforeWhitesPass, shortGame.end()});
    EXPECT_EQ(repaintedTexts(300),
              panel("終局です。", "黒勝ち！", "", "黒（人）：28", "白（人）：0", diagonal));

    invokeMenuCommand(window, CmdRecordMode); // shows the position after the first move
    EXPECT_EQ(repaintedTexts(300),
              panel("2手目", "白番です", "棋譜再生中。。。。。。。。", "黒（人）：4", "白（人）：1"));

    startGame(4, 0);
    EXPECT_EQ(repaintedTexts(300),
              panel("1手目", "黒番です", "COM思考中。。。。。。。。", "黒（lv3 浪人）：2", "白（人）：2"));

    // Black resigns while ahead on stones: White is still declared the winner.
    expectMessageBox(IDOK); // the computer's game is resigned first
    startGame(0, 0);
    setPosition(
        {"XXXXX...", "O.......", "........", "........", "........", "........", "........", "........"},
        Black);
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdResign);
    EXPECT_EQ(repaintedTexts(300), panel("終局です。", "白勝ち！", "", "黒（人）：5", "白（人）：1"));

    liveBoard = boardFromRows(
        {"XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO"});
    gameState = GameOver;
    EXPECT_EQ(repaintedTexts(300),
              panel("終局です。", "引き分け。。。。", "", "黒（人）：32", "白（人）：32"));
}

// The hint over the board and the analysis window, on the real window
// offscreen with real workers.
#include <QCoreApplication>
#include <QLabel>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "modes/game_review.h"
#include "modes/message.h"
#include "modes/record_game.h"
#include "modes_fixture.h"
#include "platform/qt_window.h"
#include "ui/boardview.h"
#include "ui/hint_view.h"

namespace {

using HintTest = ModesTest;
using AnalysisTest = ModesTest;

constexpr Colour PlateColour = rgb(255, 232, 64);
constexpr Colour LegalColour = rgb(0, 204, 102);

// White to move with 11 empty cells; exact values checked with a plain
// full-window search: d3 +4 (best), g1 -20, h1 -2, h2 -6, h3 -20.
const std::vector<std::string> elevenEmpties = {
    "XXXOOO--", "XXXXXXX-", "XXX-OOX-", "OXXOXOOX", "OOOOOOOO", "OXOXOOO-", "OOXOOO--", "OOOOO---",
};

// The texts drawn over the playing area, by cell, those of one cell in the
// order drawn: "d3:+4 g1:-20 ", an estimate "e6:≒+1 ".
std::string valuesOnBoard(const std::vector<DrawnText>& log)
{
    std::map<std::pair<int, int>, std::string> cells; // (row, column)
    for (const DrawnText& t : log)
        if (t.x >= 20 && t.x < 260 && t.y >= 20 && t.y < 260)
            cells[{(t.y - 20) / 30 + 1, (t.x - 20) / 30 + 1}] += t.text;
    std::string out;
    for (const auto& [cell, text] : cells) {
        out += static_cast<char>('a' + cell.second - 1);
        out += std::to_string(cell.first) + ":" + text + " ";
    }
    return out;
}

Colour plateOf(Window* window, int column, int row)
{
    const Rect r = cellRect(column, row);
    return windowPixel(window, r.left + 4, r.top + 9);
}

bool hintDone()
{
    return hintShown() && !hintSearching();
}

bool drawn(const char* text)
{
    for (const DrawnText& t : drawnLog)
        if (t.text == text)
            return true;
    return false;
}

// Cells whose value is an estimate, and cells with an exact one.
int estimatesIn(const std::string& values)
{
    int n = 0;
    for (size_t at = 0; (at = values.find(":≒", at)) != std::string::npos; ++at)
        ++n;
    return n;
}

int valuesIn(const std::string& values)
{
    return static_cast<int>(std::count(values.begin(), values.end(), ':'));
}

// The marks repainted now carry values.
bool valuesDrawn()
{
    drawnLog.clear();
    invalidateWindow(mainWindow);
    updateWindow(mainWindow);
    return !valuesOnBoard(drawnLog).empty();
}

bool reviewListed()
{
    return gameReviewWindow() != nullptr && listBoxCount(analysisList(gameReviewWindow())) > 0;
}

// From 20 empty cells, Black first, to the end: three moves lost discs, at
// entries 7, 10 and 12, and White passes at entry 19.
Game fixedGame()
{
    Game game;
    const char* cells = "XX-O----XXO-XO--XXO-OXX-OXOOXXXXOXXOO---OXOXXOO-OOXXXO--OXXX----";
    for (int i = 0; i < 64; ++i)
        game.start[cellIndex(i % 8 + 1, i / 8 + 1)] = cells[i] == 'X'   ? Black
                                                      : cells[i] == 'O' ? White
                                                                        : Empty;
    game.firstSide = Black;
    game.turns = {{5, 1}, {6, 1}, {3, 1}, {6, 5}, {7, 2}, {5, 8}, {7, 5}, {8, 5}, {4, 2}, {8, 1}, {7, 1},
                  {8, 2}, {4, 3}, {8, 3}, {8, 7}, {8, 6}, {7, 7}, {8, 8}, {0, 0}, {6, 8}, {7, 8}};
    return game;
}

} // namespace

TEST_F(HintTest, ShowsExactValuesOnTheLegalCellsUntilTheNextMove)
{
    // The opening: every legal cell's estimate, the best on a plate; the
    // status line says the hint is being read until it is there.
    startGame(0, 0);
    drawnLog.clear();
    invokeMenuCommand(window, CmdHint);
    EXPECT_TRUE(drawn("ヒントを読んでいます。。。"));
    ASSERT_TRUE(waitUntil(hintDone));
    EXPECT_TRUE(drawn("光っている部分に石が打てます"));
    drawnLog.clear();
    invalidateWindow(window);
    updateWindow(window);
    const std::string opening = valuesOnBoard(drawnLog);
    EXPECT_EQ(valuesIn(opening), 4) << opening;
    EXPECT_EQ(estimatesIn(opening), 4) << opening;
    int plates = 0;
    for (Move cell : {Move{3, 4}, Move{4, 3}, Move{5, 6}, Move{6, 5}})
        plates += plateOf(window, cell.column, cell.row) == PlateColour;
    EXPECT_GE(plates, 1);
    // The mouse on a hinted cell shows its line in the message line, six
    // moves at least; off the cells, the message line is as it was.
    setMessageText("前の文");
    sendMessage(window, WM_MOUSEMOVE, 0, makePoint(20 + 30 * 3 + 15, 20 + 30 * 2 + 15)); // d3
    const std::string line = messageText();
    EXPECT_EQ(line.rfind("d3の読み筋（≒", 0), 0u) << line;
    EXPECT_GE(std::count(line.begin(), line.end(), ' '), 5) << line;
    sendMessage(window, WM_MOUSEMOVE, 0, makePoint(400, 200));
    EXPECT_EQ(messageText(), "前の文");

    setPosition(elevenEmpties, White);
    invokeMenuCommand(window, CmdHint);
    ASSERT_TRUE(waitUntil(hintDone));

    drawnLog.clear();
    invalidateWindow(window);
    updateWindow(window);
    EXPECT_EQ(valuesOnBoard(drawnLog), "g1:-20 h1:-2 h2:-6 d3:+4 h3:-20 "); // exact: no "≒"
    EXPECT_EQ(plateOf(window, 4, 3), PlateColour);                          // the best cell is set apart
    EXPECT_EQ(plateOf(window, 8, 1), LegalColour);

    // With 21 to 24 empty cells every cell's estimate comes first, then the
    // exact best cells with their value (here a draw) replace theirs; the
    // other cells keep their values, below it: estimates where the first
    // search's solve did not finish.
    setPosition(
        {"-OOOOO--", "--OOOOX-", "-OOOOOO-", "XXXXXOO-", "-XXOOX--", "OOXOXX--", "--OXXO--", "-OOO--O-"},
        Black);
    invokeMenuCommand(window, CmdHint);
    ASSERT_TRUE(waitUntil(hintShown));
    ASSERT_TRUE(valuesDrawn());
    ASSERT_TRUE(waitUntil(hintDone, 60000));
    valuesDrawn();
    const std::string midgame = valuesOnBoard(drawnLog);
    EXPECT_NE(midgame.find("h4:0 "), std::string::npos) << midgame;
    EXPECT_LE(estimatesIn(midgame), valuesIn(midgame) - 1) << midgame;
    EXPECT_EQ(midgame.find(":≒+"), std::string::npos) << midgame;

    setPosition(elevenEmpties, White);
    repaintedTexts(); // the position on screen, as a move or a new game leaves it
    invokeMenuCommand(window, CmdHint);
    ASSERT_TRUE(waitUntil(hintDone));
    drawnLog.clear();
    click(4, 3);
    EXPECT_FALSE(hintShown());
    // Gone at once, the played cell included, before the animation's repaint;
    // until then every cell keeps the highlight it had (h1 is not Black's).
    EXPECT_EQ(plateOf(window, 4, 3), LegalColour);
    EXPECT_EQ(plateOf(window, 8, 1), LegalColour);
    EXPECT_EQ(valuesOnBoard(drawnLog), "");
    finishAnimations();
    EXPECT_EQ(valuesOnBoard(drawnLog), "");
    EXPECT_NE(plateOf(window, 8, 1), LegalColour);
    EXPECT_FALSE(hintRunning());
}

// A search of the opening (the evaluation's half second) is under way when
// the game moves on: it stops, its worker is joined, and its result, had it
// been sent, is never shown.
TEST_F(HintTest, AMoveUndoNewGameOrCloseStopsTheSearch)
{
    for (int action = 0; action < 4; ++action) {
        SCOPED_TRACE(action);
        if (gameState >= 0)
            expectMessageBox(IDOK); // resign the game in progress
        startGame(0, 0);
        if (action == 1)
            play({shortGame[0], shortGame[1]});
        invokeMenuCommand(window, CmdHint);
        ASSERT_TRUE(hintRunning());
        switch (action) {
        case 0:
            click(4, 3);
            break;
        case 1:
            invokeMenuCommand(window, CmdUndo);
            break;
        case 2:
            expectMessageBox(IDOK);
            startGame(0, 0);
            break;
        case 3:
            destroyWindow(window);
            window = nullptr;
            break;
        }
        EXPECT_FALSE(hintRunning());
        QCoreApplication::processEvents();
        EXPECT_FALSE(hintShown());
        if (window == nullptr)
            break;
    }
    EXPECT_EQ(modalScript.unexpected, 0);
}

TEST_F(AnalysisTest, ListsTheMovesThatLostDiscsAndAClickShowsThePosition)
{
    const Game game = fixedGame();
    showGameInRecordMode(window, game);
    ASSERT_TRUE(itemEnabled(CmdAnalyseRecord));
    invokeMenuCommand(window, CmdAnalyseRecord);
    ASSERT_NE(gameReviewWindow(), nullptr);
    ASSERT_TRUE(waitUntil(reviewListed, 120000));
    Window* list = analysisList(gameReviewWindow());
    ASSERT_EQ(listBoxCount(list), 3);
    char text[100];
    const char* expected[] = {"7手目 ●g5 -4（最善 g1 -2）", "10手目 ○h1 -2（最善 d3 +4）",
                              "12手目 ○h2 -6（最善 d3 -2）"};
    for (int i = 0; i < 3; ++i) {
        listBoxText(list, i, text, sizeof text);
        EXPECT_STREQ(text, expected[i]);
    }

    // A lost move shows the position it was played in, with the move (h1)
    // framed in red and the best (d3) in blue, until another is shown.
    listBoxSetSelection(list, 1);
    sendMessage(gameReviewWindow(), WM_COMMAND, AnalysisListId | (LBN_SELCHANGE << 16), 0);
    EXPECT_EQ(listBoxSelection(recordList), 9); // under the start line
    EXPECT_EQ(liveBoard, positionAfter(game, 9));
    updateWindow(window);
    auto frameOf = [&](int column, int row) {
        const Rect r = cellRect(column, row);
        return windowPixel(window, r.left + 2, r.top + 15);
    };
    EXPECT_EQ(frameOf(8, 1), rgb(220, 30, 30));
    EXPECT_EQ(frameOf(4, 3), rgb(30, 60, 230));
    // The graph rings the point of the position shown; exact points are filled.
    auto ringed = [&](int turn) {
        const Colour c = analysisGraphPixel(gameReviewWindow(), turn, 6, 0); // antialiased: near the orange
        return (c & 0xFF) > 200 && (c >> 8 & 0xFF) > 90 && (c >> 8 & 0xFF) < 150 && (c >> 16) < 60;
    };
    EXPECT_TRUE(ringed(9));
    EXPECT_EQ(analysisGraphPixel(gameReviewWindow(), 13, 0, 0), rgb(0, 70, 160));
    clickAnalysisPoint(gameReviewWindow(), 13);
    EXPECT_TRUE(ringed(13));
    EXPECT_FALSE(ringed(9));
    EXPECT_EQ(listBoxSelection(recordList), 13);
    EXPECT_EQ(liveBoard, positionAfter(game, 13));
    updateWindow(window);
    EXPECT_NE(frameOf(8, 1), rgb(220, 30, 30));
    // A status text too long for its line ends in "…", whole in its tooltip.
    const std::string longText(300, 'x');
    setAnalysisText(gameReviewWindow(), longText.c_str());
    const auto* status = gameReviewWindow()->widget->findChild<QLabel*>();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->text().endsWith(QChar(0x2026))) << status->text().toStdString();
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
    EXPECT_EQ(status->toolTip().toStdString(), longText);

    // The progress timer joins the worker once it has handed its result over.
    EXPECT_TRUE(waitUntil([] {
        fireTimer(gameReviewWindow(), 1);
        return !gameReviewRunning();
    }));
}

// The cancel button and the main window's close both stop the analysis at
// once; the close still saves the settings.
TEST_F(AnalysisTest, CancelOrCloseDuringTheAnalysisEndsIt)
{
    showGameInRecordMode(window, fixedGame());
    invokeMenuCommand(window, CmdAnalyseRecord);
    ASSERT_TRUE(gameReviewRunning());
    clickAnalysisCancel(gameReviewWindow());
    EXPECT_FALSE(gameReviewRunning());
    EXPECT_EQ(gameReviewWindow(), nullptr);
    EXPECT_FALSE(itemEnabled(CmdHint)); // record mode

    invokeMenuCommand(window, CmdAnalyseRecord);
    ASSERT_TRUE(gameReviewRunning());
    waitTime = 1234;
    destroyWindow(window);
    window = nullptr;
    EXPECT_FALSE(gameReviewRunning());
    EXPECT_EQ(gameReviewWindow(), nullptr);
    std::ifstream in(directory / "config/tavix-reversi/config.dat", std::ios::binary);
    const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 1234);
}

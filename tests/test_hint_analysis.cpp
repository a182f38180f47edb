// The hint over the board and the analysis window, on the real window
// offscreen with real workers.
#include <QCoreApplication>

#include <fstream>
#include <iterator>
#include <map>

#include "modes/game_review.h"
#include "modes/record_game.h"
#include "modes_fixture.h"
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

// The texts drawn over the playing area, by cell: "d3:+4 g1:-20 ".
std::string valuesOnBoard(const std::vector<DrawnText>& log)
{
    std::map<std::pair<int, int>, std::string> cells; // (row, column)
    for (const DrawnText& t : log)
        if (t.x >= 20 && t.x < 260 && t.y >= 20 && t.y < 260)
            cells[{(t.y - 20) / 30 + 1, (t.x - 20) / 30 + 1}] = t.text;
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
    return hintShown();
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
    // The opening: the evaluation's choice, on its plate, without a value.
    startGame(0, 0);
    invokeMenuCommand(window, CmdHint);
    ASSERT_TRUE(waitUntil(hintDone));
    drawnLog.clear();
    invalidateWindow(window);
    updateWindow(window);
    EXPECT_EQ(valuesOnBoard(drawnLog), "");
    int plates = 0;
    for (Move cell : {Move{3, 4}, Move{4, 3}, Move{5, 6}, Move{6, 5}})
        plates += plateOf(window, cell.column, cell.row) == PlateColour;
    EXPECT_EQ(plates, 1);

    setPosition(elevenEmpties, White);
    invokeMenuCommand(window, CmdHint);
    ASSERT_TRUE(waitUntil(hintDone));

    drawnLog.clear();
    invalidateWindow(window);
    updateWindow(window);
    EXPECT_EQ(valuesOnBoard(drawnLog), "g1:-20 h1:-2 h2:-6 d3:+4 h3:-20 ");
    EXPECT_EQ(plateOf(window, 4, 3), PlateColour); // the best cell is set apart
    EXPECT_EQ(plateOf(window, 8, 1), LegalColour);

    // With 21 to 24 empty cells the evaluation's choice comes first, then
    // the exact best cells with their value (here a draw) replace it.
    setPosition(
        {"-OOOOO--", "--OOOOX-", "-OOOOOO-", "XXXXXOO-", "-XXOOX--", "OOXOXX--", "--OXXO--", "-OOO--O-"},
        Black);
    invokeMenuCommand(window, CmdHint);
    ASSERT_TRUE(waitUntil(hintDone));
    EXPECT_FALSE(valuesDrawn());
    ASSERT_TRUE(waitUntil(valuesDrawn, 60000));
    EXPECT_EQ(valuesOnBoard(drawnLog), "h4:0 ");

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

    listBoxSetSelection(list, 1);
    sendMessage(gameReviewWindow(), WM_COMMAND, AnalysisListId | (LBN_SELCHANGE << 16), 0);
    EXPECT_EQ(listBoxSelection(recordList), 10); // under the start line
    EXPECT_EQ(liveBoard, positionAfter(game, 10));
    clickAnalysisPoint(gameReviewWindow(), 13);
    EXPECT_EQ(listBoxSelection(recordList), 13);
    EXPECT_EQ(liveBoard, positionAfter(game, 13));

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

// The board editor on the real window: cells, the side to move, its way
// back to the game, and what follows from a position set up there.
#include <fstream>

#include "board_text.h"
#include "modes/editor.h"
#include "modes/message.h"
#include "modes_fixture.h"
#include "records/board_text.h"
#include "ui/hint_view.h"

namespace {

using EditorTest = ModesTest;

// The buttons of the dialog that ends editing.
constexpr int PlayOn = 1, HintHere = 3, SaveHere = 4, CopyHere = 5;
constexpr int BeforeWhitesPass = 23; // shortGame: White has no move after entry 23

void key(Window* window, unsigned code)
{
    sendMessage(window, WM_KEYDOWN, code, 0);
}

void rightClick(Window* window, int column, int row)
{
    sendMessage(window, WM_RBUTTONDOWN, 0, makePoint(30 * column + 5, 30 * row + 5));
}

int stoneAt(int column, int row)
{
    return liveBoard[cellIndex(column, row)];
}

} // namespace

// Clicks, right clicks and the keys cycle a cell; the items clear the board,
// set the start and the side to move; nothing of the game may act meanwhile,
// and Escape brings it back as it was, its pending step included.
TEST_F(EditorTest, CellsSideAndEscapeBackToTheGame)
{
    startGame(0, 0);
    play({shortGame.begin(), shortGame.begin() + BeforeWhitesPass});
    ASSERT_EQ(gameState, HumanPass);
    const Board board = liveBoard;
    const int lines = listBoxCount(recordList);
    setMessageText("まだ対局中");

    ASSERT_TRUE(itemEnabled(CmdEditBoard));
    invokeMenuCommand(window, CmdEditBoard);
    ASSERT_TRUE(editorOpen());
    EXPECT_TRUE(itemChecked(CmdEditBoard));
    EXPECT_TRUE(itemChecked(CmdEditWhite)) << "White is to move in the game";
    EXPECT_FALSE(timerPending(window, PassTimer)) << "no pass while the position is set up";
    EXPECT_EQ(liveBoard, board);
    for (int id : {CmdNewGame, CmdTrial, CmdPasteRecord, CmdPass, CmdUndo, CmdRecordMode})
        EXPECT_FALSE(itemEnabled(id)) << id;

    for (int expected : {Black, White, Empty}) {
        click(8, 1);
        EXPECT_EQ(stoneAt(8, 1), expected);
    }
    rightClick(window, 8, 1);
    EXPECT_EQ(stoneAt(8, 1), White);
    key(window, VK_SPACE); // the first key only shows the cursor, on a1
    EXPECT_EQ(stoneAt(1, 1), board[cellIndex(1, 1)]);
    key(window, VK_RIGHT);
    key(window, VK_SPACE);
    EXPECT_EQ(stoneAt(2, 1), Black);
    key(window, VK_BACK);
    key(window, VK_BACK);
    EXPECT_EQ(stoneAt(2, 1), White);

    invokeMenuCommand(window, CmdEditClear);
    EXPECT_EQ(liveBoard, Board{});
    EXPECT_NE(repaintedTexts(300).find("黒も白も打てる所がない局面です"), std::string::npos);
    invokeMenuCommand(window, CmdEditStart);
    EXPECT_EQ(liveBoard, standardGame().start);
    EXPECT_TRUE(itemChecked(CmdEditBlack));
    invokeMenuCommand(window, CmdEditWhite);
    EXPECT_EQ(editorSide(), White);
    const std::string panel = repaintedTexts(300);
    EXPECT_NE(panel.find("300,20:局面編集\n320,37:白番です\n"), std::string::npos) << panel;

    key(window, VK_ESCAPE);
    EXPECT_FALSE(editorOpen());
    EXPECT_EQ(liveBoard, board);
    EXPECT_EQ(gameState, HumanPass);
    EXPECT_TRUE(timerPending(window, PassTimer)) << "the automatic pass comes again";
    EXPECT_EQ(listBoxCount(recordList), lines);
    EXPECT_EQ(messageText(), "まだ対局中");
    fireTimer(window, PassTimer);
    EXPECT_EQ(moveNumber, BeforeWhitesPass + 2);

    // The computer's turn waits behind the editor and is taken after it.
    expectMessageBox(IDOK); // the game is resigned for the new one
    startGame(0, 1);
    click(4, 3);
    finishAnimations();
    ASSERT_TRUE(timerPending(window, WaitTimer));
    invokeMenuCommand(window, CmdEditBoard);
    EXPECT_FALSE(timerPending(window, WaitTimer));
    key(window, VK_ESCAPE);
    EXPECT_EQ(gameState, ComputerTurn);
    EXPECT_TRUE(timerPending(window, WaitTimer));
    EXPECT_EQ(modalScript.unexpected, 0);
}

// A dead position is refused and the editor stays; otherwise play starts
// from the position with the players chosen, or with persons and the hint,
// and save and copy go back to the game with the position kept as GGF.
TEST_F(EditorTest, PlayOnHintSaveAndCopyFromThePositionSetUp)
{
    invokeMenuCommand(window, CmdEditBoard);
    ASSERT_TRUE(editorOpen());
    invokeMenuCommand(window, CmdEditClear);
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdEditBoard);
    EXPECT_TRUE(editorOpen());
    ASSERT_FALSE(modalScript.messages.empty());
    EXPECT_EQ(modalScript.messages.back().rfind("黒も白も打てる所がない局面です。", 0), 0u);

    // The standard start with White to move: White may play e3, c5, f4, d6.
    invokeMenuCommand(window, CmdEditStart);
    invokeMenuCommand(window, CmdEditWhite);
    expectDialog(IDCANCEL); // back to editing
    invokeMenuCommand(window, CmdEditBoard);
    EXPECT_TRUE(editorOpen());
    blackPlayer = whitePlayer = 0;
    expectDialog(PlayOn);
    expectDialog(IDOK); // the players
    invokeMenuCommand(window, CmdEditBoard);
    ASSERT_FALSE(editorOpen());
    ASSERT_EQ(gameState, HumanTurn);
    EXPECT_EQ(opponentOf(currentSide), White);
    EXPECT_EQ(line(0), "開始局面");
    click(5, 3);
    EXPECT_EQ(moveNumber, 2);
    EXPECT_EQ(line(1), "○　1手目：　　e,3");

    // Copy: the GGF of the position, and the game as it was.
    finishAnimations();
    const Board played = liveBoard;
    invokeMenuCommand(window, CmdEditBoard);
    click(1, 1);
    expectDialog(CopyHere);
    invokeMenuCommand(window, CmdEditBoard);
    EXPECT_FALSE(editorOpen());
    EXPECT_EQ(liveBoard, played);
    const GameRead copied = readGame(clipboardText());
    ASSERT_TRUE(copied.ok) << clipboardText();
    Board expected = played;
    expected[cellIndex(1, 1)] = Black;
    EXPECT_EQ(copied.game.start, expected);
    EXPECT_EQ(copied.game.firstSide, Black);
    EXPECT_TRUE(copied.game.turns.empty());

    // Save: written as GGF whatever the name says, then the game again.
    invokeMenuCommand(window, CmdEditBoard);
    expectDialog(SaveHere);
    expectFileDialog((directory / "position.txt").string());
    invokeMenuCommand(window, CmdEditBoard);
    EXPECT_FALSE(editorOpen());
    std::ifstream saved(directory / "position.txt");
    const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("(;GM[Othello]", 0), 0u) << text;
    EXPECT_EQ(messageText(), "保存しました：position.txt");
    EXPECT_EQ(liveBoard, played);

    // Hint: persons on both sides, and the search starts at once.
    blackPlayer = 3;
    invokeMenuCommand(window, CmdEditBoard);
    expectDialog(HintHere);
    invokeMenuCommand(window, CmdEditBoard);
    ASSERT_EQ(gameState, HumanTurn);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(whitePlayer, 0);
    EXPECT_EQ(liveBoard, played);
    EXPECT_TRUE(hintRunning() || hintShown());
    EXPECT_EQ(modalScript.unexpected, 0);
}

#include "modes/editor.h"

#include <ctime>
#include <string>

#include "modes/dialogs.h"
#include "modes/message.h"
#include "modes/record.h"
#include "modes/record_commands.h"
#include "modes/record_game.h"
#include "platform/platform.h"
#include "records/board_text.h"
#include "records/formats.h"
#include "res/resources.h"
#include "ui/boardview.h"
#include "ui/computer.h"
#include "ui/gdi.h"
#include "ui/hint_view.h"
#include "ui/keycursor.h"
#include "ui/playflow.h"

namespace {

const char* const HelpText = "局面編集：クリックで 空→黒→白、右クリックで逆の順に石が替わります。\n"
                             "Ctrl+E で終えて対局・ヒント・保存へ。Esc で編集をやめて元に戻ります。";
const char* const Caption = "局面編集";
const char* const CopiedText = "局面を GGF でコピーしました";
const char* const PlaceName = "Tavixリバーシ";

// The buttons of the dialog that ends editing; Cancel goes back to editing.
enum : int { ChoicePlay = 1, ChoiceBack = 2, ChoiceHint = 3, ChoiceSave = 4, ChoiceCopy = 5 };

bool editing = false;
int sideToMove = Black;

// The game behind the editor, as it was when the editor opened.
struct Behind {
    Board board{};
    int currentSide = Empty;
    int16_t state = GameOver;
    std::string message;
    int selectedLine = -1;
} behind;

std::string messageNow()
{
    char text[1024] = "";
    if (messageLine)
        getWindowText(messageLine, text, sizeof text);
    return text;
}

// While the editor is open nothing of the game may act: no automatic pass,
// no step, no computer, no flip animation drawn over the position set up.
void holdTheGame(Window* window)
{
    cancelHint(window);
    if (gameState == ComputerTurn)
        waitForComputer(window); // its move lands first, as for a save
    stopPlayback();
    killTimer(window, PassTimer);
    killTimer(window, WaitTimer);
    for (uintptr_t slot = 0; slot < 4; ++slot)
        killTimer(window, slot);
}

// Back to the game as it was, with message in the message line; the step it
// was waiting for (the computer's turn, an automatic pass) comes again.
void restoreBehind(Window* window, const std::string& message)
{
    editing = false;
    liveBoard = behind.board;
    currentSide = behind.currentSide;
    gameState = behind.state;
    setMessageText(message.c_str());
    if (recordList)
        listBoxSetSelection(recordList, behind.selectedLine);
    if (gameState == ComputerTurn)
        setTimer(window, WaitTimer, waitTime);
    else if (gameState == HumanPass)
        setTimer(window, PassTimer, PassInterval);
    invalidateWindow(window);
}

void cycleCell(Window* window, Move cell, bool backwards)
{
    signed char& stone = liveBoard[cellIndex(cell.column, cell.row)];
    if (backwards)
        stone = static_cast<signed char>(stone == Empty ? White : stone == White ? Black : Empty);
    else
        stone = static_cast<signed char>(stone == Empty ? Black : stone == Black ? White : Empty);
    invalidateWindow(window);
}

Game editedGame()
{
    Game game;
    game.start = liveBoard;
    game.firstSide = sideToMove;
    game.header.place = PlaceName;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    game.header.date = ggfDate(local);
    return game;
}

// The players are chosen as for a new game; Cancel goes back to editing.
void playOn(Window* window)
{
    if (runDialog(window, MYDIALOG, newGameDialog) != IDOK)
        return;
    const Game game = editedGame();
    editing = false;
    startGameFrom(window, game, blackPlayer, whitePlayer);
}

// A person on both sides, so the hint is there at once and for every move
// after: the position is to be studied.
void hintHere(Window* window)
{
    const Game game = editedGame();
    editing = false;
    startGameFrom(window, game, 0, 0);
    startHint(window);
}

void saveHere(Window* window)
{
    if (saveGameAsGgf(window, editedGame()))
        restoreBehind(window, messageNow()); // "保存しました：..." stays
}

void copyHere(Window* window)
{
    setClipboardText(writeGgf(editedGame()));
    restoreBehind(window, CopiedText);
}

intptr_t finishDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    if (message != WM_COMMAND)
        return message == WM_INITDIALOG ? 1 : 0;
    const int id = static_cast<int>(loWord(wParam));
    if (id < ChoicePlay || id > ChoiceCopy)
        return 0;
    endDialog(dialog, id);
    return 1;
}

} // namespace

bool editorOpen()
{
    return editing;
}

int editorSide()
{
    return sideToMove;
}

bool canOpenEditor()
{
    return trialStage <= 0 && bannerUp == 0;
}

void openEditor(Window* window)
{
    holdTheGame(window); // the computer's move may land meanwhile
    const int side = currentSide == Black || currentSide == White ? opponentOf(currentSide) : Black;
    openEditorWith(window, liveBoard, side);
}

void openEditorWith(Window* window, const Board& board, int side)
{
    if (!editing) {
        holdTheGame(window);
        behind = {liveBoard, currentSide, gameState, messageNow(),
                  recordList ? listBoxSelection(recordList) : -1};
        editing = true;
        setMessageText(HelpText);
    }
    liveBoard = board;
    sideToMove = side == White ? White : Black;
    currentSide = opponentOf(sideToMove);
    gameState = GameOver; // no game runs on the position being set up
    invalidateWindow(window);
}

void cancelEditor(Window* window)
{
    if (editing)
        restoreBehind(window, behind.message);
}

// The dialog and the message box hold the game still, as any dialog does.
void finishEditor(Window* window)
{
    if (!editing)
        return;
    const std::string problem = positionProblem(liveBoard);
    const int was = modalOpen;
    modalOpen = 1;
    if (!problem.empty())
        messageBoxWarning(window, (problem + "。\nどちらかが打てるように石を置いてください。").c_str(),
                          Caption);
    const int choice = problem.empty() ? runDialog(window, EDITDONEDLG, finishDialog) : ChoiceBack;
    modalOpen = was;
    switch (choice) {
    case ChoicePlay:
        playOn(window);
        break;
    case ChoiceHint:
        hintHere(window);
        break;
    case ChoiceSave:
        saveHere(window);
        break;
    case ChoiceCopy:
        copyHere(window);
        break;
    default: // back to editing
        break;
    }
}

void forgetEditor()
{
    editing = false;
    behind = {};
}

void onEditorClick(Window* window, intptr_t point, bool backwards)
{
    const Move cell = hitTestCell(point);
    if (editing && cell.column != 0)
        cycleCell(window, cell, backwards);
}

// The first key that would change a cell only shows the cursor, as in play.
bool onEditorKey(Window* window, unsigned key)
{
    if (!editing)
        return false;
    if (key == VK_ESCAPE) {
        cancelEditor(window);
        return true;
    }
    if (moveEditorCursor(key))
        return true;
    const bool forwards = key == VK_RETURN || key == VK_SPACE;
    const bool backwards = key == VK_BACK || key == VK_DELETE;
    if (!forwards && !backwards)
        return false;
    if (keyCursor == Move{0, 0})
        keyCursor = {1, 1};
    else
        cycleCell(window, keyCursor, backwards);
    return true;
}

void clearEditorBoard(Window* window)
{
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            liveBoard[cellIndex(column, row)] = Empty;
    invalidateWindow(window);
}

void setEditorStartPosition(Window* window)
{
    liveBoard = standardGame().start;
    setEditorSide(window, Black);
}

void setEditorSide(Window* window, int side)
{
    sideToMove = side == White ? White : Black;
    currentSide = opponentOf(sideToMove);
    invalidateWindow(window);
}

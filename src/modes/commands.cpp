#include "modes/commands.h"

#include "board/moves.h"
#include "modes/dialogs.h"
#include "modes/editor.h"
#include "modes/game_review.h"
#include "modes/preferences.h"
#include "modes/record.h"
#include "modes/record_commands.h"
#include "modes/record_game.h"
#include "modes/resume.h"
#include "modes/trial.h"
#include "modes/window_size.h"
#include "platform/platform.h"
#include "ui/computer.h"
#include "ui/gdi.h"
#include "ui/hint_view.h"
#include "ui/playflow.h"
#include "ui/status.h"

namespace {

void newGameCommand(Window* window)
{
    cancelHint(window); // the same start would otherwise keep its marks
    finishComputerTurn(window);
    trialStage = -1;
    stopPlayback();
    enableWindow(playButton, false);
    startNewGame(window);
}

void trialCommand(Window* window)
{
    finishComputerTurn(window);
    killTimer(window, PassTimer);
    trialStage = 1;
    startTrialStage(window);
}

void recordModeCommand(Window* window)
{
    if (gameState == Replay) {
        gameState = GameOver;
        stopPlayback();
        enableWindow(playButton, false);
        invalidateWindow(window);
        return;
    }
    enableWindow(playButton, true);
    enterRecordMode(window);
}

void passCommand(Window* window)
{
    killTimer(window, PassTimer);
    passTurn(window);
}

// After undo the same side is to move, in the position of two turns ago,
// where it may have had moves or not: decide its state as after a move, so no
// pass is offered (or made automatically) where the player can move, and no
// player is left without a move and without the pass.
void decideStateAfterUndo(Window* window)
{
    const int next = opponentOf(currentSide);
    listMoves(0, next, liveBoard);
    gameState = moveLists[0][0].column == 0 ? HumanPass : HumanTurn;
    if (playerOf(next) != 0) {
        gameState = ComputerTurn;
        setTimer(window, WaitTimer, waitTime);
    }
    if (gameState == HumanPass)
        setTimer(window, PassTimer, PassInterval);
}

// A display preference: shown at once, kept in preferences.conf.
void togglePreference(Window* window, int& preference)
{
    preference = preference ? 0 : 1;
    savePreferences();
    invalidateWindow(window);
}

// While the position is set up no game runs: only the editor's own items,
// what shows the window and the ways out stay.
bool enabledWhileEditing(int id)
{
    switch (id) {
    case CmdExit:
    case CmdSettings:
    case CmdEditBoard:
    case CmdEditClear:
    case CmdEditStart:
    case CmdEditBlack:
    case CmdEditWhite:
    case CmdShowOpenings:
    case CmdShowLastMove:
        return true;
    case CmdCopyPosition:
        return canCopyPosition();
    default:
        return isSizeCommand(id);
    }
}

void editBoardCommand(Window* window)
{
    if (editorOpen())
        finishEditor(window);
    else
        openEditor(window);
}

} // namespace

void (*pauseBeforeRestart)(int milliseconds) = busyPause;

// The pause keeps the window painted but lets nothing act in the old game.
void finishComputerTurn(Window* window)
{
    if (gameState != ComputerTurn)
        return;
    waitForComputer(window);
    pauseBeforeRestart(RestartPause);
}

bool commandEnabled(int id)
{
    if (editorOpen())
        return enabledWhileEditing(id);
    switch (id) {
    case CmdRecordMode:
        return gameState < 0;
    case CmdPass:
        return gameState == HumanPass;
    case CmdResign:
        return gameState >= 0 && gameState != ComputerTurn;
    case CmdUndo:
        return undoReady > 0 && gameState != ComputerTurn && trialStage <= 0;
    case CmdSaveRecord:
    case CmdCopyRecord:
        return recordHasMove();
    case CmdOpenRecord:
    case CmdPasteRecord:
        return trialStage <= 0;
    case CmdPlayFromHere:
        return canPlayFromHere();
    case CmdAnalyseRecord:
        return canAnalyseRecord();
    case CmdHint:
        return hintAllowed();
    case CmdEditBoard:
        return canOpenEditor();
    case CmdEditClear:
    case CmdEditStart:
    case CmdEditBlack:
    case CmdEditWhite:
        return false; // the editor's own
    case CmdCopyPosition:
        return canCopyPosition();
    default:
        return true;
    }
}

bool commandChecked(int id)
{
    switch (id) {
    case CmdRecordMode:
        return gameState == Replay;
    case CmdEditBoard:
        return editorOpen();
    case CmdEditBlack:
    case CmdEditWhite:
        return editorOpen() && editorSide() == (id == CmdEditBlack ? Black : White);
    case CmdShowOpenings:
        return showOpeningNames != 0;
    case CmdShowLastMove:
        return showLastMove != 0;
    default:
        return false;
    }
}

// Every item but the sizes, which are a choice of their own.
void updateMenuState(Window* window, Menu* popup)
{
    const int count = menuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        const int id = menuItemId(popup, position);
        if (id != 0 && !isSizeCommand(id))
            setMenuItemState(popup, position, commandEnabled(id), commandChecked(id));
    }
    updateSizeItems(window, popup);
}

// The enable rules are checked here as well as in the menu: a command can
// arrive after the state changed under an open menu (the automatic pass, a
// computer's move), and must not act on a state its item does not allow.
void onCommand(Window* window, uintptr_t command)
{
    const int id = static_cast<int>(loWord(command));
    if (!commandEnabled(id))
        return;
    switch (id) {
    case CmdNewGame:
        newGameCommand(window);
        break;
    case CmdExit:
        destroyWindow(window);
        break;
    case CmdRecordMode:
        recordModeCommand(window);
        break;
    case CmdSettings:
        showSettingsDialog(window);
        break;
    case CmdTrial:
        trialCommand(window);
        break;
    case CmdOpenRecord:
        openRecordCommand(window);
        break;
    case CmdSaveRecord:
        saveRecordCommand(window);
        break;
    case CmdCopyRecord:
        copyRecordCommand(window);
        break;
    case CmdPasteRecord:
        pasteRecordCommand(window);
        break;
    case CmdPlayFromHere:
        playFromHereCommand(window);
        break;
    case CmdAnalyseRecord:
        analyseRecordCommand(window);
        break;
    case CmdHint:
        startHint(window);
        break;
    case CmdEditBoard:
        editBoardCommand(window);
        break;
    case CmdEditClear:
        clearEditorBoard(window);
        break;
    case CmdEditStart:
        setEditorStartPosition(window);
        break;
    case CmdEditBlack:
    case CmdEditWhite:
        setEditorSide(window, id == CmdEditBlack ? Black : White);
        break;
    case CmdCopyPosition:
        copyPositionCommand(window);
        break;
    case CmdShowOpenings:
        togglePreference(window, showOpeningNames);
        relabelRecordList(); // the list names the openings or no longer does
        break;
    case CmdShowLastMove:
        togglePreference(window, showLastMove);
        break;
    case CmdPass:
        passCommand(window);
        break;
    case CmdResign:
        confirmResign(window);
        break;
    case CmdUndo:
        undo(window);
        break;
    case PlayButtonId:
        if (gameState == Replay)
            togglePlayback(window, listBoxSelection(recordList));
        break;
    case RecordListId:
        if (gameState == Replay)
            showRecordPosition(window, listBoxSelection(recordList));
        break;
    default:
        if (isSizeCommand(id))
            chooseSize(window, id);
        break;
    }
}

int confirmResign(Window* window)
{
    if (gameState < 0)
        return 2;
    modalOpen = 1;
    const int answer = messageBoxOkCancel(window, "本当に投げますか？", "投了確認");
    modalOpen = 0;
    if (answer != IDOK || gameState < 0) // the game may have ended meanwhile
        return 2;
    killTimer(window, PassTimer);
    gameState = Resigned;
    recordResignedBy = opponentOf(resignationWinner(currentSide, blackPlayer, whitePlayer));
    setRecordEntry(moveNumber, {-1, -1});
    undoReady = -1;
    trialStage = -1; // a resigned trial game ends the trial without a result
    forgetGameInProgress();
    invalidateWindow(window);
    return 1;
}

void undo(Window* window)
{
    if (undoReady != 1)
        return;
    killTimer(window, PassTimer);
    liveBoard = boardBeforePrevious;
    clearRecordList(window);
    moveNumber = static_cast<int16_t>(moveNumber - 2);
    rebuildRecordList(window, moveNumber);
    undoReady = -1;
    decideStateAfterUndo(window);
    keepGameInProgress(); // the kept game must match the board it goes back to
    invalidateWindow(window);
}

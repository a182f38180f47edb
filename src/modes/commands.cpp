#include "modes/commands.h"

#include "board/moves.h"
#include "modes/dialogs.h"
#include "modes/game_review.h"
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
    default:
        return true;
    }
}

void updateMenuState(Window* window, Menu* popup)
{
    const int count = menuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        const int id = menuItemId(popup, position);
        if (id == CmdRecordMode || id == CmdPass || id == CmdResign || id == CmdUndo || id == CmdHint ||
            (id >= CmdOpenRecord && id <= CmdAnalyseRecord))
            setMenuItemState(popup, position, commandEnabled(id), id == CmdRecordMode && gameState == Replay);
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

#include "ui/playflow.h"

#include "ai/levels.h"
#include "modes/message.h"
#include "modes/record.h"
#include "modes/resume.h"
#include "modes/trial.h"
#include "platform/platform.h"
#include "ui/boardview.h"
#include "ui/computer.h"
#include "ui/gdi.h"

int16_t gameState = GameOver;
int currentSide = Empty;
int blackPlayer = 0;
int whitePlayer = 0;
int16_t moveNumber = 1;
Move gameRecord[GameRecordSize + 1] = {{0, 0}, {-1, -1}};
Board recordStart = standardGame().start;
int recordFirstSide = Black;
int recordResignedBy = Empty;
bool recordOpened = false;
GameHeader recordHeader;
int undoReady = -1;
int waitTime = 200;
int modalOpen = 0;
int bannerUp = 0;
int trialStage = -1;
int16_t animSlot = 0;
int16_t animFrame[5] = {};
Move animCells[5][25] = {};

namespace {

constexpr Move NoMove{0, 0};
constexpr Move EndMarker{-1, -1};
constexpr int AnimationSlots = 4;
constexpr int AnimationCells = 25;

void repaintWindow(Window* window)
{
    invalidateWindow(window);
    updateWindow(window);
}

bool hasNoMove(int slot)
{
    return moveCount(moveLists[slot]) == 0;
}

// HumanPass or HumanTurn for the side to move, ComputerTurn when the computer
// plays it: the computer answers even without a move, with a pass.
void decideTurnOfNextSide()
{
    const int next = opponentOf(currentSide);
    listMoves(0, next, liveBoard);
    gameState = hasNoMove(0) ? HumanPass : HumanTurn;
    if (playerOf(next) != 0)
        gameState = ComputerTurn;
}

} // namespace

int playerOf(int colour)
{
    if (colour == Black)
        return blackPlayer;
    if (colour == White)
        return whitePlayer;
    return 0;
}

void setRecordEntry(int n, Move entry)
{
    if (n >= 1 && n <= GameRecordSize)
        gameRecord[n] = entry;
}

// Beyond the room of the record nothing was kept, which reads as its end.
Move recordEntry(int n)
{
    if (n >= 1 && n <= GameRecordSize)
        return gameRecord[n];
    return EndMarker;
}

void startFlipAnimation(Window* window, int side)
{
    animSlot = static_cast<int16_t>((animSlot + 1) % AnimationSlots);
    const MoveList& flips = flipList();
    for (int i = 0; i < AnimationCells; ++i) {
        const Move cell = flips[i];
        if (cell.column == 0 || cell.row == 0) {
            animCells[animSlot][i] = NoMove;
            break;
        }
        animCells[animSlot][i] = cell;
    }
    // Black's turned stones go from the White picture (0) to Black (3),
    // White's from Black (3) to White (6).
    animFrame[animSlot] = side == Black ? 0 : 3;
    drawFlipFrame(window, animSlot, animFrame[animSlot]);
    setTimer(window, animSlot, AnimationInterval);
}

void commitMove(Window* window, int side, int column, int row)
{
    applyMove(liveBoard, column, row, side);
    // The record line reads liveBoard before the move, for the undo snapshot.
    appendRecordLine(recordList, column, row, moveNumber, side);
    ++moveNumber;
    listFlips(liveBoard);
    startFlipAnimation(window, side);
    liveBoard = trialBoard;
}

void decideNextState(Window* window)
{
    decideTurnOfNextSide();
    listMoves(0, Black, liveBoard);
    listMoves(1, White, liveBoard);
    if (hasNoMove(0) && hasNoMove(1)) {
        gameState = GameOver;
        setRecordEntry(moveNumber, EndMarker);
        undoReady = -1;
    }
    if (gameState == HumanPass)
        setTimer(window, PassTimer, PassInterval);
    keepGameInProgress();
}

void onBoardClick(Window* window, intptr_t point)
{
    const Move cell = hitTestCell(point);
    const int mover = opponentOf(currentSide);
    if (cell.column == 0 || cell.row == 0 || !isLegalMove(mover, cell.column, cell.row, liveBoard))
        return;
    currentSide = mover;
    commitMove(window, mover, cell.column, cell.row);
    decideNextState(window);
}

void onComputerMoveDone(Window* window)
{
    // Only a game waiting for the computer takes its answer.
    if (gameState != ComputerTurn)
        return;
    const int player = playerOf(currentSide);
    if (player == 0)
        return;
    showLevelSaying(window, player);
    if (chosenMove == NoMove) {
        // startComputerMove began the turn; the pass begins it again.
        currentSide = opponentOf(currentSide);
        passTurn(window);
        trialBoard = liveBoard;
        return;
    }
    commitMove(window, currentSide, chosenMove.column, chosenMove.row);
    decideNextState(window);
}

void passTurn(Window* window)
{
    currentSide = opponentOf(currentSide);
    appendRecordLine(recordList, 0, 0, moveNumber, currentSide);
    ++moveNumber;
    // A side only passes while the other can move, so the game goes on.
    decideTurnOfNextSide();
    keepGameInProgress();
    repaintWindow(window);
    setTimer(window, WaitTimer, waitTime);
}

void onAnimationTick(Window* window, int slot)
{
    if (slot < 0 || slot >= AnimationSlots) {
        killTimer(window, static_cast<uintptr_t>(slot));
        return;
    }
    const int frame = ++animFrame[slot];
    drawFlipFrame(window, slot, frame);
    if (frame != 3 && frame < 6)
        return;
    killTimer(window, static_cast<uintptr_t>(slot));
    if (bannerUp == 0)
        repaintWindow(window);
    setTimer(window, WaitTimer, waitTime);
}

void onPassTimer(Window* window)
{
    killTimer(window, PassTimer);
    if (gameState == HumanPass)
        passTurn(window);
}

void onWaitTimer(Window* window)
{
    if (modalOpen == 0) {
        killTimer(window, WaitTimer);
        if (gameState == ComputerTurn)
            startComputerMove(window);
        else if (gameState == Replay)
            replayStep(window);
    }
    if ((gameState == GameOver || gameState == Resigned) && trialStage > 0)
        showStageResult(window);
}

void onBannerTimer(Window* window)
{
    killTimer(window, BannerTimer);
    bannerUp = 0;
    repaintWindow(window);
    if (gameState >= 0)
        setTimer(window, WaitTimer, waitTime);
    else if (trialStage > 0)
        startTrialStage(window);
}

void resetGameStart(Window* window)
{
    setupBoard();
    setWindowText(messageLine, "");
    currentSide = White; // every turn toggles it first, so Black moves first
    moveNumber = 1;
    beginStandardRecord();
    clearRecordList(window); // after the record's start is the standard one again
    undoReady = -1;
    gameState = blackPlayer != 0 ? ComputerTurn : HumanTurn;
    killTimer(window, PassTimer);
    forgetGameInProgress();
}

void beginStandardRecord()
{
    recordStart = standardGame().start;
    recordFirstSide = Black;
    recordResignedBy = Empty;
    recordOpened = false;
    recordHeader = {};
}

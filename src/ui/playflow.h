// The play state and the turn sequence, paced by the main window's timers.
#pragma once

#include <cstdint>

#include "board/moves.h"
#include "records/game.h"

struct Window;

enum GameState : int16_t {
    HumanTurn = 0,
    HumanPass = 1,
    ComputerTurn = 100,
    GameOver = -1,
    Resigned = -2,
    Replay = -100,
};

// Timer identifiers; the animation timers use their slot number 0..3.
enum : uintptr_t { PassTimer = 120, WaitTimer = 230, BannerTimer = 340 };
constexpr int AnimationInterval = 100;
constexpr int PassInterval = 2000;
constexpr int BannerInterval = 3000;

// Entries 1..GameRecordSize; a legal game has at most 60 moves and as many
// passes as moves, plus the end marker, so 121 entries always suffice.
constexpr int GameRecordSize = 128;

extern int16_t gameState;
extern int currentSide; // the colour whose turn began last
extern int blackPlayer; // 0 a person, 1..8 lv0..lv7
extern int whitePlayer;
extern int16_t moveNumber;
extern Move gameRecord[GameRecordSize + 1]; // index 0 unused
// Where the record starts: games played here start from the standard
// position with Black; an opened game brings its own start and first side.
extern Board recordStart;
extern int recordFirstSide;  // the colour of entry 1; the entries alternate from it
extern int recordResignedBy; // the colour that resigned the game on record, or Empty
// An opened game keeps the header it was read with until it is played on.
extern bool recordOpened;
extern GameHeader recordHeader;
extern int undoReady;
extern int waitTime;
extern int modalOpen;
extern int bannerUp;
extern int trialStage;
extern int16_t animSlot;
extern int16_t animFrame[5];
extern Move animCells[5][25];

// The player setting of a colour.
int playerOf(int colour);
// Stores a record entry (1..GameRecordSize); entries beyond are dropped.
void setRecordEntry(int n, Move entry);
Move recordEntry(int n);

void onBoardClick(Window* window, intptr_t point);
void onComputerMoveDone(Window* window);
void passTurn(Window* window);
void onAnimationTick(Window* window, int slot);
void onPassTimer(Window* window);
void onWaitTimer(Window* window);
void onBannerTimer(Window* window);

// Record entry, turned stones, animation slot and the new position.
void commitMove(Window* window, int side, int column, int row);
// Steps 4 to 6 of committing: the next animation slot over flipList.
void startFlipAnimation(Window* window, int side);
void decideNextState(Window* window);
// The state every game start leaves: new board, Black to move, empty record.
void resetGameStart(Window* window);
// The record of a game played here: the standard start, Black first, no
// resignation, no header read.
void beginStandardRecord();

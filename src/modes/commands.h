// Menu commands, their enable rules, resignation and undo.
#pragma once

#include <cstdint>

struct Window;
struct Menu;

enum : int {
    CmdNewGame = 101,
    CmdExit = 102,
    CmdRecordMode = 103,
    CmdSettings = 104,
    CmdTrial = 105,
    CmdOpenRecord = 106,
    CmdSaveRecord = 107,
    CmdCopyRecord = 108,
    CmdPasteRecord = 109,
    CmdPlayFromHere = 110,
    CmdAnalyseRecord = 111,
    CmdPass = 201,
    CmdResign = 202,
    CmdUndo = 203,
    CmdHint = 204,
    CmdEditBoard = 205,
    CmdEditClear = 206,
    CmdEditStart = 207,
    CmdEditBlack = 208,
    CmdEditWhite = 209,
    CmdCopyPosition = 210,
    CmdShowOpenings = 211,
    CmdShowLastMove = 212,
};

void onCommand(Window* window, uintptr_t command);
void updateMenuState(Window* window, Menu* popup);
int confirmResign(Window* window); // 1 resigned, 2 not

// Whether the menu item of a command is enabled in the current state; a
// command whose item is grayed is not carried out.
bool commandEnabled(int id);
// Whether the item shows a check: record mode, the editor and its side to
// move, the names of the openings and the last move's mark.
bool commandChecked(int id);
// Takes back the last two turns when undoReady is 1.
void undo(Window* window);

// Before a command replaces a game the computer is playing: its running move
// is finished and applied to the old game, then the pause below.
void finishComputerTurn(Window* window);

// The pause before a new game or trial replaces a computer's game; tests
// replace it to record the call instead of sleeping.
constexpr int RestartPause = 2000;
extern void (*pauseBeforeRestart)(int milliseconds);

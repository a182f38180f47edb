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
    CmdPass = 201,
    CmdResign = 202,
    CmdUndo = 203,
};

void onCommand(Window* window, uintptr_t command);
void updateMenuState(Window* window, Menu* popup);
int confirmResign(Window* window); // 1 resigned, 2 not

// What must hold between any two events of the soak, whatever came before.
#pragma once

#include <string>

struct Window;

// Each returns "" when all is well, else what is wrong.

// The play state on its own: a known state, a consistent board, the record
// replaying to the board, the record list matching the record, one worker at
// most, and a timer or worker pending wherever the game waits for one.
// boardInUse: a game has been set up since the window was created, so the
// board and the record describe the same game.
std::string checkPlayState(Window* window, bool boardInUse);

// config.dat after the window's destruction: the 16 bytes of the settings in
// force and the window's last position.
std::string checkSavedSettings(int left, int top);

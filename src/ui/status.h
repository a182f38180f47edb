// The status lines and the stone-count block to the right of the board.
#pragma once

#include "res/text.h"

struct Window;
struct DeviceContext;

// Room playerName needs, terminator included.
constexpr int PlayerNameSize = 32;

void paintStatus(Window* window, DeviceContext* dc);
void paintStoneCounts(Window* window, DeviceContext* dc);
// "人", or "lv" + level digit + " " + persona name; returns buffer. In the
// interface's language, or in the one given.
char* playerName(char* buffer, int setting);
char* playerNameIn(Language language, char* buffer, int setting);
// The colour declared the winner when the side to move resigned: side is
// currentSide at the resignation, the settings are blackPlayer and whitePlayer.
int resignationWinner(int side, int blackSetting, int whiteSetting);

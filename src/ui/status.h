// The status lines and the stone-count block to the right of the board.
#pragma once

struct Window;
struct DeviceContext;

void paintStatus(Window* window, DeviceContext* dc);
void paintStoneCounts(Window* window, DeviceContext* dc);
// "人", or "lv" + level digit + " " + persona name; returns buffer.
char* playerName(char* buffer, int setting);

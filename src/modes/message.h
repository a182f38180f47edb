// The message line under the board: sayings after lv5's and lv6's turns.
#pragma once

struct Window;

void showLevelSaying(Window* window, int setting);

// The message line under the board: sayings after lv5's and lv6's turns.
#pragma once

struct Window;

void showLevelSaying(Window* window, int setting);
// Replaces the whole text of the message line; nullptr or "" clears it.
void setMessageText(const char* text);
// Shows string resource id in the message line, whole.
void showMessageString(int id);

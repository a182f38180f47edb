// The 表示 menu: the window at 100%, 150% or 200% of its plain size. The game
// keeps drawing in its own pixels; the window-system layer shows them larger
// and maps the mouse back. The player's choice is kept in the preferences.
#pragma once

struct Window;
struct Menu;

enum : int { CmdSize100 = 301, CmdSize150 = 302, CmdSize200 = 303 };

bool isSizeCommand(int id);
// At the window's creation: the size the player chose last, or the largest
// smaller one that fits the screen.
void applyRememberedSize(Window* window);
// A size from the menu; one that does not fit the screen is not taken.
void chooseSize(Window* window, int id);
// The sizes that fit are enabled, and the one shown is checked.
void updateSizeItems(Window* window, Menu* popup);

// The help menu: how to play, and what this program is and where it keeps
// its files.
#pragma once

struct Window;

void showHowToPlay(Window* window);
void showAbout(Window* window);

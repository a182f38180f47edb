// config.dat: players, wait time and window position between runs, kept in
// the configuration folder ($XDG_CONFIG_HOME/tavix-reversi, else
// ~/.config/tavix-reversi). Without that folder the game runs on defaults and
// says once on stderr that nothing will be saved.
#pragma once

#include <cstdint>

struct Window;

constexpr int MaxWaitTime = 60000;
// Wait times a timer can take: anything else is brought into 0..MaxWaitTime.
int clampWaitTime(long long milliseconds);

void loadSettings(Window* window);
void saveSettings(Window* window);

// The window's position is saved once it has stood still for a second after a
// move, so a drag writes the file once, not at every step.
constexpr uintptr_t MovedSaveTimer = 450; // apart from the game's 0..3, 120, 230, 340
constexpr int MovedSaveDelay = 1000;
void onWindowMoved(Window* window);
void onMovedSaveTimer(Window* window);

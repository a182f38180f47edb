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

// The new-game and settings dialogs.
#pragma once

#include <cstdint>

struct Window;

void startNewGame(Window* window);
intptr_t newGameDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);
void showSettingsDialog(Window* window);
intptr_t settingsDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);

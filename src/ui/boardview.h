// The board view: labels, playing area, highlights, stones, grid, the flip
// animation, and mapping mouse positions to cells.
#pragma once

#include <cstdint>

#include "board/moves.h"

struct Window;
struct DeviceContext;
struct Rect;

extern int16_t cursorKind; // 1 arrow, 2 slashed circle

void paintBoard(Window* window, DeviceContext* dc);
void drawStone(Window* window, int column, int row, int frame);
void drawFlipFrame(Window* window, int slot, int frame);
Move hitTestCell(intptr_t point);
// Whether the last paint lit the cell. Between a move and the repaint after
// its animation the screen still shows the old highlights.
bool cellLitOnScreen(int column, int row);
// The cell's rectangle, its top and left grid lines included.
Rect cellRect(int column, int row);
void updateCursor(Window* window, intptr_t point);
// n as one or more decimal digits; the buffer needs room for 7 bytes.
char* numberText(char* buffer, int n);

// Static evaluation of a position, used at the leaves of the searching levels.
#pragma once

#include "board/board.h"

int evaluateSide(int colour, const Board& board);
int evaluatePosition(int colour, const Board& board);

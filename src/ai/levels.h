// The seven computer levels and the searches they are built from. Every
// procedure reads its board only and reports through chosenMove/bestScore.
#pragma once

#include "board/board.h"
#include "board/moves.h"

// Shared result cells of every level. A level that finds no legal move sets
// chosenMove to (0, 0) and leaves bestScore alone.
extern Move chosenMove;
extern int bestScore;

void chooseMoveLv0(int colour, const Board& board);
void chooseMoveLv1(int colour, const Board& board);
void chooseMoveLv2(int colour, const Board& board);
void chooseMoveLv3(int colour, const Board& board);
void chooseMoveLv4(int colour, const Board& board);
void chooseMoveLv5(int colour, const Board& board);
void chooseMoveLv6(int colour, const Board& board);
void searchToEnd(int colour, const Board& board);
void searchSixPly(int colour, const Board& board);

// Neither colour can move; lists both colours into slots 17 and 18.
bool isGameOver(const Board& position);

// Empty cells among the 64 playing cells.
int countEmpty(const Board& board);

// The level table: player setting 1..7 runs lv0..lv6 on the calling thread.
// Any other setting runs nothing and yields a pass, never a stale move.
void runLevel(int player, int colour, const Board& board);

// The same level table run by the fast engine (engine/engine.h): the same
// chosenMove and bestScore as runLevel, in a fraction of the time.
void runLevelFast(int player, int colour, const Board& board);

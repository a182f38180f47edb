// The game on record as one Game value and back: what opening, saving,
// copying, playing on from a position and resuming a game have in common.
#pragma once

#include "records/game.h"

struct Window;

// The record as a Game: its start and first side, every turn so far (while
// no game runs, up to the end marker), a resignation, and the header an
// opened game was read with, or for a game played here the players as the
// status panel names them, this program as the place and the time now.
Game recordedGame();
// At least one move on record, not only passes.
bool recordHasMove();
// Shows game in record mode at its final position, its last line selected,
// as if it had been played here. The player settings and the wait time stay.
// The game must be legal and hold fewer than GameRecordSize turns.
void showGameInRecordMode(Window* window, const Game& game);
// Starts play after game's turns, which stay on record, with the given
// players; the side to move is the one after the last turn.
void startGameFrom(Window* window, const Game& game, int black, int white);

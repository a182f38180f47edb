// The fast engine: bitboard versions of the seven computer levels and their
// searches. Each one leaves in chosenMove and bestScore exactly what the plain
// procedure of the same name leaves for the same board, clock second and
// prior bestScore (bestScore untouched where the plain one leaves it alone).
// The plain procedures in ai/ stay the definition; these only prune what
// cannot change the first highest candidate or its score.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "engine/solver.h"

void fastLv0(int colour, const Board& board);
void fastLv1(int colour, const Board& board);
void fastLv2(int colour, const Board& board);
void fastLv3(int colour, const Board& board);
void fastLv4(int colour, const Board& board);
void fastLv5(int colour, const Board& board);
void fastLv6(int colour, const Board& board);
void fastSearchToEnd(int colour, const Board& board);
void fastSearchSixPly(int colour, const Board& board);

// Player setting 1..7 runs lv0..lv6, 8 the master level lv7 (the midgame
// search); any other setting yields a pass.
void engineChooseMove(int player, int colour, const Board& board);
void masterLevel(int colour, const Board& board);
constexpr double MasterSeconds = 1.0; // lv7's time a move
constexpr int MasterExactFrom = 20;   // lv7 tries the exact solver from here down

// Runs the plain level and the fast one from the same bestScore and reports
// whether they agree on chosenMove and bestScore. Leaves the plain result in
// the shared cells. Retries when the clock second changes in between.
bool verifyMove(int player, int colour, const Board& board);

// The exact final disc difference for `colour` to move (passing if it must)
// under best play, from the endgame solver behind fastSearchToEnd; counted
// as the plain levels count it unless another scoring is given.
int solveEndgame(int colour, const Board& board);
int solveEndgame(int colour, const Board& board, Scoring scoring);

// Frees this thread's solver table: the next solve starts cold.
void clearSolverTable();

// Nodes visited by the endgame solver on this thread since the last reset.
uint64_t solverNodes();
void resetSolverNodes();

// Leaf count of the bitboard move generator, `depth` plies from the board with
// `colour` to move. A forced pass counts as a ply; a finished game counts as
// one leaf whatever depth remains.
uint64_t perft(int colour, const Board& board, int depth);

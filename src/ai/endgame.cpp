// Exhaustive endgame search: plain full-width minimax over every continuation,
// scored by the final disc difference.
#include "ai/levels.h"

void searchToEnd(int colour, const Board& board)
{
    const int opponent = opponentOf(colour);
    listMoves(0, colour, board);
    MoveList candidates = moveLists[0]; // nested calls rewrite slot 0
    const int n = moveCount(candidates);
    if (n == 0) {
        chosenMove = {0, 0};
        return;
    }
    int scores[MoveListSize] = {};
    for (int k = 0; k < n; ++k) {
        applyMove(board, candidates[k].column, candidates[k].row, colour);
        const Board child = trialBoard;
        if (isGameOver(child)) {
            const int diff = countStones(Black, child) - countStones(White, child);
            scores[k] = colour == Black ? diff : -diff;
            continue;
        }
        listMoves(1, opponent, child);
        if (moveLists[1][0].column != 0) {
            searchToEnd(opponent, child);
            scores[k] = -bestScore;
        } else {
            searchToEnd(colour, child);
            scores[k] = bestScore;
        }
    }
    int best = 0;
    for (int k = 1; k < n; ++k)
        if (scores[k] > scores[best])
            best = k;
    bestScore = scores[best];
    chosenMove = candidates[best];
}

// lv0 (random legal move) and lv3 (two plies over the evaluation, with noise).
#include "ai/evaluate.h"
#include "ai/levels.h"
#include "ai/random.h"

void chooseMoveLv0(int colour, const Board& board)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    listMoves(0, colour, board);
    const int n = moveCount(moveLists[0]);
    chosenMove = n > 0 ? moveLists[0][drawRandom() % n] : Move{0, 0};
}

namespace {

// The opponent's best evaluation over its replies to own move P1, or the
// pass value when it has none.
int opponentBest(int opponent, const Board& p1)
{
    listMoves(1, opponent, p1);
    const MoveList& replies = moveLists[1];
    if (replies[0].column == 0)
        return evaluatePosition(opponent, p1) - 5000;
    int worst = 0;
    for (int j = 0; replies[j].column != 0; ++j) {
        applyMove(p1, replies[j].column, replies[j].row, opponent);
        const Board p2 = trialBoard;
        const int v = evaluatePosition(opponent, p2);
        if (j == 0 || v > worst)
            worst = v;
    }
    return worst;
}

} // namespace

void chooseMoveLv3(int colour, const Board& board)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    const int opponent = opponentOf(colour);
    listMoves(0, colour, board);
    const MoveList& candidates = moveLists[0];
    const int n = moveCount(candidates);
    if (n == 0) {
        chosenMove = {0, 0};
        return;
    }
    int scores[MoveListSize] = {};
    for (int k = 0; k < n; ++k) {
        applyMove(board, candidates[k].column, candidates[k].row, colour);
        const Board p1 = trialBoard;
        if (isGameOver(p1)) {
            scores[k] = evaluatePosition(colour, p1);
            continue;
        }
        scores[k] = -opponentBest(opponent, p1) + drawRandom() % 15;
    }
    int best = 0;
    for (int k = 1; k < n; ++k)
        if (scores[k] > scores[best])
            best = k;
    bestScore = scores[best];
    chosenMove = candidates[best];
}

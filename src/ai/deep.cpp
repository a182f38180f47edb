// lv4 to lv6: the four-ply search (lv5), the six-ply search, and the
// switch-over by empty cells.
#include "ai/evaluate.h"
#include "ai/levels.h"

namespace {

using InnerSearch = void (*)(int, const Board&);

// The own side's score after the opponent's reply, from the inner search. When
// the own side has no move there, the inner search leaves bestScore stale, so
// the position is scored here instead: its evaluation, less the pass penalty
// if only the own side is blocked.
int ownScoreAfterReply(int colour, const Board& second, InnerSearch inner)
{
    inner(colour, second);
    if (chosenMove.column != 0)
        return bestScore;
    const int own = evaluatePosition(colour, second);
    const bool gameOver = moveLists[17][0].column == 0 && moveLists[18][0].column == 0;
    return gameOver ? own : own - 5000;
}

// The lv5 scheme: every own move, every reply, then the inner search for the
// own side. ownSlot and replySlot are walked while the inner search runs.
void searchDeep(int colour, const Board& board, int ownSlot, int replySlot, InnerSearch inner)
{
    const int opponent = opponentOf(colour);
    listMoves(ownSlot, colour, board);
    const MoveList& candidates = moveLists[ownSlot];
    const int n = moveCount(candidates);
    if (n == 0) {
        chosenMove = {0, 0};
        return;
    }
    int scores[MoveListSize] = {};
    for (int k = 0; k < n; ++k) {
        applyMove(board, candidates[k].column, candidates[k].row, colour);
        const Board first = trialBoard;
        if (isGameOver(first)) {
            scores[k] = evaluatePosition(colour, first);
            continue;
        }
        listMoves(replySlot, opponent, first);
        const MoveList& replies = moveLists[replySlot];
        int worst = 0;
        if (replies[0].column == 0) {
            worst = evaluatePosition(opponent, first) - 5000;
        } else {
            for (int j = 0; replies[j].column != 0; ++j) {
                applyMove(first, replies[j].column, replies[j].row, opponent);
                const Board second = trialBoard;
                const int v = -ownScoreAfterReply(colour, second, inner);
                if (j == 0 || v > worst)
                    worst = v;
            }
        }
        scores[k] = -worst;
    }
    int best = 0;
    for (int k = 1; k < n; ++k)
        if (scores[k] > scores[best])
            best = k;
    bestScore = scores[best];
    chosenMove = candidates[best];
}

} // namespace

void chooseMoveLv4(int colour, const Board& board)
{
    if (countEmpty(board) < 10)
        searchToEnd(colour, board);
    else
        chooseMoveLv3(colour, board);
}

void chooseMoveLv5(int colour, const Board& board)
{
    searchDeep(colour, board, 2, 3, chooseMoveLv3);
}

void searchSixPly(int colour, const Board& board)
{
    searchDeep(colour, board, 6, 5, chooseMoveLv5);
}

void chooseMoveLv6(int colour, const Board& board)
{
    const int emptyCount = countEmpty(board);
    if (emptyCount < 12)
        searchToEnd(colour, board);
    else if (emptyCount < 16)
        searchSixPly(colour, board);
    else if (emptyCount < 57)
        chooseMoveLv5(colour, board);
    else
        chooseMoveLv2(colour, board);
}

// lv1 and lv2: every legal move scored once, one ply deep, from fixed terms.
// The two levels share the scheme and differ in weights and two terms.
#include "ai/levels.h"
#include "ai/random.h"

namespace {

struct OnePlyWeights {
    int xSquare;  // diagonal neighbour of an empty corner
    int perReply; // per legal reply of the opponent
    int perOpponentStone;
    int cornerReply; // per corner the opponent may take next
    int randomRange;
    bool edgeLines;   // lv2's row/column term
    int endgameBelow; // endgame term only when emptyCount is below this
    int (*endgamePerStone)(int emptyCount);
};

constexpr OnePlyWeights lv1Weights{-5500, -50,   20, -9000,
                                   50,    false, 6,  [](int emptyCount) { return (8 - emptyCount) * 60; }};
constexpr OnePlyWeights lv2Weights{-4000, -170, 15, -8000, 120, true, 4, [](int) { return 220; }};

struct CornerArea {
    int corner;
    int edgeA, edgeB, diagonal;
};

constexpr CornerArea cornerAreas[4] = {
    {11, 12, 21, 22},
    {18, 17, 28, 27},
    {81, 82, 71, 72},
    {88, 87, 78, 77},
};

int squareTerm(const OnePlyWeights& w, Move m, const Board& board)
{
    const int cell = cellIndex(m.column, m.row);
    for (const CornerArea& a : cornerAreas) {
        if (cell == a.corner)
            return 10000;
        if (board[a.corner] != Empty)
            continue;
        if (cell == a.edgeA || cell == a.edgeB)
            return -4000;
        if (cell == a.diagonal)
            return w.xSquare;
    }
    return 0;
}

int edgeLineTerm(Move m)
{
    auto on = [&](int a, int b) { return m.column == a || m.column == b || m.row == a || m.row == b; };
    return (on(1, 8) ? 300 : 0) + (on(2, 7) ? -300 : 0) + (on(3, 6) ? 150 : 0);
}

int replyTerms(const OnePlyWeights& w, Move m, int colour, const Board& board)
{
    const int opponent = opponentOf(colour);
    int s = 0;
    applyMove(board, m.column, m.row, colour);
    if (countStones(opponent, trialBoard) == 0)
        s += 30000;
    const Board reply = trialBoard;
    listMoves(3, opponent, reply);
    s += w.perReply * moveCount(moveLists[3]);
    s += w.perOpponentStone * countStones(opponent, reply);
    for (int column = 1; column <= 8; ++column) {
        for (int row = 1; row <= 8; ++row) {
            if (reply[cellIndex(column, row)] != Empty)
                continue;
            applyMove(reply, column, row, opponent);
            if (countStones(colour, trialBoard) == 0)
                s -= 30000;
        }
    }
    static constexpr Move corners[4] = {{1, 1}, {1, 8}, {8, 1}, {8, 8}};
    for (Move c : corners)
        if (isLegalMove(opponent, c.column, c.row, reply) == 1)
            s += w.cornerReply;
    if (w.edgeLines)
        s += edgeLineTerm(m);
    s += drawRandom() % w.randomRange;
    return s;
}

void chooseOnePly(const OnePlyWeights& w, int colour, const Board& board)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    const int emptyCount = countEmpty(board);
    listMoves(0, colour, board);
    const MoveList& candidates = moveLists[0];
    const int n = moveCount(candidates);
    if (n == 0) {
        chosenMove = {0, 0};
        return;
    }
    int scores[MoveListSize] = {};
    for (int k = 0; k < n; ++k)
        scores[k] += squareTerm(w, candidates[k], board);
    for (int k = 0; k < n; ++k)
        scores[k] += replyTerms(w, candidates[k], colour, board);
    if (emptyCount < w.endgameBelow) {
        for (int k = 0; k < n; ++k) {
            applyMove(board, candidates[k].column, candidates[k].row, colour);
            scores[k] += countStones(colour, trialBoard) * w.endgamePerStone(emptyCount);
        }
    }
    int best = 0;
    for (int k = 1; k < n; ++k)
        if (scores[k] > scores[best])
            best = k;
    chosenMove = candidates[best];
}

} // namespace

void chooseMoveLv1(int colour, const Board& board)
{
    chooseOnePly(lv1Weights, colour, board);
}

void chooseMoveLv2(int colour, const Board& board)
{
    chooseOnePly(lv2Weights, colour, board);
}

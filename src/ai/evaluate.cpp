#include "ai/evaluate.h"

#include "board/moves.h"

namespace {

struct CornerRuns {
    int corner;
    int firstStep;  // walking direction of the first run, as an index step
    int secondStep; // and of the second run
    int xCell;
};

// (1,1), (1,8), (8,1), (8,8): the first run goes along the corner's column,
// the second along its row; each ends on the empty ring past the far corner.
constexpr CornerRuns corners[4] = {
    {11, +1, +10, 22},
    {18, -1, +10, 27},
    {81, +1, -10, 72},
    {88, -1, -10, 77},
};

struct EdgeShape {
    int cornerA, cornerB;
    int cellA, cellB; // C cells next to A and B
    int middle[4];
};

constexpr EdgeShape edges[4] = {
    {11, 18, 12, 17, {13, 14, 15, 16}},
    {81, 88, 82, 87, {83, 84, 85, 86}},
    {11, 81, 21, 71, {31, 41, 51, 61}},
    {18, 88, 28, 78, {38, 48, 58, 68}},
};

int runLength(const Board& board, int start, int step, int colour)
{
    int n = 0;
    for (int cell = start + step; board[cell] == colour; cell += step)
        ++n;
    return n;
}

int cornerTerms(int colour, const Board& board)
{
    int s = 0;
    for (const CornerRuns& c : corners) {
        if (board[c.corner] == colour) {
            s += 10000;
            s += 600 * runLength(board, c.corner, c.firstStep, colour);
            s += 600 * runLength(board, c.corner, c.secondStep, colour);
        } else if (board[c.corner] == Empty && board[c.xCell] == colour) {
            s -= 950;
        }
    }
    return s;
}

int edgeShapeTerms(int colour, const Board& board)
{
    int s = 0;
    for (const EdgeShape& e : edges) {
        const bool middleHeld = board[e.middle[0]] == colour && board[e.middle[1]] == colour &&
                                board[e.middle[2]] == colour && board[e.middle[3]] == colour;
        if (board[e.cornerA] == Empty && board[e.cornerB] == Empty && middleHeld) {
            const int a = board[e.cellA], b = board[e.cellB];
            if (a == b)
                s += 1000;
            else if ((a == colour && b == Empty) || (a == Empty && b == colour))
                s -= 1000;
        } else {
            if (board[e.cellA] == colour && board[e.cornerA] == Empty)
                s -= 900;
            if (board[e.cellB] == colour && board[e.cornerB] == Empty)
                s -= 900;
        }
    }
    return s;
}

} // namespace

int evaluateSide(int colour, const Board& board)
{
    int s = cornerTerms(colour, board) + edgeShapeTerms(colour, board);
    listMoves(4, colour, board);
    s += 70 * moveCount(moveLists[4]);
    s -= 50 * countStones(colour, board);
    return s;
}

int evaluatePosition(int colour, const Board& board)
{
    const int blacks = countStones(Black, board);
    const int whites = countStones(White, board);
    listMoves(17, Black, board);
    listMoves(18, White, board);
    int v;
    if (moveCount(moveLists[17]) == 0 && moveCount(moveLists[18]) == 0) {
        v = (blacks - whites) * 1000;
        if (v > 0)
            v += 300000;
        if (v < 0)
            v -= 300000;
    } else {
        const int white = evaluateSide(White, board);
        v = evaluateSide(Black, board) - white;
    }
    if (colour == Black)
        return v;
    if (colour == White)
        return -v;
    return 0;
}

// lv5 and the six-ply search on bitboards, with alpha-beta. The tree is the
// plain one: own move, reply, then the inner search for the own side (lv3, or
// lv5 for six plies), lv3 adding its random term to each candidate that does
// not end the game. The root still walks candidates in column-major order and
// a later one only has to prove it is not strictly better, so the first
// highest candidate and its exact score come out as in the plain search.
#include "ai/levels.h"
#include "ai/random.h"
#include "engine/bits.h"
#include "engine/engine.h"

namespace {

constexpr int Inf = 1 << 29;
constexpr int PassPenalty = 5000;

// lv3's random terms. Every inner lv3 reseeds from the same clock second, so
// its k-th candidate that does not end the game always gets noise[k].
thread_local int noise[64];

void drawNoise()
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    for (int& n : noise)
        n = drawRandom() % 15;
}

int gameOverValue(Bits own, Bits opp)
{
    return evaluateBitsWithMobility(own, opp, 0, 0);
}

// The replier's best evaluation after one of its replies, or its pass value.
// Fail-soft: stops at the first reply reaching beta.
int replyBest(Bits rep, Bits other, Bits replies, int beta)
{
    if (replies == 0)
        return evaluateBits(rep, other) - PassPenalty;
    int best = -Inf;
    for (; replies; replies &= replies - 1) {
        const int bit = lowestBit(replies);
        const Bits flips = flipsOf(bit, rep, other);
        const int v = evaluateBits(rep | flips | Bits{1} << bit, other & ~flips);
        if (v > best) {
            best = v;
            if (best >= beta)
                break;
        }
    }
    return best;
}

// lv3's bestScore for `own` to move (it has a move), within (alpha, beta).
int lv3Value(Bits own, Bits opp, Bits moves, int alpha, int beta)
{
    int best = -Inf;
    int index = 0; // among candidates that do not end the game
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const Bits own1 = own | flips | Bits{1} << bit, opp1 = opp & ~flips;
        const Bits replies = legalMoves(opp1, own1);
        int v;
        if (replies == 0 && legalMoves(own1, opp1) == 0) {
            v = gameOverValue(own1, opp1);
        } else {
            const int n = noise[index++];
            const int floor = best > alpha ? best : alpha;
            v = n - replyBest(opp1, own1, replies, n - floor);
        }
        if (v > best) {
            best = v;
            if (best >= beta)
                return best;
        }
    }
    return best;
}

int deepValue(int inner, Bits own, Bits opp, Bits moves, int alpha, int beta);

// What the outer search reads back after the opponent's reply: the inner
// search's score, or, when the own side cannot move, its evaluation less the
// pass penalty unless the game is over.
int afterReply(int inner, Bits own, Bits opp, int alpha, int beta)
{
    const Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        const int oppMoves = stoneCount(legalMoves(opp, own));
        const int v = evaluateBitsWithMobility(own, opp, 0, oppMoves);
        return oppMoves ? v - PassPenalty : v;
    }
    if (inner == 3)
        return lv3Value(own, opp, moves, alpha, beta);
    return deepValue(3, own, opp, moves, alpha, beta);
}

// Score of an own move already made (own1/opp1): the lowest inner score over
// the opponent's replies, with the plain rules for a finished game and for an
// opponent that must pass.
int moveValue(int inner, Bits own1, Bits opp1, int alpha, int beta)
{
    Bits replies = legalMoves(opp1, own1);
    if (replies == 0) {
        const Bits ownMoves = legalMoves(own1, opp1);
        if (ownMoves == 0)
            return gameOverValue(own1, opp1);
        return PassPenalty - evaluateBitsWithMobility(opp1, own1, 0, stoneCount(ownMoves));
    }
    int worst = Inf;
    for (; replies; replies &= replies - 1) {
        const int bit = lowestBit(replies);
        const Bits flips = flipsOf(bit, opp1, own1);
        const int ceiling = worst < beta ? worst : beta;
        const int v = afterReply(inner, own1 & ~flips, opp1 | flips | Bits{1} << bit, alpha, ceiling);
        if (v < worst) {
            worst = v;
            if (worst <= alpha)
                return worst;
        }
    }
    return worst;
}

// The best move score of the four-ply scheme with the given inner search.
int deepValue(int inner, Bits own, Bits opp, Bits moves, int alpha, int beta)
{
    int best = -Inf;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const int floor = best > alpha ? best : alpha;
        const int v = moveValue(inner, own | flips | Bits{1} << bit, opp & ~flips, floor, beta);
        if (v > best) {
            best = v;
            if (best >= beta)
                return best;
        }
    }
    return best;
}

// The root: candidates in column-major order, the first scored exactly, each
// later one searched with the best so far as alpha, so it comes back exact
// exactly when it is strictly better.
void searchDeepRoot(int inner, int colour, const Board& board)
{
    const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
    Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        chosenMove = {0, 0};
        return;
    }
    drawNoise();
    int bestBit = -1, best = -Inf;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const int v = moveValue(inner, own | flips | Bits{1} << bit, opp & ~flips, best, Inf);
        if (bestBit < 0 || v > best) {
            best = v;
            bestBit = bit;
        }
    }
    bestScore = best;
    chosenMove = moveOfBit(bestBit);
}

} // namespace

void fastLv5(int colour, const Board& board)
{
    searchDeepRoot(3, colour, board);
}

void fastSearchSixPly(int colour, const Board& board)
{
    searchDeepRoot(5, colour, board);
}

// lv0 to lv3 on bitboards. These are cheap even full width; they draw from
// the shared generator exactly as the plain levels do, so its state after a
// call is the same too.
#include "ai/levels.h"
#include "ai/random.h"
#include "engine/bits.h"
#include "engine/engine.h"

namespace {

constexpr Bits Corners = (Bits{1} << 0) | (Bits{1} << 7) | (Bits{1} << 56) | (Bits{1} << 63);

int emptyCountOf(Bits own, Bits opp)
{
    return 64 - stoneCount(own | opp);
}

// Weights of the two one-ply levels; the plain ones spell out each term.
struct OnePlyWeights {
    int xSquare;
    int perReply;
    int perOpponentStone;
    int cornerReply;
    int randomRange;
    bool edgeLines;
    int endgameBelow;
    bool lv1Endgame; // (8 - empty) * 60 per stone, else 220 per stone
};

constexpr OnePlyWeights lv1Weights{-5500, -50, 20, -9000, 50, false, 6, true};
constexpr OnePlyWeights lv2Weights{-4000, -170, 15, -8000, 120, true, 4, false};

// Corner, its two C cells and its X cell, as bits.
constexpr int cornerAreas[4][4] = {{0, 1, 8, 9}, {7, 6, 15, 14}, {56, 57, 48, 49}, {63, 62, 55, 54}};

int squareTerm(const OnePlyWeights& w, int bit, Bits occupied)
{
    for (const auto& a : cornerAreas) {
        if (bit == a[0])
            return 10000;
        if (occupied >> a[0] & 1)
            continue;
        if (bit == a[1] || bit == a[2])
            return -4000;
        if (bit == a[3])
            return w.xSquare;
    }
    return 0;
}

int edgeLineTerm(int bit)
{
    const int c = bit / 8 + 1, r = bit % 8 + 1;
    auto on = [&](int a, int b) { return c == a || c == b || r == a || r == b; };
    return (on(1, 8) ? 300 : 0) + (on(2, 7) ? -300 : 0) + (on(3, 6) ? 150 : 0);
}

// The opponent's view of the position after own move: its replies, its
// stones, replies that would wipe out the own side and corners it may take.
int replyTerms(const OnePlyWeights& w, Bits own, Bits opp)
{
    int s = opp == 0 ? 30000 : 0;
    const Bits replies = legalMoves(opp, own);
    s += w.perReply * stoneCount(replies) + w.perOpponentStone * stoneCount(opp);
    for (Bits r = replies; r; r &= r - 1)
        if (flipsOf(lowestBit(r), opp, own) == own)
            s -= 30000;
    s += w.cornerReply * stoneCount(replies & Corners);
    return s;
}

void chooseOnePly(const OnePlyWeights& w, int colour, const Board& board)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
    const int empty = emptyCountOf(own, opp);
    Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        chosenMove = {0, 0};
        return;
    }
    int bestBit = -1, best = 0;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const Bits own1 = own | flips | Bits{1} << bit, opp1 = opp & ~flips;
        int s = squareTerm(w, bit, own | opp) + replyTerms(w, own1, opp1);
        if (w.edgeLines)
            s += edgeLineTerm(bit);
        s += drawRandom() % w.randomRange;
        if (empty < w.endgameBelow)
            s += stoneCount(own1) * (w.lv1Endgame ? (8 - empty) * 60 : 220);
        if (bestBit < 0 || s > best) {
            best = s;
            bestBit = bit;
        }
    }
    chosenMove = moveOfBit(bestBit);
}

// The opponent's best evaluation over its replies, or the pass value.
int opponentBest(Bits opp, Bits own)
{
    Bits replies = legalMoves(opp, own);
    if (replies == 0)
        return evaluateBits(opp, own) - 5000;
    int best = 0;
    bool first = true;
    for (; replies; replies &= replies - 1) {
        const int bit = lowestBit(replies);
        const Bits flips = flipsOf(bit, opp, own);
        const int v = evaluateBits(opp | flips | Bits{1} << bit, own & ~flips);
        if (first || v > best)
            best = v;
        first = false;
    }
    return best;
}

} // namespace

void fastLv0(int colour, const Board& board)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    Bits moves = legalMoves(bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board));
    const int n = stoneCount(moves);
    if (n == 0) {
        chosenMove = {0, 0};
        return;
    }
    for (int k = drawRandom() % n; k > 0; --k)
        moves &= moves - 1;
    chosenMove = moveOfBit(lowestBit(moves));
}

void fastLv1(int colour, const Board& board)
{
    chooseOnePly(lv1Weights, colour, board);
}

void fastLv2(int colour, const Board& board)
{
    chooseOnePly(lv2Weights, colour, board);
}

void fastLv3(int colour, const Board& board)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    const Bits own = bitsOfColour(colour, board), opp = bitsOfColour(opponentOf(colour), board);
    Bits moves = legalMoves(own, opp);
    if (moves == 0) {
        chosenMove = {0, 0};
        return;
    }
    int bestBit = -1, best = 0;
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const Bits own1 = own | flips | Bits{1} << bit, opp1 = opp & ~flips;
        int s;
        if (legalMoves(own1, opp1) == 0 && legalMoves(opp1, own1) == 0)
            s = evaluateBitsWithMobility(own1, opp1, 0, 0);
        else
            s = -opponentBest(opp1, own1) + drawRandom() % 15;
        if (bestBit < 0 || s > best) {
            best = s;
            bestBit = bit;
        }
    }
    bestScore = best;
    chosenMove = moveOfBit(bestBit);
}

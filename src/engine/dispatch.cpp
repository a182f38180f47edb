// The level table of the fast engine, the switch-overs by empty cells, the
// master level over the midgame search, and the check of a fast move against
// the plain procedures.
#include "ai/levels.h"
#include "ai/random.h"
#include "engine/bits.h"
#include "engine/engine.h"
#include "engine/midgame.h"

void fastLv4(int colour, const Board& board)
{
    if (countEmpty(board) < 10)
        fastSearchToEnd(colour, board);
    else
        fastLv3(colour, board);
}

void fastLv6(int colour, const Board& board)
{
    const int emptyCount = countEmpty(board);
    if (emptyCount < 12)
        fastSearchToEnd(colour, board);
    else if (emptyCount < 16)
        fastSearchSixPly(colour, board);
    else if (emptyCount < 57)
        fastLv5(colour, board);
    else
        fastLv2(colour, board);
}

// lv7: the midgame search's best move in about a second on both cores, the
// exact solver taking over from 20 empty cells. bestScore, which only the
// plain levels' scores fill, is left alone. Without its evaluation (the new
// game dialog then refuses it) lv6 plays, so a resumed game still moves.
void masterLevel(int colour, const Board& board)
{
    if (!midgameReady()) {
        fastLv6(colour, board);
        return;
    }
    MidgameLimits limits;
    limits.seconds = MasterSeconds;
    limits.exactFrom = MasterExactFrom;
    const MidgameBest best =
        midgameBestMove(bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), limits);
    chosenMove = best.bit >= 0 ? moveOfBit(best.bit) : Move{0, 0};
}

void engineChooseMove(int player, int colour, const Board& board)
{
    using Level = void (*)(int, const Board&);
    static constexpr Level levels[8] = {fastLv0, fastLv1, fastLv2, fastLv3,
                                        fastLv4, fastLv5, fastLv6, masterLevel};
    if (player < 1 || player > 8) {
        chosenMove = {0, 0};
        return;
    }
    levels[player - 1](colour, board);
}

void runLevelFast(int player, int colour, const Board& board)
{
    engineChooseMove(player, colour, board);
}

bool verifyMove(int player, int colour, const Board& board)
{
    const int scoreBefore = bestScore;
    for (int attempt = 0;; ++attempt) {
        const long long second = currentSeconds();
        bestScore = scoreBefore;
        engineChooseMove(player, colour, board);
        const Move fastMove = chosenMove;
        const int fastScore = bestScore;
        bestScore = scoreBefore;
        runLevel(player, colour, board);
        // A second that ticked over in between changes the random terms.
        if (currentSeconds() != second && attempt < 3)
            continue;
        return chosenMove == fastMove && bestScore == fastScore;
    }
}

uint64_t perft(int colour, const Board& board, int depth)
{
    return perftBits(bitsOfColour(colour, board), bitsOfColour(opponentOf(colour), board), depth);
}

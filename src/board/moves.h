// Legality tests, the shared move-list slots and the list of turned stones.
#pragma once

#include "board/board.h"

struct Move {
    int column;
    int row;
};

inline bool operator==(Move a, Move b)
{
    return a.column == b.column && a.row == b.row;
}

// Room for every empty cell plus the terminator: a side can have more than 24
// legal moves, and a list must never spill into the next slot.
constexpr int MoveListSize = 61;
using MoveList = std::array<Move, MoveListSize>;

// Slots with fixed roles; see the slot constants below. Per thread, like
// trialBoard, so the window's thread never writes a slot a search walks.
constexpr int MoveListSlots = 19;
extern thread_local MoveList moveLists[MoveListSlots];

constexpr int FlipSlot = 15;
inline MoveList& flipList()
{
    return moveLists[FlipSlot];
}

int isLegalMove(int stone, int column, int row, const Board& board);
void listMoves(int slot, int stone, const Board& board);
int listFlips(const Board& before);

// Number of moves in a list: the index of its terminator.
int moveCount(const MoveList& list);

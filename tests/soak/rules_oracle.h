// A second, deliberately plain implementation of the rules, so the soak's
// checks never rely on the game's own board code (nor disturb its trial board).
#pragma once

#include <array>

namespace oracle {

using Cells = std::array<signed char, 100>; // column * 10 + row, ring empty

constexpr int directions[8] = {-11, -10, -9, -1, 1, 9, 10, 11};

inline Cells startPosition()
{
    Cells cells{};
    cells[44] = cells[55] = 2; // White on d4 and e5
    cells[45] = cells[54] = 1; // Black on d5 and e4
    return cells;
}

inline bool onBoard(int index)
{
    return index / 10 >= 1 && index / 10 <= 8 && index % 10 >= 1 && index % 10 <= 8;
}

// Stones of the other colour turned by playing colour at index along step.
inline int flipsAlong(const Cells& cells, int index, int step, int colour)
{
    int count = 0;
    int at = index + step;
    while (onBoard(at) && cells[at] == 3 - colour) {
        ++count;
        at += step;
    }
    return onBoard(at) && cells[at] == colour ? count : 0;
}

inline bool isLegal(const Cells& cells, int column, int row, int colour)
{
    if (column < 1 || column > 8 || row < 1 || row > 8)
        return false;
    const int index = column * 10 + row;
    if (cells[index] != 0)
        return false;
    for (int step : directions)
        if (flipsAlong(cells, index, step, colour) > 0)
            return true;
    return false;
}

inline bool hasMove(const Cells& cells, int colour)
{
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (isLegal(cells, column, row, colour))
                return true;
    return false;
}

// Places the stone and turns the lines it closes; the caller checks legality.
inline void play(Cells& cells, int column, int row, int colour)
{
    const int index = column * 10 + row;
    for (int step : directions) {
        const int count = flipsAlong(cells, index, step, colour);
        for (int k = 1; k <= count; ++k)
            cells[index + k * step] = static_cast<signed char>(colour);
    }
    cells[index] = static_cast<signed char>(colour);
}

} // namespace oracle

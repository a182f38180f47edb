// The benchmark positions of positions/levels.txt, grouped by empty cells.
// Same line format as reverse-match: 64 cells row by row, then the side.
#pragma once

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ai/levels.h"

struct Position {
    Board board;
    int side;
};

struct Group {
    int low, high;
    std::vector<Position> positions;
};

inline std::vector<Group> emptyGroups()
{
    return {{50, 60, {}}, {40, 49, {}}, {30, 39, {}}, {20, 29, {}},
            {16, 19, {}}, {12, 15, {}}, {10, 11, {}}, {1, 9, {}}};
}

inline bool readPosition(const std::string& line, Position& out)
{
    if (line.size() < 66 || line[0] == '#')
        return false;
    out.board.fill(Empty);
    for (int i = 0; i < 64; ++i)
        out.board[cellIndex(i % 8 + 1, i / 8 + 1)] = line[i] == 'X' ? Black : line[i] == 'O' ? White : Empty;
    out.side = line[65] == 'X' ? Black : White;
    return true;
}

// Adds every position of file to its group; false when none was read.
inline bool loadPositions(const char* file, std::vector<Group>& groups)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        Position p;
        if (!readPosition(line, p))
            continue;
        const int empty = countEmpty(p.board);
        for (Group& g : groups)
            if (empty >= g.low && empty <= g.high)
                g.positions.push_back(p);
    }
    return std::any_of(groups.begin(), groups.end(), [](const Group& g) { return !g.positions.empty(); });
}

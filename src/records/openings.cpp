#include "records/openings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr Opening Table[] = {
#include "records/openings.inc"
};

// A position as two sets of cells, bit (row - 1) * 8 + (column - 1).
struct Key {
    uint64_t black = 0;
    uint64_t white = 0;
    auto operator<=>(const Key&) const = default;
};

// The cell that symmetry s (0..7) puts at column, row: the identity, the
// mirrors and the half turn, each also with the diagonal flip.
Move symmetric(int s, int column, int row)
{
    if (s & 1)
        column = 9 - column;
    if (s & 2)
        row = 9 - row;
    return s & 4 ? Move{row, column} : Move{column, row};
}

// The least of the position's 8 images, so that a position and its mirror
// images share one key.
Key canonicalKey(const Board& board)
{
    Key best;
    for (int s = 0; s < 8; ++s) {
        Key key;
        for (int column = 1; column <= 8; ++column)
            for (int row = 1; row <= 8; ++row) {
                const int stone = board[cellIndex(column, row)];
                if (stone == Empty)
                    continue;
                const Move m = symmetric(s, column, row);
                const uint64_t bit = uint64_t{1} << ((m.row - 1) * 8 + (m.column - 1));
                (stone == Black ? key.black : key.white) |= bit;
            }
        if (s == 0 || key < best)
            best = key;
    }
    return best;
}

struct Entry {
    Key key;
    int line;
    auto operator<=>(const Entry&) const = default;
};

struct Index {
    std::vector<Entry> entries; // sorted by key
    int longest = 0;            // moves in the longest line
};

// Plays a line from the standard start; false at a cell that is no legal
// move, which the table's test rules out.
bool playLine(const char* moves, Board& board, int& count)
{
    board = standardGame().start;
    count = 0;
    for (const char* p = moves; p[0] != '\0' && p[1] != '\0'; p += 2) {
        const int column = p[0] - 'a' + 1;
        const int row = p[1] - '0';
        const int side = count % 2 == 0 ? Black : White;
        if (column < 1 || column > 8 || row < 1 || row > 8 || board[cellIndex(column, row)] != Empty ||
            !isLegalMove(side, column, row, board))
            return false;
        applyMove(board, column, row, side);
        board = trialBoard;
        ++count;
    }
    return std::strlen(moves) % 2 == 0;
}

Index buildIndex()
{
    Index index;
    for (int i = 0; i < static_cast<int>(std::size(Table)); ++i) {
        Board board;
        int count = 0;
        if (!playLine(Table[i].moves, board, count))
            continue;
        index.entries.push_back({canonicalKey(board), i});
        index.longest = std::max(index.longest, count);
    }
    std::sort(index.entries.begin(), index.entries.end());
    return index;
}

const Index& openingIndex()
{
    static const Index index = buildIndex();
    return index;
}

const Opening* lineAt(const Board& board)
{
    const std::vector<Entry>& entries = openingIndex().entries;
    const Key key = canonicalKey(board);
    const auto found = std::lower_bound(entries.begin(), entries.end(), Entry{key, -1});
    return found != entries.end() && found->key == key ? &Table[found->line] : nullptr;
}

} // namespace

std::span<const Opening> openingTable()
{
    return Table;
}

OpeningName openingName(const Game& game, int count)
{
    OpeningName name;
    if (!hasStandardStart(game))
        return name;
    const int last = std::min({count, static_cast<int>(game.turns.size()), openingIndex().longest});
    Board board = game.start;
    for (int i = 0; i < last; ++i) {
        const Move m = game.turns[i];
        if (m.column < 1 || m.column > 8 || m.row < 1 || m.row > 8)
            break;
        applyMove(board, m.column, m.row, sideOfEntry(game, i + 1));
        board = trialBoard;
        if (const Opening* line = lineAt(board))
            name = {line, i + 1};
    }
    return name;
}

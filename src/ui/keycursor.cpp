#include "ui/keycursor.h"

#include <algorithm>
#include <cstring>

#include "modes/editor.h"
#include "platform/platform.h"
#include "ui/boardview.h"
#include "ui/playflow.h"

Move keyCursor{0, 0};

namespace {

constexpr Move Hidden{0, 0};
constexpr Colour FrameColour = rgb(255, 224, 0);

int mover()
{
    return opponentOf(currentSide);
}

bool isLegal(Move cell)
{
    return isLegalMove(mover(), cell.column, cell.row, liveBoard) != 0;
}

// The first or last legal cell in column-major order, as the highlights are
// read; Hidden when the side to move has no move.
Move legalCell(bool last)
{
    Move found = Hidden;
    for (int c = 1; c <= 8; ++c)
        for (int r = 1; r <= 8; ++r)
            if (isLegal({c, r}) && (last || found == Hidden))
                found = {c, r};
    return found;
}

Move stepped(Move cell, unsigned key)
{
    const int dc = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
    const int dr = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
    return {std::clamp(cell.column + dc, 1, 8), std::clamp(cell.row + dr, 1, 8)};
}

// The cell with its grid lines: the frame covers the lines and one pixel
// inside, clear of the stone and of the highlight's corner.
Rect frameRect(Move cell)
{
    return {30 * cell.column - 10, 30 * cell.row - 10, 30 * cell.column + 21, 30 * cell.row + 21};
}

} // namespace

bool isBoardKey(unsigned key)
{
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// Home and End jump; otherwise the first press only shows the cursor, so
// Enter never plays on a cell the player has not seen framed.
void onBoardKey(Window* window, unsigned key)
{
    constexpr Move Corner{1, 1}; // where it shows when the side to move has no move
    if (key == VK_HOME || key == VK_END) {
        const Move jump = legalCell(key == VK_END);
        if (jump != Hidden)
            keyCursor = jump;
        else if (keyCursor == Hidden)
            keyCursor = Corner;
    } else if (keyCursor == Hidden) {
        const Move first = legalCell(false);
        keyCursor = first != Hidden ? first : Corner;
    } else if (key == VK_RETURN || key == VK_SPACE) {
        onBoardClick(window, makePoint(30 * keyCursor.column + 5, 30 * keyCursor.row + 5));
    } else {
        keyCursor = stepped(keyCursor, key);
    }
}

// In the editor every cell may be framed: the first arrow shows the cursor
// on a1, Home and End go to a1 and h8.
bool moveEditorCursor(unsigned key)
{
    constexpr Move First{1, 1}, Last{8, 8};
    switch (key) {
    case VK_HOME:
    case VK_END:
        keyCursor = key == VK_HOME ? First : Last;
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        keyCursor = keyCursor == Hidden ? First : stepped(keyCursor, key);
        return true;
    default:
        return false;
    }
}

void onBoardMouseMove(intptr_t point)
{
    if (hitTestCell(point).column != 0)
        keyCursor = Hidden;
}

void followKeyCursor(Window* window)
{
    if (gameState < 0 && !editorOpen())
        keyCursor = Hidden;
    if (keyCursor == Hidden || bannerUp != 0) {
        hideFrameOverlay(window);
        return;
    }
    char text[32];
    showFrameOverlay(window, frameRect(keyCursor), FrameColour, keyCursorText(text, keyCursor));
}

char* keyCursorText(char* buffer, Move cell)
{
    const int stone = liveBoard[cellIndex(cell.column, cell.row)];
    buffer[0] = static_cast<char>('a' + cell.column - 1);
    buffer[1] = static_cast<char>('0' + cell.row);
    buffer[2] = '\0';
    std::strcat(buffer, stone == Black ? " 黒" : stone == White ? " 白" : " 空き");
    if (!editorOpen()) // the editor places stones anywhere
        std::strcat(buffer, isLegal(cell) ? " 打てます" : " 打てません");
    return buffer;
}

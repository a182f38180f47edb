#include "ui/boardview.h"

#include <algorithm>

#include "modes/editor.h"
#include "modes/game_review.h"
#include "modes/preferences.h"
#include "platform/platform.h"
#include "ui/gdi.h"
#include "ui/hint_view.h"
#include "ui/playflow.h"

int16_t cursorKind = 1;

namespace {

// The cells the last paint lit, one bit per cell: what the screen shows
// until the next paint, whatever the position has become meanwhile.
uint64_t paintedHighlights = 0;

uint64_t cellBit(int column, int row)
{
    return uint64_t{1} << ((column - 1) * 8 + (row - 1));
}

constexpr int CellSize = 30;
constexpr int BoardLeft = 20; // the playing area spans 20..260 both ways
constexpr int BoardRight = 260;
constexpr int StoneInset = 3; // a stone sits inside its cell's top-left lines
constexpr int StoneFrames = 7;
constexpr int BlackFrame = 3;
constexpr int WhiteFrame = 0;

int cellOrigin(int index)
{
    return CellSize * index - 10;
}

void drawLabels(DeviceContext* dc)
{
    char text[8];
    for (int c = 1; c <= 8; ++c) {
        numberText(text, c);
        text[0] = static_cast<char>(text[0] + 48); // "1".."8" becomes "a".."h"
        textOut(dc, CellSize * c + 2, 5, text);
    }
    for (int r = 1; r <= 8; ++r)
        textOut(dc, 7, CellSize * r - 3, numberText(text, r));
}

void drawHighlights(DeviceContext* dc)
{
    paintedHighlights = 0;
    if (gameState < 0)
        return;
    const int mover = opponentOf(currentSide);
    for (int c = 1; c <= 8; ++c)
        for (int r = 1; r <= 8; ++r)
            if (isLegalMove(mover, c, r, liveBoard) == 1) {
                fillRect(dc,
                         {cellOrigin(c), cellOrigin(r), cellOrigin(c) + CellSize, cellOrigin(r) + CellSize},
                         legalBrush);
                paintedHighlights |= cellBit(c, r);
            }
}

void drawStones(Window* window)
{
    for (int c = 1; c <= 8; ++c) {
        for (int r = 1; r <= 8; ++r) {
            const int cell = liveBoard[cellIndex(c, r)];
            if (cell == Black)
                drawStone(window, c, r, BlackFrame);
            else if (cell == White)
                drawStone(window, c, r, WhiteFrame);
        }
    }
}

// Drawn after the highlights and stones so they stay on top.
void drawGrid(DeviceContext* dc)
{
    for (int i = 0; i <= 8; ++i) {
        moveTo(dc, BoardLeft + CellSize * i, BoardLeft);
        lineTo(dc, BoardLeft + CellSize * i, BoardRight);
    }
    for (int i = 0; i <= 8; ++i) {
        moveTo(dc, BoardLeft, BoardLeft + CellSize * i);
        lineTo(dc, BoardRight, BoardLeft + CellSize * i);
    }
}

void drawStarPoints(DeviceContext* dc)
{
    selectBrush(dc, stockBrush(StockBrush::Black));
    for (int x : {80, 200})
        for (int y : {80, 200})
            ellipse(dc, x - 3, y - 3, x + 3, y + 3);
}

// The cell of the last move that led to the position shown, passes skipped;
// {0, 0} before the first move.
Move lastMoveShown()
{
    for (int n = moveNumber - 1; n >= 1; --n) {
        const Move e = recordEntry(n);
        if (e.column < 0)
            break; // an end marker: no move on record
        if (e.column != 0)
            return e;
    }
    return {0, 0};
}

// A dot on the stone of the last move, drawn only by the paint: the move's
// stone itself only appears with the repaint after its flips' animation.
void drawLastMoveMark(DeviceContext* dc)
{
    if (!showLastMove || editorOpen())
        return;
    const Move cell = lastMoveShown();
    if (cell.column == 0 || liveBoard[cellIndex(cell.column, cell.row)] == Empty)
        return;
    const int x = cellOrigin(cell.column) + StoneInset + 9;
    const int y = cellOrigin(cell.row) + StoneInset + 9;
    selectBrush(dc, lastMoveBrush);
    ellipse(dc, x, y, x + 7, y + 7);
}

} // namespace

void paintBoard(Window* window, DeviceContext* dc)
{
    Pen* oldPen = selectPen(dc, blackPen());
    Brush* oldBrush = selectBrush(dc, boardBrush);
    selectFont(dc, uiFont);
    drawLabels(dc);
    fillRect(dc, {BoardLeft, BoardLeft, BoardRight, BoardRight}, boardBrush);
    drawHighlights(dc);
    drawStones(window);
    drawGrid(dc);
    drawStarPoints(dc);
    drawLastMoveMark(dc);
    drawHintMarks(dc);
    drawReviewMarks(dc);
    selectPen(dc, oldPen);
    selectBrush(dc, oldBrush);
}

// The stone is masked onto a green square first, so it always arrives with
// the board's colour around it, whatever the cell showed before.
void drawStone(Window*, int column, int row, int frame)
{
    if (windowDC == nullptr || frame < 0 || frame >= StoneFrames)
        return;
    const int width = pictureWidth[frame];
    const int height = pictureHeight[frame];
    DeviceContext* memory = createCompatibleDC(windowDC);
    Bitmap* square = createCompatibleBitmap(windowDC, CellSize, CellSize);
    Pen* oldPen = selectPen(memory, blackPen());
    Brush* oldBrush = selectBrush(memory, boardBrush);
    Bitmap* oldBitmap = selectBitmap(memory, square);
    fillRect(memory, {0, 0, 27, 27}, boardBrush);
    selectBitmap(stoneDC, stoneMasks[frame]);
    bitBlt(memory, 0, 0, width, height, stoneDC, 0, 0, RasterOp::Or);
    selectBitmap(stoneDC, stonePictures[frame]);
    bitBlt(memory, 0, 0, width, height, stoneDC, 0, 0, RasterOp::And);
    bitBlt(windowDC, cellOrigin(column) + StoneInset, cellOrigin(row) + StoneInset, width, height, memory, 0,
           0, RasterOp::Copy);
    selectPen(memory, oldPen);
    selectBrush(memory, oldBrush);
    selectBitmap(memory, oldBitmap);
    deleteDC(memory);
    deleteBitmap(square);
}

void drawFlipFrame(Window* window, int slot, int frame)
{
    if (slot < 0 || slot >= 5)
        return;
    for (const Move& cell : animCells[slot]) {
        if (cell.column == 0 || cell.row == 0)
            break;
        drawStone(window, cell.column, cell.row, frame);
    }
}

bool cellLitOnScreen(int column, int row)
{
    return column >= 1 && column <= 8 && row >= 1 && row <= 8 &&
           (paintedHighlights & cellBit(column, row)) != 0;
}

Rect cellRect(int column, int row)
{
    return {cellOrigin(column), cellOrigin(row), cellOrigin(column) + CellSize, cellOrigin(row) + CellSize};
}

// A point on a line shared by two cells belongs to the cell right of or
// below it; the far edge, 260, still belongs to the last cell.
Move hitTestCell(intptr_t point)
{
    const int x = static_cast<int>(point & 0xFFFF);
    const int y = static_cast<int>((point >> 16) & 0xFFFF);
    if (x < BoardLeft || x > BoardRight || y < BoardLeft || y > BoardRight)
        return {0, 0};
    return {std::min((x - BoardLeft) / CellSize + 1, 8), std::min((y - BoardLeft) / CellSize + 1, 8)};
}

// The cursor follows legality for the side to move in every state, so it
// also shows where the computer may play while it thinks.
void updateCursor(Window*, intptr_t point)
{
    const Move cell = hitTestCell(point);
    if (cell.column == 0 || editorOpen()) // the editor takes every cell
        cursorKind = 1;
    else
        cursorKind = isLegalMove(opponentOf(currentSide), cell.column, cell.row, liveBoard) != 0 ? 1 : 2;
    setCursor(cursorKind == 1 ? CursorShape::Arrow : CursorShape::No);
}

// Values beyond what 7 bytes hold are saturated rather than cut, so the text
// never runs past the buffer.
char* numberText(char* buffer, int n)
{
    int value = std::clamp(n, -99999, 999999);
    char* out = buffer;
    if (value < 0) {
        *out++ = '-';
        value = -value;
    }
    char digits[6];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out = '\0';
    return buffer;
}

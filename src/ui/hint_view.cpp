#include "ui/hint_view.h"

#include <atomic>
#include <memory>
#include <string>

#include "analysis/analysis.h"
#include "platform/platform.h"
#include "res/text.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/keycursor.h"
#include "ui/playflow.h"
#include "ui/status.h"

namespace {

constexpr Colour ExactColour = rgb(0, 0, 0);
constexpr Colour EstimateColour = rgb(0, 0, 150); // with "≒" over the digits
constexpr int MessageSize = 512;

// The position a hint belongs to: the same board can come back with another
// side to move, or later in the game.
struct HintPosition {
    Board board;
    int mover;
    int16_t moveNumber;
};

HintPosition positionNow()
{
    return {liveBoard, opponentOf(currentSide), moveNumber};
}

bool isShownNow(const HintPosition& p)
{
    return hintAllowed() && p.board == liveBoard && p.mover == opponentOf(currentSide) &&
           p.moveNumber == moveNumber;
}

// Owned by the window's thread; the worker reads the position, writes the
// result and, last of all, handedOver. lastSent marks the result that ends
// the search; lastHandled, the window's own, that the window has taken it in.
struct HintRequest {
    Window* window;
    HintPosition position;
    CancelFlag cancel{false};
    Hint result;
    std::atomic<bool> lastSent{false};
    std::atomic<bool> handedOver{false};
    bool lastHandled = false;
};

std::unique_ptr<HintRequest> request; // from the start until the worker is joined
Thread* hintThread = nullptr;
Hint shownHint;
HintPosition shownPosition{};
bool marksShown = false;
bool cancelling = false;  // inside cancelHint, which handles the worker's late result
Move hoverCell{0, 0};     // the cell under the mouse
Move lineCell{0, 0};      // the cell whose line the message line shows
std::string lineText;     // what it shows for it
std::string savedMessage; // what the message line showed before

unsigned hintThreadProc(void* argument)
{
    auto* job = static_cast<HintRequest*>(argument);
    // The window reads the result only while it serves the message.
    auto send = [job](const Hint& hint) {
        job->result = hint;
        sendMessage(job->window, WM_HINT_READY, 0, reinterpret_cast<LPARAM>(job));
    };
    const Hint last = stagedHint(job->position.board, job->position.mover, job->cancel, send);
    job->lastSent = true;
    send(last);
    job->handedOver = true; // the window may free the request from here on
    return 0;
}

// The status line says whether a hint is being worked out.
void paintStatusLine(Window* window)
{
    if (windowDC != nullptr && window != nullptr)
        paintStatus(window, windowDC);
}

bool requestHandedOver()
{
    return request == nullptr || request->handedOver;
}

void joinWorker()
{
    joinThread(hintThread);
    hintThread = nullptr;
    request.reset();
}

// A worker past its hand-over ends on its own: joined without waiting.
void joinFinishedWorker()
{
    if (hintThread != nullptr && request->handedOver)
        joinWorker();
}

// The area a mark covers, inside the cell's grid lines and clear of the star
// points on the corners.
Rect markArea(Move cell)
{
    const Rect r = cellRect(cell.column, cell.row);
    return {r.left + 4, r.top + 4, r.right - 3, r.bottom - 3};
}

// Digits as players write a result: "+4", "0", "-6".
void valueText(char* buffer, int value)
{
    char digits[8];
    numberText(digits, value);
    buffer[0] = value > 0 ? '+' : '\0';
    buffer[1] = '\0';
    int n = value > 0 ? 1 : 0;
    for (const char* d = digits; *d; ++d)
        buffer[n++] = *d;
    buffer[n] = '\0';
}

void centredText(DeviceContext* dc, const Rect& area, int top, const char* text)
{
    textOut(dc, (area.left + area.right - textWidth(dc, text)) / 2, top, text);
}

// An exact value in black digits across the middle; an estimate in blue
// digits under a small "≒".
void drawMark(DeviceContext* dc, const CellHint& cell)
{
    const Rect area = markArea(cell.move);
    if (cell.best)
        fillRect(dc, area, hintBrush);
    if (!cell.hasValue) {
        if (cell.best) { // the guess: a dot, as the evaluation's units are not discs
            const int x = (area.left + area.right) / 2, y = (area.top + area.bottom) / 2;
            selectBrush(dc, stockBrush(StockBrush::Black));
            ellipse(dc, x - 3, y - 3, x + 3, y + 3);
        }
        return;
    }
    char text[8];
    valueText(text, cell.value);
    const int height = area.bottom - area.top;
    if (cell.exact) {
        setTextColour(dc, ExactColour);
        selectFont(dc, hintFont);
        centredText(dc, area, area.top + (height - HintFontHeight) / 2, text);
        return;
    }
    setTextColour(dc, EstimateColour);
    selectFont(dc, hintMarkFont);
    centredText(dc, area, area.top - 1, "≒");
    selectFont(dc, hintFont);
    centredText(dc, area, area.bottom - HintFontHeight, text);
}

const CellHint* shownCell(Move cell)
{
    if (!marksShown || !isShownNow(shownPosition) || cell.column == 0)
        return nullptr;
    for (const CellHint& c : shownHint.cells)
        if (c.move == cell && c.hasValue && !c.line.empty())
            return &c;
    return nullptr;
}

std::string cellName(Move m)
{
    if (m.column == 0)
        return uiText(TextId::PassMove);
    return {static_cast<char>('a' + m.column - 1), static_cast<char>('0' + m.row)};
}

// "d3の読み筋（≒+4）：d3 c5 f6 パス e6 …": the cell, its value, and the
// line expected after it.
std::string lineMessage(const CellHint& cell)
{
    char value[8];
    valueText(value, cell.value);
    std::string text =
        formatUiText(TextId::HintLine, cellName(cell.move).c_str(), cell.exact ? "" : "≒", value);
    for (size_t i = 0; i < cell.line.size(); ++i) {
        if (i > 0)
            text += ' ';
        text += cellName(cell.line[i]);
    }
    return text;
}

std::string messageNow()
{
    char text[MessageSize] = "";
    if (messageLine != nullptr)
        getWindowText(messageLine, text, sizeof text);
    return text;
}

// Puts back what the message line showed, unless something else has written
// to it since (a new game clears it).
void takeLineAway()
{
    if (lineCell.column == 0)
        return;
    if (messageLine != nullptr && messageNow() == lineText)
        setWindowText(messageLine, savedMessage.c_str());
    lineCell = {0, 0};
    lineText.clear();
}

// The line of the cell chosen by the keyboard's cursor, or else by the
// mouse, while it carries a hint.
void followChosenCell()
{
    const Move chosen = keyCursor.column != 0 ? keyCursor : hoverCell;
    const CellHint* cell = shownCell(chosen);
    if (cell == nullptr) {
        takeLineAway();
        return;
    }
    const std::string text = lineMessage(*cell);
    if (chosen == lineCell && text == lineText)
        return;
    if (lineCell.column == 0)
        savedMessage = messageNow();
    lineCell = chosen;
    lineText = text;
    if (messageLine != nullptr)
        setWindowText(messageLine, text.c_str());
}

// Puts back what the last paint left under each mark. A move takes the marks
// off at once, but its stone and the new highlights only come with the
// repaint after its flips' animation: until then the cells keep the old
// position's look, as they would without a hint.
void eraseMarks()
{
    if (windowDC == nullptr)
        return;
    for (const CellHint& cell : shownHint.cells)
        fillRect(windowDC, markArea(cell.move),
                 cellLitOnScreen(cell.move.column, cell.move.row) ? legalBrush : boardBrush);
}

} // namespace

bool hintAllowed()
{
    return gameState == HumanTurn && trialStage <= 0 && bannerUp == 0;
}

void startHint(Window* window)
{
    if (!hintAllowed() || (marksShown && isShownNow(shownPosition)) ||
        (request != nullptr && isShownNow(request->position)))
        return;
    cancelHint(window);
    request = std::make_unique<HintRequest>();
    request->window = window;
    request->position = positionNow();
    hintThread = startThread(hintThreadProc, request.get());
    if (hintThread == nullptr) { // no thread now: the player may ask again
        request.reset();
        return;
    }
    paintStatusLine(window);
}

void cancelHint(Window* window)
{
    if (cancelling)
        return;
    cancelling = true;
    if (hintThread != nullptr) {
        request->cancel = true;
        // Its result may be on its way: handled (and dropped) here, as the
        // worker only ends once it has been.
        serveSentMessagesUntil(window, requestHandedOver);
        joinWorker();
        paintStatusLine(window); // no longer reading
    }
    if (marksShown) {
        marksShown = false;
        eraseMarks();
    }
    takeLineAway();
    cancelling = false;
}

void onHintReady(Window*, const void* sent)
{
    if (request == nullptr || sent != request.get())
        return;
    request->lastHandled = request->lastSent;
    if (request->cancel || request->result.cancelled || !isShownNow(request->position))
        return;
    if (marksShown) // the preview gives way to the exact marks
        eraseMarks();
    shownHint = request->result;
    shownPosition = request->position;
    marksShown = true;
    drawHintMarks(windowDC);
    followChosenCell();
    if (request->lastSent)
        paintStatusLine(request->window);
}

void followHint(Window* window)
{
    if (cancelling)
        return;
    joinFinishedWorker();
    if ((request != nullptr && !isShownNow(request->position)) || (marksShown && !isShownNow(shownPosition)))
        cancelHint(window);
    followChosenCell();
}

void hintMouseMove(intptr_t point)
{
    hoverCell = hitTestCell(point);
}

void drawHintMarks(DeviceContext* dc)
{
    if (dc == nullptr || !marksShown || !isShownNow(shownPosition))
        return;
    Brush* oldBrush = selectBrush(dc, hintBrush);
    Font* oldFont = selectFont(dc, hintFont);
    setBackgroundMode(dc, BackgroundMode::Transparent);
    for (const CellHint& cell : shownHint.cells)
        if (cell.hasValue || cell.best)
            drawMark(dc, cell);
    setTextColour(dc, ExactColour);
    setBackgroundMode(dc, BackgroundMode::Opaque);
    selectBrush(dc, oldBrush);
    selectFont(dc, oldFont);
}

bool hintRunning()
{
    return hintThread != nullptr;
}

bool hintSearching()
{
    // Until the window has taken in the last result: before that the
    // board still shows an earlier one.
    return hintThread != nullptr && !request->lastHandled;
}

bool hintShown()
{
    return marksShown && isShownNow(shownPosition);
}

#include "ui/hint_view.h"

#include <atomic>
#include <memory>

#include "analysis/analysis.h"
#include "platform/platform.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/playflow.h"

namespace {

constexpr double GuessSeconds = 0.5;
constexpr double PreviewSeconds = 0.2; // the evaluation's choice while an exact hint takes seconds

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
// result and, last of all, handedOver.
struct HintRequest {
    Window* window;
    HintPosition position;
    CancelFlag cancel{false};
    Hint result;
    std::atomic<bool> handedOver{false};
};

std::unique_ptr<HintRequest> request; // from the start until the worker is joined
Thread* hintThread = nullptr;
Hint shownHint;
HintPosition shownPosition{};
bool marksShown = false;
bool cancelling = false; // inside cancelHint, which handles the worker's late result

unsigned hintThreadProc(void* argument)
{
    auto* job = static_cast<HintRequest*>(argument);
    const HintPosition& p = job->position;
    // The window reads the result only while it serves the message.
    auto send = [job](const Hint& hint) {
        job->result = hint;
        sendMessage(job->window, WM_HINT_READY, 0, reinterpret_cast<LPARAM>(job));
    };
    Move guess{0, 0};
    if (hintHasPreview(p.board)) { // then one exact best cell as soon as it is proven, then all of them
        send(previewHint(p.board, p.mover, job->cancel, PreviewSeconds));
        guess = firstBestCell(job->result);
    }
    job->result = computeHint(p.board, p.mover, job->cancel, GuessSeconds, guess, send);
    sendMessage(job->window, WM_HINT_READY, 0, reinterpret_cast<LPARAM>(job));
    job->handedOver = true; // the window may free the request from here on
    return 0;
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

// The area a mark covers, inside the cell's grid lines and clear of the star points.
Rect markArea(Move cell)
{
    const Rect r = cellRect(cell.column, cell.row);
    return {r.left + 3, r.top + 8, r.right - 2, r.bottom - 8};
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
    selectFont(dc, cell.best ? hintBestFont : hintFont);
    textOut(dc, (area.left + area.right - textWidth(dc, text)) / 2, area.top + 1, text);
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
    if (hintThread == nullptr) // no thread now: the player may ask again
        request.reset();
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
    }
    if (marksShown) {
        marksShown = false;
        eraseMarks();
    }
    cancelling = false;
}

void onHintReady(Window*, const void* sent)
{
    if (request == nullptr || sent != request.get() || request->cancel || request->result.cancelled ||
        !isShownNow(request->position))
        return;
    if (marksShown) // the preview gives way to the exact marks
        eraseMarks();
    shownHint = request->result;
    shownPosition = request->position;
    marksShown = true;
    drawHintMarks(windowDC);
}

void followHint(Window* window)
{
    if (cancelling)
        return;
    joinFinishedWorker();
    if ((request != nullptr && !isShownNow(request->position)) || (marksShown && !isShownNow(shownPosition)))
        cancelHint(window);
}

void drawHintMarks(DeviceContext* dc)
{
    if (dc == nullptr || !marksShown || !isShownNow(shownPosition))
        return;
    Brush* oldBrush = selectBrush(dc, hintBrush);
    Font* oldFont = selectFont(dc, hintFont);
    setBackgroundMode(dc, BackgroundMode::Transparent);
    setTextColour(dc, rgb(0, 0, 0));
    for (const CellHint& cell : shownHint.cells)
        if (cell.hasValue || cell.best)
            drawMark(dc, cell);
    setBackgroundMode(dc, BackgroundMode::Opaque);
    selectBrush(dc, oldBrush);
    selectFont(dc, oldFont);
}

bool hintRunning()
{
    return hintThread != nullptr;
}

bool hintShown()
{
    return marksShown && isShownNow(shownPosition);
}

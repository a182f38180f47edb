// The window-system layer, driven offscreen through a toy window procedure
// that records what it receives.
#include "offscreen_screen.h"
#include "platform/platform.h"
#include "platform/qt_window.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Message {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Message> received;
Colour paintColour = rgb(0, 153, 0);
int disabledItem = 0; // the menu item WM_INITMENUPOPUP grays
int checkedItem = 0;  // and the one it checks
std::atomic<bool> sendHandled{false};
std::thread::id procThread;
bool quitOnDestroy = false;
// Closes and destroys again inside WM_DESTROY, as a close dispatched while it waits would.
bool closeAgainOnDestroy = false;
Window* watchedList = nullptr;   // its selection is read when it notifies
std::vector<int> selectionsSeen; // by the procedure, as the game reads them

const MenuItemDef fileItems[] = {{101, "New(&N)\tCtrl+N"}, {0, nullptr}, {102, "Exit(&X)\tCtrl+X"}};
const MenuItemDef gameItems[] = {{201, "パス（&P）\tCtrl+P"}, {203, "Undo\tCtrl+Z"}};
const PopupDef popups[] = {{"File(&F)", fileItems, 3}, {"Game(&G)", gameItems, 2}};
const MenuDef menu = {popups, 2};
const AcceleratorDef accelEntries[] = {{'N', 101}, {'P', 201}};
const AcceleratorTable accelerators = {accelEntries, 2};

void applyMenuState(Menu* popup)
{
    for (int i = 0; i < menuItemCount(popup); ++i) {
        int id = menuItemId(popup, i);
        if (id != 0)
            setMenuItemState(popup, i, id != disabledItem, id == checkedItem);
    }
}

LRESULT toyProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    received.push_back({message, wParam, lParam});
    switch (message) {
    case WM_PAINT: {
        DeviceContext* dc = beginPaint(window);
        Brush* brush = createSolidBrush(paintColour);
        fillRect(dc, {0, 0, 534, 318}, brush);
        deleteBrush(brush);
        endPaint(window, dc);
        return 0;
    }
    case WM_INITMENUPOPUP:
        applyMenuState(reinterpret_cast<Menu*>(wParam));
        return 0;
    case WM_USER + 1:
        procThread = std::this_thread::get_id();
        sendHandled = true;
        return lParam * 2;
    case WM_COMMAND:
        if (loWord(wParam) == 1000 && watchedList)
            selectionsSeen.push_back(listBoxSelection(watchedList));
        return 0;
    case WM_DESTROY:
        if (quitOnDestroy)
            postQuitMessage(7);
        if (std::exchange(closeAgainOnDestroy, false)) {
            window->widget->close(); // the title bar's close button
            sendMessage(window, WM_CLOSE, 0, 0);
            destroyWindow(window);
        }
        return 0;
    }
    return defaultWindowProc(window, message, wParam, lParam);
}

std::vector<unsigned> messagesOf(unsigned kind)
{
    std::vector<unsigned> out;
    for (const Message& m : received)
        if (m.message == kind)
            out.push_back(loWord(m.wParam));
    return out;
}

class Platform : public ::testing::Test {
  protected:
    void SetUp() override
    {
        static bool registered = registerWindowClass({"Toy", toyProc, "MAINICN", "SUBICN", &menu});
        ASSERT_TRUE(registered);
        received.clear();
        disabledItem = checkedItem = 0;
        quitOnDestroy = false;
        window = createMainWindow("Toy", "Toy", 540, 375);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(messagesOf(WM_CREATE).size(), 1u);
        received.clear();
    }
    void TearDown() override
    {
        setManualTimers(false);
        setModalHook(nullptr);
        destroyWindow(window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool waitFor(const std::function<bool()>& condition, int ms = 2000)
    {
        return QTest::qWaitFor(condition, ms);
    }
    Window* window = nullptr;
};

// ---- Timers ----------------------------------------------------------------

TEST_F(Platform, TimersRepeatRestartAndStopWhenKilled)
{
    setTimer(window, 5, 10);
    setTimer(window, 6, 15);
    ASSERT_TRUE(waitFor([] { return messagesOf(WM_TIMER).size() >= 6; }));
    auto ticks = messagesOf(WM_TIMER);
    EXPECT_GE(std::count(ticks.begin(), ticks.end(), 5u), 2);
    EXPECT_GE(std::count(ticks.begin(), ticks.end(), 6u), 1);

    setTimer(window, 5, 5000); // restarted: no tick for a long while
    killTimer(window, 6);
    EXPECT_EQ(timerInterval(window, 5), 5000);
    EXPECT_FALSE(timerPending(window, 6));
    received.clear();
    QTest::qWait(60);
    EXPECT_TRUE(messagesOf(WM_TIMER).empty());
    killTimer(window, 5);
}

TEST_F(Platform, ManualTimersTickOnlyWhilePending)
{
    setManualTimers(true);
    setTimer(window, 230, 200);
    setTimer(window, 120, -5);
    setTimer(window, 340, 0);
    EXPECT_TRUE(timerPending(window, 230));
    EXPECT_EQ(timerInterval(window, 120), 10); // no timer may spin: 10 ms at least
    EXPECT_EQ(timerInterval(window, 340), 10);
    fireTimer(window, 230);
    fireTimer(window, 230); // a window timer repeats until killed
    killTimer(window, 230);
    fireTimer(window, 230);
    QTest::qWait(20); // nothing runs by itself in manual mode
    EXPECT_EQ(messagesOf(WM_TIMER), (std::vector<unsigned>{230, 230}));
    EXPECT_FALSE(timerPending(window, 230));
}

// The pause before a game is replaced: painting goes on under a busy cursor,
// while no timer, input or close request acts; the timers tick again after it.
TEST_F(Platform, BusyPauseKeepsPaintingAndLetsNothingElseAct)
{
    installAccelerators(window, accelerators);
    showWindow(window);
    window->widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->widget));
    setTimer(window, 4, 10);
    static bool busyCursor = false;
    QTimer::singleShot(40, [this] {
        busyCursor =
            QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        paintColour = rgb(0, 204, 102);
        invalidateWindow(window);
        QTest::mouseClick(window->client, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::keyClick(window->widget, Qt::Key_N, Qt::ControlModifier);
        window->widget->close();
    });
    received.clear();
    busyPause(150);
    std::vector<Message> during = received;
    paintColour = rgb(0, 153, 0);

    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(windowPixel(window, 10, 10), rgb(0, 204, 102)) << "painted during the pause";
    for (const Message& m : during)
        EXPECT_EQ(m.message, unsigned(WM_PAINT)) << "message " << m.message << " acted during the pause";
    EXPECT_TRUE(window->widget->isVisible());
    EXPECT_TRUE(waitFor([] { return !messagesOf(WM_TIMER).empty(); }));
    killTimer(window, 4);
}

// ---- Threads, sends and events ------------------------------------------------

Window* sendTarget = nullptr;
std::atomic<LRESULT> sendResult{0};
Event* doneEvent = nullptr;

unsigned sendFromWorker(void*)
{
    // Long enough for a pending 10 ms timer to come due meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    sendResult = sendMessage(sendTarget, WM_USER + 1, 0, 21);
    setEvent(doneEvent);
    return 0;
}

TEST_F(Platform, WorkerSendRunsOnWindowThreadAndServingRunsNothingElse)
{
    sendTarget = window;
    sendHandled = false;
    doneEvent = createAutoResetEvent();
    setTimer(window, 9, 0); // would tick meanwhile if ordinary events ran
    received.clear();
    Thread* worker = startThread(sendFromWorker, nullptr);
    raiseThreadPriority(worker);
    serveSentMessagesUntil(window, [] { return sendHandled.load(); });
    waitForEvent(doneEvent);
    closeThreadHandle(worker);
    closeEvent(doneEvent);
    killTimer(window, 9);

    EXPECT_EQ(sendResult.load(), 42);
    EXPECT_EQ(procThread, std::this_thread::get_id());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_USER + 1);
}

std::atomic<bool> waiterWoke{false};

unsigned waitOnce(void* event)
{
    waitForEvent(static_cast<Event*>(event));
    waiterWoke = true;
    return 0;
}

TEST(Events, AutoResetConsumesOneSignal)
{
    Event* event = createAutoResetEvent();
    setEvent(event);
    setEvent(event); // signals do not add up
    waitForEvent(event);
    waiterWoke = false;
    failNextThreadStart(); // a refused thread is reported, and the next start works
    EXPECT_EQ(startThread(waitOnce, event), nullptr);
    Thread* waiter = startThread(waitOnce, event);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(waiterWoke);
    setEvent(event);
    for (int i = 0; i < 200 && !waiterWoke; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(waiterWoke);
    closeThreadHandle(waiter);
    closeEvent(event);
}

// ---- Drawing ----------------------------------------------------------------------

struct MemoryBitmap {
    DeviceContext* dc = createCompatibleDC(nullptr);
    Bitmap* bitmap;
    explicit MemoryBitmap(int w, int h, Colour fill) : bitmap(createCompatibleBitmap(dc, w, h))
    {
        selectBitmap(dc, bitmap);
        Brush* brush = createSolidBrush(fill);
        fillRect(dc, {0, 0, w, h}, brush);
        deleteBrush(brush);
    }
    ~MemoryBitmap()
    {
        deleteDC(dc);
        deleteBitmap(bitmap);
    }
};

TEST(Drawing, RasterOpsCombinePixels)
{
    MemoryBitmap dst(4, 1, rgb(0, 153, 0)), mask(2, 1, rgb(0, 0, 0)), picture(2, 1, rgb(255, 255, 255));
    fillRect(mask.dc, {1, 0, 2, 1}, stockBrush(StockBrush::White));
    Brush* red = createSolidBrush(rgb(200, 10, 10));
    fillRect(picture.dc, {1, 0, 2, 1}, red);
    deleteBrush(red);

    bitBlt(dst.dc, 0, 0, 2, 1, mask.dc, 0, 0, RasterOp::Or);
    bitBlt(dst.dc, 0, 0, 2, 1, picture.dc, 0, 0, RasterOp::And);
    EXPECT_EQ(getPixel(dst.dc, 0, 0), rgb(0, 153, 0));            // outside the mask: untouched
    EXPECT_EQ(getPixel(dst.dc, 1, 0), rgb(200, 10, 10));          // inside: the picture
    bitBlt(dst.dc, 2, 0, 5, 1, picture.dc, 0, 0, RasterOp::Copy); // clipped at both edges
    EXPECT_EQ(getPixel(dst.dc, 2, 0), rgb(255, 255, 255));
    EXPECT_EQ(getPixel(dst.dc, 3, 0), rgb(200, 10, 10));
    EXPECT_EQ(getPixel(dst.dc, 4, 0), 0xFFFFFFFFu);
}

TEST(Drawing, EdgesFollowTheExclusiveRules)
{
    MemoryBitmap m(12, 12, rgb(255, 255, 255));
    Colour white = rgb(255, 255, 255), black = rgb(0, 0, 0);
    fillRect(m.dc, {2, 2, 5, 4}, stockBrush(StockBrush::Black));
    EXPECT_EQ(getPixel(m.dc, 4, 3), black);
    EXPECT_EQ(getPixel(m.dc, 5, 3), white);
    EXPECT_EQ(getPixel(m.dc, 4, 4), white);

    moveTo(m.dc, 0, 8);
    lineTo(m.dc, 6, 8);
    lineTo(m.dc, 6, 11);
    EXPECT_EQ(getPixel(m.dc, 0, 8), black);
    EXPECT_EQ(getPixel(m.dc, 6, 8), black); // the second line starts there
    EXPECT_EQ(getPixel(m.dc, 6, 10), black);
    EXPECT_EQ(getPixel(m.dc, 6, 11), white); // the end point is left out
    EXPECT_EQ(getPixel(m.dc, 7, 8), white);
}

TEST(Drawing, EllipseStaysInsideItsBox)
{
    MemoryBitmap m(12, 12, rgb(255, 255, 255));
    selectBrush(m.dc, stockBrush(StockBrush::Black));
    ellipse(m.dc, 3, 3, 9, 9); // a 6 x 6 dot
    int inside = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (getPixel(m.dc, x, y) == rgb(0, 0, 0)) {
                ++inside;
                EXPECT_TRUE(x >= 3 && x < 9 && y >= 3 && y < 9) << x << "," << y;
            }
    EXPECT_GE(inside, 24);
    EXPECT_EQ(getPixel(m.dc, 3, 3), rgb(255, 255, 255)); // rounded corners
    EXPECT_EQ(getPixel(m.dc, 8, 5), rgb(0, 0, 0));
}

TEST(Drawing, OpaqueTextPaintsItsCellWhite)
{
    MemoryBitmap m(60, 20, rgb(0, 153, 0));
    FontDesc desc{};
    desc.height = 12;
    desc.weight = FW_NORMAL;
    desc.charSet = SHIFTJIS_CHARSET;
    Font* font = createFont(desc);
    selectFont(m.dc, font);
    textOut(m.dc, 2, 3, "    "); // four half-width spaces: a 24 x 12 white cell
    EXPECT_EQ(getPixel(m.dc, 2, 3), rgb(255, 255, 255));
    EXPECT_EQ(getPixel(m.dc, 25, 14), rgb(255, 255, 255));
    EXPECT_EQ(getPixel(m.dc, 26, 3), rgb(0, 153, 0));
    EXPECT_EQ(getPixel(m.dc, 2, 15), rgb(0, 153, 0));
    setBackgroundMode(m.dc, BackgroundMode::Transparent);
    textOut(m.dc, 30, 3, "    ");
    EXPECT_EQ(getPixel(m.dc, 31, 5), rgb(0, 153, 0));

    // At ratio 1 the text stays unsmoothed: pure black on the white cell.
    setBackgroundMode(m.dc, BackgroundMode::Opaque);
    textOut(m.dc, 2, 3, "目h0");
    int black = 0, other = 0;
    for (int y = 3; y < 15; ++y)
        for (int x = 2; x < 26; ++x) {
            const Colour c = getPixel(m.dc, x, y);
            black += c == rgb(0, 0, 0);
            other += c != rgb(0, 0, 0) && c != rgb(255, 255, 255);
        }
    EXPECT_GT(black, 20);
    EXPECT_EQ(other, 0);
    deleteFont(font);
}

TEST_F(Platform, WindowDcDrawingLastsUntilTheNextPaint)
{
    invalidateWindow(window);
    updateWindow(window);
    EXPECT_EQ(windowPixel(window, 10, 10), rgb(0, 153, 0));
    DeviceContext* dc = getWindowDC(window);
    fillRect(dc, {5, 5, 15, 15}, stockBrush(StockBrush::Black));
    releaseWindowDC(window, dc);
    received.clear();
    updateWindow(window); // still valid: no paint
    EXPECT_TRUE(messagesOf(WM_PAINT).empty());
    EXPECT_EQ(windowPixel(window, 10, 10), rgb(0, 0, 0));
    paintColour = rgb(0, 204, 102);
    invalidateWindow(window);
    updateWindow(window);
    EXPECT_EQ(messagesOf(WM_PAINT).size(), 1u);
    EXPECT_EQ(windowPixel(window, 10, 10), rgb(0, 204, 102));
    paintColour = rgb(0, 153, 0);
}

// ---- Controls, mouse and menus ------------------------------------------------------

// A mouse event at a fractional position of widget, as Qt delivers it: the
// widget's position rounded, the window's exact.
QMouseEvent asQtDeliversIt(QEvent::Type type, QWidget* widget, QPointF at, Qt::MouseButton button)
{
    const QPointF inWindow = at + QPointF(widget->mapTo(widget->window(), QPoint(0, 0)));
    return QMouseEvent(type, QPointF(at.toPoint()), inWindow, widget->mapToGlobal(at.toPoint()), button,
                       type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
}

TEST_F(Platform, ListBoxNotifiesOnlyUserSelections)
{
    Window* list = createControl(window, ControlKind::ListBox, 1000, 300, 160, 200, 91);
    listBoxAddString(list, "1 黒 d3");
    listBoxAddString(list, "2 白 c3");
    listBoxAddString(list, "3 黒 c4");
    received.clear();
    listBoxSetSelection(list, 1);
    EXPECT_EQ(listBoxSelection(list), 1);
    EXPECT_TRUE(messagesOf(WM_COMMAND).empty());

    // The procedure reads the new selection when notified, for clicks and keys alike.
    auto* widget = qobject_cast<QListWidget*>(list->widget.data());
    auto clickLine = [widget](int row) {
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {},
                          widget->visualItemRect(widget->item(row)).center());
    };
    watchedList = list;
    selectionsSeen.clear();
    clickLine(0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].wParam, WPARAM(1000 | (LBN_SELCHANGE << 16)));
    QTest::keyClick(widget, Qt::Key_Down);
    clickLine(2);
    clickLine(0);
    QTest::keyClick(widget, Qt::Key_End);
    // Half a logical pixel above line 1, as a screen of ratio 2 reports the
    // last device pixel of line 0: still line 0.
    const QPointF lastOfLine0(20, widget->visualItemRect(widget->item(1)).top() - 0.5);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event = asQtDeliversIt(type, widget->viewport(), lastOfLine0, Qt::LeftButton);
        QApplication::sendEvent(widget->viewport(), &event);
    }
    watchedList = nullptr;
    EXPECT_EQ(selectionsSeen, (std::vector<int>{0, 1, 2, 0, 2, 0}));

    char small[5];
    EXPECT_EQ(listBoxText(list, 0, small, sizeof small), 2); // "黒" is not cut in half
    EXPECT_STREQ(small, "1 ");
    listBoxSetSelection(list, -1);
    EXPECT_EQ(listBoxSelection(list), -1);
    listBoxReset(list);
    EXPECT_EQ(listBoxCount(list), 0);
}

// Dark and light pixels of a list line as the screen shows it.
std::pair<int, int> darkAndLightPixels(QListWidget* list, int row)
{
    QImage image = list->viewport()->grab(list->visualItemRect(list->item(row))).toImage();
    int dark = 0, light = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int l = qGray(image.pixel(x, y));
            dark += l < 90;
            light += l > 170;
        }
    return {dark, light};
}

TEST_F(Platform, ASelectedLineKeepsBlacksMarkDarkOnALightSelection)
{
    Window* list = createControl(window, ControlKind::ListBox, 1000, 300, 160, 200, 91);
    listBoxAddString(list, "●●●");
    listBoxAddString(list, "○○○");
    showWindow(window);
    auto* widget = qobject_cast<QListWidget*>(list->widget.data());
    std::pair<int, int> seen[2];
    for (int row : {0, 1}) {
        listBoxSetSelection(list, row);
        seen[row] = darkAndLightPixels(widget, row);
        EXPECT_GT(seen[row].second, seen[row].first) << "a light selection, line " << row;
    }
    EXPECT_GT(seen[0].first, 30) << "Black's selected marks are dark";
    EXPECT_GT(seen[0].first, 2 * seen[1].first) << "and White's stay hollow";
}

TEST_F(Platform, ControlsKeepTextAndState)
{
    Window* edit = createControl(window, ControlKind::ReadOnlyEdit, 310, 20, 265, 500, 40);
    setWindowText(edit, "一行目\r\n二行目");
    char text[64];
    getWindowText(edit, text, sizeof text);
    EXPECT_STREQ(text, "一行目\r\n二行目");
    Window* button = createControl(window, ControlKind::IconButton, 501, 300, 237, 30, 18);
    enableWindow(button, false);
    EXPECT_FALSE(isWindowEnabled(button));
    enableWindow(button, true);
    received.clear();
    QTest::mouseClick(button->widget, Qt::LeftButton);
    EXPECT_EQ(messagesOf(WM_COMMAND), std::vector<unsigned>{501});
}

TEST_F(Platform, TabKeepsTheFocusAndSpaceNeverPressesTheButton)
{
    Window* list = createControl(window, ControlKind::ListBox, 1000, 300, 160, 200, 91);
    Window* button = createControl(window, ControlKind::IconButton, 501, 300, 237, 30, 18);
    createControl(window, ControlKind::ReadOnlyEdit, 310, 20, 265, 500, 40);
    showWindow(window);
    window->widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->widget));
    list->widget->setFocus();
    QTest::mouseClick(button->widget, Qt::LeftButton); // a click leaves the focus where it was
    received.clear();
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab, Qt::Key_Tab}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(QApplication::focusWidget(), list->widget.data());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
    EXPECT_TRUE(messagesOf(WM_COMMAND).empty());
}

TEST_F(Platform, MouseReachesTheProcedureInClientCoordinates)
{
    showWindow(window);
    received.clear();
    // Sent directly: a synthesized move to where the pointer already is gets dropped.
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 60), window->client->mapToGlobal(QPointF(50, 60)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window->client, &move);
    QTest::mouseClick(window->client, Qt::LeftButton, {}, QPoint(51, 61));
    // On a screen of ratio 2 the last device pixel of column 2 (x 50 to 79)
    // lies at 79.5: it stays in column 2.
    for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event = asQtDeliversIt(type, window->client, QPointF(79.5, 60.75), button);
        QApplication::sendEvent(window->client, &event);
    }
    std::erase_if(received, [](const Message& m) { return m.message == WM_PAINT; });
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[0].message, WM_SETCURSOR);
    EXPECT_EQ(received[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(received[1].lParam, makePoint(50, 60));
    EXPECT_EQ(received[2].message, WM_LBUTTONDOWN);
    EXPECT_EQ(received[2].lParam, makePoint(51, 61));
    EXPECT_EQ(received[3].message, WM_SETCURSOR);
    EXPECT_EQ(received[4].lParam, makePoint(79, 60)) << "a fractional move";
    EXPECT_EQ(received[5].message, WM_LBUTTONDOWN);
    EXPECT_EQ(received[5].lParam, makePoint(79, 60)) << "a fractional click";
    // The right button has its own message; the middle one none.
    received.clear();
    QTest::mouseClick(window->client, Qt::RightButton, {}, QPoint(52, 62));
    QTest::mouseClick(window->client, Qt::MiddleButton, {}, QPoint(52, 62));
    std::erase_if(received,
                  [](const Message& m) { return m.message == WM_PAINT || m.message == WM_SETCURSOR; });
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_RBUTTONDOWN);
    EXPECT_EQ(received[0].lParam, makePoint(52, 62));
    setCursor(CursorShape::No);
    EXPECT_EQ(window->client->cursor().shape(), Qt::ForbiddenCursor);

    // A larger window: the game's pixel 80 starts at 120 at 150% and at 160 at 200%.
    for (int percent : {150, 200}) {
        setWindowScale(window, percent);
        received.clear();
        const int first = 80 * percent / 100;
        for (int x : {first - 1, first})
            QTest::mouseClick(window->client, Qt::LeftButton, {}, QPoint(x, first));
        EXPECT_EQ(messagesOf(WM_LBUTTONDOWN).size(), 2u);
        std::erase_if(received, [](const Message& m) { return m.message != WM_LBUTTONDOWN; });
        EXPECT_EQ(received[0].lParam, makePoint(79, 80)) << percent;
        EXPECT_EQ(received[1].lParam, makePoint(80, 80)) << percent;
    }
}

TEST_F(Platform, MenuStateIsAskedBeforeEveryAccelerator)
{
    disabledItem = 201;
    checkedItem = 203;
    invokeMenuCommand(window, 201); // grayed: its popup is asked, nothing runs
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_INITMENUPOPUP);
    Menu* game = reinterpret_cast<Menu*>(received[0].wParam);
    EXPECT_EQ(menuItemId(game, 0), 201);
    EXPECT_FALSE(menuItemEnabled(window, 201));
    EXPECT_TRUE(menuItemChecked(window, 203));

    disabledItem = 0;
    received.clear();
    invokeMenuCommand(window, 201);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].message, WM_COMMAND);
    EXPECT_EQ(loWord(received[1].wParam), 201u);
}

TEST_F(Platform, CtrlKeysGoThroughTheMenuState)
{
    installAccelerators(window, accelerators);
    showWindow(window);
    window->widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->widget));
    disabledItem = 201;
    received.clear();
    QTest::keyClick(window->widget, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(window->widget, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(messagesOf(WM_INITMENUPOPUP).size(), 2u);
    EXPECT_EQ(messagesOf(WM_COMMAND), std::vector<unsigned>{101});
}

// ---- Dialogs ---------------------------------------------------------------------------

const DialogItemDef dialogItems[] = {
    {DialogControl::GroupBox, -1, "●黒", 7, 7, 140, 40},
    {DialogControl::RadioButton, 100, "人", 13, 18, 20, 10},
    {DialogControl::RadioButton, 101, "PC", 13, 31, 20, 10},
    {DialogControl::DropDownList, 201, "", 40, 29, 100, 80},
    {DialogControl::Edit, 301, "", 45, 3, 30, 12},
    {DialogControl::DefaultPushButton, 1, "OK", 24, 92, 50, 14},
    {DialogControl::PushButton, 2, "キャンセル", 78, 92, 50, 14},
};
const DialogDef dialogDef = {"新規ゲーム", 20, 20, 150, 110, "MS UI Gothic", 10, dialogItems, 7};
std::vector<unsigned> dialogMessages;
void (*hookAction)(Window*) = nullptr;

intptr_t toyDialog(Window* dialog, unsigned message, WPARAM wParam, LPARAM)
{
    dialogMessages.push_back(message == WM_COMMAND ? loWord(wParam) : message);
    if (message == WM_INITDIALOG) {
        comboAddString(dialog, 201, "lv0");
        comboAddString(dialog, 201, "lv1");
        comboSetSelection(dialog, 201, 1);
        checkRadioButton(dialog, 100, 101, 100);
        setDialogItemText(dialog, 301, "200");
    } else if (message == WM_COMMAND && (loWord(wParam) == 100 || loWord(wParam) == 101)) {
        checkRadioButton(dialog, 100, 101, int(loWord(wParam)));
    } else if (message == WM_COMMAND && loWord(wParam) == 1) {
        endDialog(dialog, 1);
    }
    return 1;
}

void runHookAction(Window* dialog)
{
    hookAction(dialog);
}

int runToyDialog(Window* owner, void (*action)(Window*))
{
    dialogMessages.clear();
    hookAction = action;
    setModalHook(runHookAction);
    return runDialog(owner, dialogDef, toyDialog);
}

Window* seen = nullptr;
bool pcChecked = false, comboStates = false;
char typed[16];

TEST_F(Platform, DialogIsDrivenThroughItsProcedure)
{
    int code = runToyDialog(window, [](Window* d) {
        seen = d;
        clickDialogButton(d, 101); // the procedure checks it, not the button itself
        pcChecked = isButtonChecked(d, 101) && !isButtonChecked(d, 100);
        comboSetSelection(d, 201, 9);
        comboStates = comboSelection(d, 201) == -1;
        enableDialogItem(d, 201, false);
        comboStates = comboStates && !isDialogItemEnabled(d, 201);
        getDialogItemText(d, 301, typed, sizeof typed);
        clickDialogButton(d, 1);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(dialogMessages, (std::vector<unsigned>{WM_INITDIALOG, 101, 1}));
    EXPECT_TRUE(pcChecked);
    EXPECT_TRUE(comboStates);
    EXPECT_STREQ(typed, "200");
}

TEST_F(Platform, DialogPlacesControlsInDialogUnits)
{
    runToyDialog(window, [](Window* d) {
        QRect group = d->items.count(100) ? d->items[100]->geometry() : QRect();
        QRect ok = d->items[1]->geometry(), cancel = d->items[2]->geometry();
        // Same width, same row, and the horizontal gap scales like the positions.
        EXPECT_EQ(ok.size(), cancel.size());
        EXPECT_EQ(ok.top(), cancel.top());
        EXPECT_NEAR(double(cancel.left()) / ok.left(), 78.0 / 24, 0.1);
        EXPECT_NEAR(double(ok.top()) / group.top(), 92.0 / 18, 0.2);
        EXPECT_GT(d->dialog->width(), ok.right());
        endDialog(d, 5);
    });
}

// Dialogs open centred over the main window, and on the screen where the
// main window lies near its edge.
TEST_F(Platform, DialogsOpenCentredOverTheMainWindow)
{
    static QPoint ownerCentre, dialogCentre;
    static QRect dialogFrame;
    showWindow(window);
    for (QPoint at : {QPoint(300, 200), QPoint(0, 0), QPoint(1000, 700)}) {
        moveWindow(window, at.x(), at.y(), 540, 355);
        ownerCentre = window->widget->frameGeometry().center();
        runToyDialog(window, [](Window* d) {
            dialogFrame = d->dialog->frameGeometry();
            dialogCentre = dialogFrame.center();
            endDialog(d, 1);
        });
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.contains(dialogFrame)) << at.x() << "," << at.y();
        if (at == QPoint(300, 200)) {
            EXPECT_LE((dialogCentre - ownerCentre).manhattanLength(), 4);
        }
    }
}

TEST_F(Platform, EscapeCancelsEvenWhenTheProcedureIgnoresIt)
{
    int code = runToyDialog(window, [](Window* d) { QTest::keyClick(d->dialog, Qt::Key_Escape); });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_EQ(dialogMessages.back(), unsigned(IDCANCEL));
}

TEST_F(Platform, TimersKeepTickingUnderADialog)
{
    setTimer(window, 3, 5);
    runToyDialog(window, [](Window* d) {
        (void)QTest::qWaitFor([] { return !messagesOf(WM_TIMER).empty(); }, 1000);
        endDialog(d, 1);
    });
    killTimer(window, 3);
    EXPECT_FALSE(messagesOf(WM_TIMER).empty());
}

// The settings dialog may be up when the computer's worker hands its move over.
TEST_F(Platform, WorkerSendIsServedUnderADialog)
{
    sendTarget = window;
    sendHandled = false;
    doneEvent = createAutoResetEvent();
    int code = runToyDialog(window, [](Window* d) {
        closeThreadHandle(startThread(sendFromWorker, nullptr));
        auto* poll = new QTimer(d->dialog);
        QObject::connect(poll, &QTimer::timeout, [d] {
            if (sendHandled)
                endDialog(d, 1);
        });
        poll->start(1);
    });
    waitForEvent(doneEvent);
    closeEvent(doneEvent);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(sendResult.load(), 42);
}

char okText[32], cancelText[32];
int boxWidth = 0;

TEST_F(Platform, MessageBoxAnswers)
{
    setModalHook([](Window* box) {
        getDialogItemText(box, IDOK, okText, sizeof okText);
        getDialogItemText(box, IDCANCEL, cancelText, sizeof cancelText);
        answerMessageBox(box, IDOK);
    });
    EXPECT_EQ(messageBoxOkCancel(window, "本当に投げますか？", "投了確認"), IDOK);
    setModalHook([](Window* box) { clickDialogButton(box, IDCANCEL); });
    EXPECT_EQ(messageBoxOkCancel(window, "?", "?"), IDCANCEL);
    EXPECT_STREQ(okText, "OK");
    EXPECT_STREQ(cancelText, "キャンセル"); // as the game's own dialogs say it

    // Beside the title, the window manager's bar holds an icon and buttons:
    // a short text must not leave the title cut.
    setModalHook([](Window* box) {
        boxWidth = box->dialog->width();
        answerMessageBox(box, IDOK);
    });
    messageBoxWarning(window, "棋譜が空です", "棋譜を開けません");
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(boxWidth, QFontMetrics(bold).horizontalAdvance(QStringLiteral("棋譜を開けません")) + 100);
}

// ---- The window's life ---------------------------------------------------------------------

TEST_F(Platform, TitleBarCloseDestroysAndQuits)
{
    showWindow(window);
    quitOnDestroy = true;
    QTimer::singleShot(0, [this] { window->widget->close(); });
    EXPECT_EQ(runMessageLoop(window, accelerators), 7);
    EXPECT_EQ(messagesOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(messagesOf(WM_DESTROY).size(), 1u);
}

TEST_F(Platform, ACloseDuringTheDestroyIsIgnored)
{
    showWindow(window);
    closeAgainOnDestroy = true;
    destroyWindow(window);
    EXPECT_EQ(messagesOf(WM_DESTROY).size(), 1u);
    EXPECT_TRUE(messagesOf(WM_CLOSE).empty());
    EXPECT_TRUE(window->destroyed);
}

// The session manager ends a logout by telling the application to quit, here
// while a message box is up: the box is cancelled and the window closes from
// the main loop, not inside the box's. A loop ended without any close still
// closes the window; and the dialogs after it open again.
TEST_F(Platform, TheApplicationsQuitClosesTheWindowFromTheMainLoop)
{
    closeOnSessionEnd();
    showWindow(window);
    quitOnDestroy = true;
    static int answer = 0;
    static size_t closesInsideBox = 0;
    setModalHook([](Window*) { QCoreApplication::quit(); });
    QTimer::singleShot(0, [this] {
        answer = messageBoxOkCancel(window, "?", "?");
        closesInsideBox = messagesOf(WM_CLOSE).size();
    });
    EXPECT_EQ(runMessageLoop(window, accelerators), 7);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(closesInsideBox, 0u);
    EXPECT_EQ(messagesOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(messagesOf(WM_DESTROY).size(), 1u);

    received.clear();
    window = createMainWindow("Toy", "Toy", 540, 375);
    showWindow(window);
    QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
    runMessageLoop(window, accelerators);
    EXPECT_EQ(messagesOf(WM_DESTROY).size(), 1u);
    setModalHook([](Window* box) { answerMessageBox(box, IDOK); });
    EXPECT_EQ(messageBoxOkCancel(nullptr, "?", "?"), IDOK);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, SIG_DFL); // Ctrl+C ends the tests again
}

// Also when the window grows: a scale that fits the screen keeps the whole
// frame on it, and one that does not fit is told.
TEST_F(Platform, MoveWindowKeepsTheFrameOnScreen)
{
    showWindow(window);
    moveWindow(window, -5000, 100000, 540, 355);
    Rect r = windowRect(window);
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(r.left, screen.left());
    EXPECT_LE(r.bottom, screen.bottom() + 1);

    moveWindow(window, 700, 500, 540, 355);
    EXPECT_TRUE(windowScaleFits(window, 200)) << "on a 1280 x 900 screen";
    EXPECT_FALSE(windowScaleFits(window, 250));
    setWindowScale(window, 200);
    EXPECT_EQ(windowScale(window), 200);
    r = windowRect(window);
    EXPECT_GT(r.right - r.left, 2 * 534);
    EXPECT_TRUE(screen.contains(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)))
        << r.left << "," << r.top;
    setWindowScale(window, 100);
    EXPECT_EQ(windowRect(window).right - windowRect(window).left, r.right - r.left - 534);
}

// The image gets the device pixels of the larger window, and the controls,
// made before or after, lie where the game placed them, scaled; the game's
// pixels and reads stay as they were.
TEST_F(Platform, AScaledWindowShowsTheSameGameLarger)
{
    Window* before = createControl(window, ControlKind::ListBox, 1000, 300, 160, 200, 91);
    setWindowScale(window, 150);
    Window* after = createControl(window, ControlKind::IconButton, 501, 300, 237, 30, 18);
    EXPECT_EQ(window->image.size(), QSize(801, 477));
    EXPECT_EQ(window->client->size(), QSize(801, 477));
    EXPECT_EQ(before->widget->geometry(), QRect(450, 240, 300, 137));
    EXPECT_EQ(after->widget->geometry(), QRect(450, 356, 45, 27));
    invalidateWindow(window);
    updateWindow(window);
    EXPECT_EQ(windowPixel(window, 533, 317), paintColour);
    setWindowScale(window, 100);
    EXPECT_EQ(window->image.size(), QSize(534, 318));
    EXPECT_EQ(before->widget->geometry(), QRect(300, 160, 200, 91));
}

// With X11 and Wayland both offered, the window position only works on X11.
TEST(Startup, X11ComesFirstWhenADisplayIsSetUnlessTheUserChose)
{
    const QByteArray saved[] = {qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
    auto with = [](const char* platform, const char* display, const char* wayland) {
        qputenv("QT_QPA_PLATFORM", platform);
        qputenv("DISPLAY", display);
        qputenv("WAYLAND_DISPLAY", wayland);
        return preferredPlatform();
    };
    EXPECT_EQ(with("", ":0", "wayland-0"), "xcb;wayland");
    EXPECT_EQ(with("", ":0", ""), "xcb");
    EXPECT_EQ(with("", "", "wayland-0"), ""); // Qt's own choice
    EXPECT_EQ(with("wayland", ":0", "wayland-0"), "");
    qputenv("QT_QPA_PLATFORM", saved[0]);
    qputenv("DISPLAY", saved[1]);
    qputenv("WAYLAND_DISPLAY", saved[2]);
}

// ---- Resources ------------------------------------------------------------------------------

TEST(Resources, PicturesIconsAndStrings)
{
    Bitmap* stone = loadBitmap(100);
    ASSERT_NE(stone, nullptr);
    int w = 0, h = 0;
    bitmapSize(stone, &w, &h);
    EXPECT_EQ(w, 25);
    EXPECT_EQ(h, 24);
    deleteBitmap(stone);
    EXPECT_EQ(loadBitmap(99), nullptr);

    Icon* sized = loadIcon("MAINICN", 32);
    Icon* plain = loadIcon("PLAYBIT", 16); // no sized file: the plain one
    EXPECT_NE(sized, nullptr);
    EXPECT_NE(plain, nullptr);
    EXPECT_EQ(loadIcon("NOSUCH", 16), nullptr);
    destroyIcon(sized);
    destroyIcon(plain);

    char buffer[5];
    EXPECT_EQ(loadString(1, buffer, sizeof buffer), 2); // "黒" would not fit whole
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(loadString(2, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

} // namespace

// Stands in for the program's string table.
const char* findString(int id)
{
    return id == 1 ? "ab\xE9\xBB\x92" : nullptr;
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string screen = useOffscreenScreen(1280, 900);
    ::testing::InitGoogleTest(&argc, argv);
    if (!initPlatform(argc, argv))
        return 1;
    std::remove(screen.c_str());
    return RUN_ALL_TESTS();
}

// The system's font configuration library keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

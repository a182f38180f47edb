// Where our windows go: every frame, title bar and borders included, lies on
// one screen wherever it fits there. A stored position is brought back onto
// the nearest screen; dialogs and message boxes open centred over the main
// window. The window manager frames a window only once it is shown, so until
// then its frame is estimated from the last frame seen on one of ours, and
// checked again once it is known.
#include "platform/qt_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {

// The decorations of the last window of ours the window manager framed.
QMargins knownMargins;

// Until the window manager has framed a window, its frame is the bare window.
bool framed(QWidget* w)
{
    return w->frameGeometry().size() != w->size();
}

void noteMargins(QWidget* w)
{
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    knownMargins = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                            outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

qint64 overlap(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

} // namespace

QRect screenAreaFor(const QRect& rect)
{
    QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestOverlap = 0, bestDistance = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const QPoint d = area.center() - rect.center();
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        const qint64 shared = overlap(area, rect);
        if (shared > bestOverlap || (bestOverlap == 0 && (bestDistance < 0 || distance < bestDistance))) {
            best = screen;
            bestOverlap = shared;
            bestDistance = distance;
        }
    }
    return best ? best->availableGeometry() : rect;
}

QPoint insideArea(QPoint topLeft, QSize frame, const QRect& area)
{
    const int x =
        std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y =
        std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    return QPoint(x, y);
}

QRect frameRectOf(QWidget* top)
{
    if (framed(top))
        return top->frameGeometry();
    return QRect(top->pos(), top->size().grownBy(knownMargins));
}

// Before any frame of ours is known, room for a title bar is allowed.
QRect likelyFrameOf(QWidget* top)
{
    constexpr int TitleBar = 32;
    QRect frame = frameRectOf(top);
    if (!framed(top) && knownMargins.isNull())
        frame.adjust(0, -TitleBar, 0, 0);
    return frame;
}

namespace {

// Keeps a frame fully on the nearest screen's work area.
QPoint clampToScreen(QPoint topLeft, QSize size)
{
    // A stored position may be any 32-bit value. No screen lies 2^24 pixels
    // out, and staying inside that keeps the rectangle sums from overflowing.
    constexpr int FarAway = 1 << 24;
    topLeft = QPoint(std::clamp(topLeft.x(), -FarAway, FarAway), std::clamp(topLeft.y(), -FarAway, FarAway));
    return insideArea(topLeft, size, screenAreaFor(QRect(topLeft, size)));
}

} // namespace

// Stands in for the system's default position: the middle of the primary
// screen, until the game places the window itself.
void placeAtDefault(Window* window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !window->widget)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = likelyFrameOf(window->widget).size();
    window->widget->move(area.left() + std::max(0, (area.width() - size.width()) / 2),
                         area.top() + std::max(0, (area.height() - size.height()) / 2));
    window->placedAtDefault = true;
}

Rect windowRect(Window* window)
{
    if (!window || !window->widget)
        return {0, 0, 0, 0};
    QRect r = window->widget->frameGeometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// The position is the frame's top-left. Before the window is shown its title
// bar and borders are unknown, so the check is made again once they are.
void moveWindow(Window* window, int x, int y, int width, int height)
{
    (void)width; // the frame keeps its fixed size; see ClientWidth
    (void)height;
    if (!window || !window->widget)
        return;
    QWidget* w = window->widget;
    w->move(clampToScreen(QPoint(x, y), frameRectOf(w).size()));
    window->placementPending = !(w->isVisible() && framed(w));
    window->placedAtDefault = false;
}

void keepFrameOnScreen(Window* window)
{
    if (!window || !window->placementPending || !window->widget)
        return;
    QWidget* w = window->widget;
    // Without a window manager the window is never framed, and the first
    // check was already exact.
    if (!w->isVisible() || !framed(w))
        return;
    window->placementPending = false;
    noteMargins(w);
    const QRect frame = w->frameGeometry();
    const QPoint inside = clampToScreen(frame.topLeft(), frame.size());
    if (inside != frame.topLeft())
        w->move(inside);
}

// A window that may be resized (a file dialog) is made small enough for the screen.
void placeOverOwner(QWidget* top, Window* owner)
{
    QWidget* ownerWidget = owner && !owner->destroyed ? owner->widget.data() : nullptr;
    QPoint centre;
    if (ownerWidget)
        centre = frameRectOf(ownerWidget).center();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        centre = screen->availableGeometry().center();
    const QRect area = screenAreaFor(QRect(centre, QSize(1, 1)));
    if (top->minimumSize() != top->maximumSize()) {
        const QSize decorations = likelyFrameOf(top).size() - top->size();
        top->resize(top->size().boundedTo(area.size() - decorations).expandedTo(top->minimumSize()));
    }
    const QSize frame = likelyFrameOf(top).size();
    const QPoint wanted = centre - QPoint(frame.width() / 2, frame.height() / 2);
    top->move(insideArea(wanted, frame, area));
}

// The window manager frames a window some time after it is mapped, and Qt
// sends no event when it does: the frame is looked for a few times a second
// for a while.
void keepOnScreenWhenFramed(QWidget* top)
{
    constexpr int Interval = 50, Tries = 60;
    auto* timer = new QTimer(top);
    timer->setInterval(Interval);
    QObject::connect(timer, &QTimer::timeout, top, [top, timer, tries = 0]() mutable {
        if (!top->isVisible() || ++tries > Tries) {
            timer->deleteLater();
            return;
        }
        if (!framed(top))
            return;
        timer->deleteLater();
        noteMargins(top);
        const QRect frame = top->frameGeometry();
        const QPoint inside = insideArea(frame.topLeft(), frame.size(), screenAreaFor(frame));
        if (inside != frame.topLeft())
            top->move(inside);
    });
    timer->start();
}

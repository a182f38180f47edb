// Where the main window goes: a stored position is brought back onto the
// nearest screen, title bar and borders included.
#include "platform/qt_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

QRect nearestScreenArea(const QRect& frame)
{
    QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestDistance = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect area = screen->availableGeometry();
        if (area.intersects(frame))
            return area;
        QPoint d = area.center() - frame.center();
        qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (bestDistance < 0 || distance < bestDistance) {
            best = screen;
            bestDistance = distance;
        }
    }
    return best ? best->availableGeometry() : frame;
}

// Keeps a frame fully on the nearest screen's work area.
QPoint clampToScreen(QPoint topLeft, QSize size)
{
    // A stored position may be any 32-bit value. No screen lies 2^24 pixels
    // out, and staying inside that keeps the rectangle sums from overflowing.
    constexpr int FarAway = 1 << 24;
    topLeft = QPoint(std::clamp(topLeft.x(), -FarAway, FarAway), std::clamp(topLeft.y(), -FarAway, FarAway));
    QRect area = nearestScreenArea(QRect(topLeft, size));
    int x = std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width()));
    int y = std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    return QPoint(x, y);
}

// Until the window manager has framed the window, its frame is the bare window.
bool framed(QWidget* w)
{
    return w->frameGeometry().size() != w->size();
}

} // namespace

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
    w->move(clampToScreen(QPoint(x, y), w->frameGeometry().size()));
    window->placementPending = !(w->isVisible() && framed(w));
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
    const QRect frame = w->frameGeometry();
    const QPoint inside = clampToScreen(frame.topLeft(), frame.size());
    if (inside != frame.topLeft())
        w->move(inside);
}

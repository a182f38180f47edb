// The main window at a larger size. The game's pixels stay what they are; the
// window image gets more device pixels for each of them, as on a screen of a
// higher device pixel ratio, and the controls are placed and lettered at the
// scale. The menu bar and the frame keep the desktop's size.
#include "platform/qt_window.h"

#include <QLayout>
#include <QMainWindow>
#include <algorithm>

namespace {

constexpr int MinPercent = 100, MaxPercent = 400;

double scaleOf(int percent)
{
    return std::clamp(percent, MinPercent, MaxPercent) / 100.0;
}

QSize clientSizeAt(double scale)
{
    return scaledRect(QRect(0, 0, ClientWidth, ClientHeight), scale).size();
}

bool isMainWindow(Window* window)
{
    return window && window->kind == WindowKind::Main && !window->destroyed && window->frame &&
           window->client;
}

} // namespace

void setWindowScale(Window* window, int percent)
{
    if (!isMainWindow(window) || scaleOf(percent) == window->scale)
        return;
    window->scale = scaleOf(percent);
    window->client->setFixedSize(clientSizeAt(window->scale));
    for (Window* control : controlsOf(window))
        scaleControl(control);
    scaleFrameOverlay(window);
    followScreenRatio(window);
    window->frame->layout()->activate(); // the frame takes its new size now
    QWidget* w = window->widget;
    if (window->placedAtDefault && !w->isVisible())
        placeAtDefault(window);
    const QRect frame = frameRectOf(w);
    const QPoint inside = insideArea(frame.topLeft(), frame.size(), screenAreaFor(frame));
    if (inside != frame.topLeft())
        w->move(inside);
    invalidateWindow(window);
}

int windowScale(Window* window)
{
    return window && window->kind == WindowKind::Main ? static_cast<int>(window->scale * 100 + 0.5) : 100;
}

bool windowScaleFits(Window* window, int percent)
{
    if (!isMainWindow(window))
        return false;
    const QRect frame = likelyFrameOf(window->widget);
    const QSize wanted = frame.size() - window->client->size() + clientSizeAt(scaleOf(percent));
    const QRect area = screenAreaFor(frame);
    return wanted.width() <= area.width() && wanted.height() <= area.height();
}

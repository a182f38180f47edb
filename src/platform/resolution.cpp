// Device resolution of the window image and the bitmaps. The game works in
// logical pixels; on a screen with a device pixel ratio above 1 every image is
// kept at the screen's own resolution, so lines, stones and text come out
// sharp instead of as an enlarged low-resolution picture.
#include "platform/qt_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

// Rounding the scaled edge makes neighbouring logical pixels tile the device
// pixels without gaps or overlaps, whatever the ratio (1.5 included).
int toDevice(int logical, double ratio)
{
    return static_cast<int>(std::floor(logical * ratio + 0.5));
}

double ratioOf(const QImage& image)
{
    return std::max(1.0, image.devicePixelRatio());
}

QImage deviceImage(int width, int height, double ratio, Qt::GlobalColor fill)
{
    ratio = std::max(1.0, ratio);
    QImage image(std::max(1, toDevice(width, ratio)), std::max(1, toDevice(height, ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    return image;
}

bool logicalPixel(const QImage& image, int x, int y, QRgb* pixel)
{
    if (x < 0 || y < 0)
        return false;
    const double ratio = ratioOf(image);
    const int dx = toDevice(x, ratio), dy = toDevice(y, ratio);
    if (!image.valid(dx, dy))
        return false;
    *pixel = image.pixel(dx, dy);
    return true;
}

namespace {

// Qt hands a widget its position already rounded; only the position in the
// window keeps the fraction. That one is taken when the two agree (an event
// made by hand may carry the widget's own position as the window's).
QPointF exactPosition(const QWidget* widget, const QMouseEvent* event)
{
    const QPointF inWindow = event->scenePosition() - QPointF(widget->mapTo(widget->window(), QPoint(0, 0)));
    const QPointF delta = inWindow - event->position();
    return std::abs(delta.x()) <= 0.5 && std::abs(delta.y()) <= 0.5 ? inWindow : event->position();
}

} // namespace

QPoint logicalPoint(const QWidget* widget, const QMouseEvent* event)
{
    const QPointF exact = exactPosition(widget, event);
    return QPoint(static_cast<int>(std::floor(exact.x())), static_cast<int>(std::floor(exact.y())));
}

// Device pixel d belongs to the game's pixel x when toDevice(x) <= d <
// toDevice(x + 1) at the image's ratio.
QPoint clientPoint(const QWidget* client, const QMouseEvent* event, double scale)
{
    const QPointF exact = exactPosition(client, event);
    const double screen = std::max(1.0, client->devicePixelRatioF());
    const double ratio = screen * scale;
    auto map = [screen, ratio](double v) {
        const double device = std::floor(v * screen + 1e-6);
        return static_cast<int>(std::ceil((device + 0.5) / ratio)) - 1;
    };
    return QPoint(map(exact.x()), map(exact.y()));
}

QRect scaledRect(const QRect& placed, double scale)
{
    const int left = toDevice(placed.left(), scale), top = toDevice(placed.top(), scale);
    return QRect(left, top, toDevice(placed.left() + placed.width(), scale) - left,
                 toDevice(placed.top() + placed.height(), scale) - top);
}

QFont fontForRatio(QFont font, double ratio)
{
    if (ratio > 1.0 && (font.styleStrategy() & QFont::NoAntialias))
        font.setStyleStrategy(
            QFont::StyleStrategy((font.styleStrategy() & ~QFont::NoAntialias) | QFont::PreferAntialias));
    return font;
}

double windowRatio(Window* window)
{
    if (window && window->client)
        return std::max(1.0, window->client->devicePixelRatioF());
    return qApp ? std::max(1.0, qApp->devicePixelRatio()) : 1.0;
}

double imageRatio(Window* window)
{
    return windowRatio(window) * (window ? window->scale : 1.0);
}

void followScreenRatio(Window* window)
{
    if (!window || window->image.isNull())
        return;
    const double ratio = std::max(1.0, imageRatio(window));
    if (ratio == ratioOf(window->image))
        return;
    window->image = deviceImage(ClientWidth, ClientHeight, ratio, Qt::white);
    window->dirty = true;
    reloadResourceBitmaps();
}

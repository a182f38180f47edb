// Repainting the main window. The client area is an image: WM_PAINT draws into
// it, and the client widget only ever copies it to the screen. A dirty image is
// brought up to date (by WM_PAINT) before it is shown.
#include "platform/qt_window.h"

#include <QWidget>

void paintIfDirty(Window* window)
{
    if (!window->dirty || window->painting || window->destroyed)
        return;
    // Cleared first, so an invalidation made while painting asks for another paint.
    window->dirty = false;
    window->painting = true;
    callProcedure(window, WM_PAINT, 0, 0);
    window->painting = false;
}

void noteWindowDrawing(Window* window)
{
    // While painting, the widget copies the image right after WM_PAINT anyway;
    // asking for an update from inside a paint event would loop.
    if (!window->painting && window->client)
        window->client->update();
}

void invalidateWindow(Window* window)
{
    if (!window || window->kind != WindowKind::Main)
        return;
    window->dirty = true;
    if (window->client)
        window->client->update();
}

void updateWindow(Window* window)
{
    if (!window || window->kind != WindowKind::Main || !window->dirty)
        return;
    paintIfDirty(window);
    if (window->client)
        window->client->update();
}

DeviceContext* beginPaint(Window* window)
{
    auto* dc = new DeviceContext;
    dc->window = window;
    return dc;
}

void endPaint(Window*, DeviceContext* dc)
{
    delete dc;
}

DeviceContext* getWindowDC(Window* window)
{
    auto* dc = new DeviceContext;
    dc->window = window;
    return dc;
}

void releaseWindowDC(Window*, DeviceContext* dc)
{
    delete dc;
}

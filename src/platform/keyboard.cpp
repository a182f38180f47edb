// Keyboard play: the keys the main window's procedure sees as WM_KEYDOWN, and
// the frame it shows over the board. The frame is a child widget above the
// client's image, so drawing it never touches the image.
#include "platform/qt_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {

Window* keyWindow = nullptr;

unsigned virtualKey(const QKeyEvent& event)
{
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return 0;
    switch (event.key()) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    default:
        return 0;
    }
}

// The frame and the client area with its controls; not the menu bar, whose
// keyboard navigation keeps its arrows.
bool inMainWindow(const Window* window, QObject* receiver)
{
    auto* widget = qobject_cast<QWidget*>(receiver);
    return widget && window->client &&
           (widget == window->frame || widget == window->client || window->client->isAncestorOf(widget));
}

// Sees a key before the focused control does. A key the control ignores goes
// on to its parents and passes here again; the procedure declines such keys
// without acting, so the second look changes nothing.
class KeyRouter : public QObject {
  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !keyWindow || keyWindow->destroyed ||
            !inMainWindow(keyWindow, receiver))
            return false;
        const unsigned key = virtualKey(*static_cast<QKeyEvent*>(event));
        return key != 0 && callProcedure(keyWindow, WM_KEYDOWN, key, 0) == 0;
    }
};

class FrameOverlay : public QWidget {
  public:
    explicit FrameOverlay(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("frameOverlay"));
        setAttribute(Qt::WA_TransparentForMouseEvents); // clicks and moves reach the board
        setFocusPolicy(Qt::NoFocus);
    }
    QColor colour;
    QRect placed;      // in the game's pixels
    int lineWidth = 2; // two of the game's pixels, in the client's

    void place(double scale)
    {
        lineWidth = scaledRect(QRect(0, 0, 2, 2), scale).width();
        setGeometry(scaledRect(placed, scale));
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int w = width(), h = height(), line = lineWidth;
        painter.fillRect(0, 0, w, line, colour);
        painter.fillRect(0, h - line, w, line, colour);
        painter.fillRect(0, line, line, h - 2 * line, colour);
        painter.fillRect(w - line, line, line, h - 2 * line, colour);
    }
};

FrameOverlay* overlayOf(Window* window, bool make)
{
    if (!window || window->destroyed || !window->client)
        return nullptr;
    // By name: without its own meta-object, a cast would take any child widget.
    auto* overlay = dynamic_cast<FrameOverlay*>(
        window->client->findChild<QWidget*>(QStringLiteral("frameOverlay"), Qt::FindDirectChildrenOnly));
    if (!overlay && make)
        overlay = new FrameOverlay(window->client);
    return overlay;
}

} // namespace

void routeKeys(Window* window)
{
    static KeyRouter* router = nullptr;
    if (!router) {
        router = new KeyRouter;
        router->setParent(qApp); // removed with the application
        qApp->installEventFilter(router);
    }
    keyWindow = window;
}

void showFrameOverlay(Window* window, const Rect& rect, Colour colour, const char* text)
{
    FrameOverlay* overlay = overlayOf(window, true);
    if (!overlay)
        return;
    const QColor wanted = toQColor(colour);
    if (overlay->colour != wanted) {
        overlay->colour = wanted;
        overlay->update();
    }
    overlay->placed = QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    overlay->place(window->scale);
    overlay->setAccessibleName(fromUtf8(text)); // tells accessibility tools when it changes
    overlay->raise();
    overlay->show();
}

void scaleFrameOverlay(Window* window)
{
    if (FrameOverlay* overlay = overlayOf(window, false))
        overlay->place(window->scale);
}

void hideFrameOverlay(Window* window)
{
    if (FrameOverlay* overlay = overlayOf(window, false))
        overlay->hide();
}

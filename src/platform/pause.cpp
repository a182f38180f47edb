// A busy pause: the program waits, but its windows keep painting under a busy
// cursor. Nothing the player does and no window timer acts meanwhile: input
// and close requests are dropped, timer ticks are skipped (timers repeat, so
// the next tick after the pause acts). Sends from other threads are still
// served, as they are in every event loop of the window's thread. The end of
// the session ends the pause early.
#include "platform/qt_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace {

bool paused = false;
QEventLoop* pauseLoop = nullptr;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

class InputDropper : public QObject {
  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore(); // the window stays open
            return true;
        }
        return isUserInput(event->type());
    }
};

} // namespace

bool pauseRunning()
{
    return paused;
}

void endBusyPause()
{
    if (pauseLoop)
        pauseLoop->quit();
}

void busyPause(int milliseconds)
{
    if (paused || !qApp || !onGuiThread() || sessionClosing())
        return;
    paused = true;
    InputDropper dropper;
    qApp->installEventFilter(&dropper);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop loop;
    pauseLoop = &loop;
    QTimer::singleShot(std::max(0, milliseconds), &loop, &QEventLoop::quit);
    loop.exec();
    pauseLoop = nullptr;
    QGuiApplication::restoreOverrideCursor();
    qApp->removeEventFilter(&dropper);
    paused = false;
}

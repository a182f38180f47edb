// The end of the session from outside the game: SIGTERM, SIGINT and SIGHUP,
// the desktop's session manager, the application told to quit or its main
// loop ended. Each becomes the main window's ordinary close, so the game waits
// for its worker and saves its settings as when the player closes the window.
// A signal handler may do almost nothing, so it only writes a byte to a pipe
// that the window's thread watches. The close itself is sent from the main
// message loop alone: closing inside a dialog's or a pause's nested loop would
// free the window under the code that opened them, so those are ended first.
#include "platform/qt_window.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int RetryInterval = 10; // ms between checks while modal loops unwind

int signalPipe[2] = {-1, -1};
bool closing = false;
bool retryPending = false;

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(signalPipe[1], &byte, 1); // a full pipe has one already
    errno = saved;
}

// No modal loop runs: either the main loop is the only one, or no loop runs
// at all (before it starts, or once it has ended).
bool atMainLevel()
{
    const int level = QThread::currentThread()->loopLevel();
    return level == 0 || (level == 1 && mainLoopRunning());
}

// Cancels what holds a nested loop open: dialogs as their close button would,
// and the busy pause. Each closed dialog leaves the modal stack, so this ends
// once none is left or one refuses to close.
void endModalLoops()
{
    endBusyPause();
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
}

void retryClose();

void tryClose()
{
    Window* window = openMainWindow();
    if (!window) { // closed meanwhile, or never open: nothing is pending
        closing = false;
        return;
    }
    if (atMainLevel()) {
        closing = false; // the request is served: what follows is the close's own work
        callProcedure(window, WM_CLOSE, 0, 0);
        return;
    }
    endModalLoops();
    if (!retryPending) {
        retryPending = true;
        QTimer::singleShot(RetryInterval, qApp, retryClose);
    }
}

void retryClose()
{
    retryPending = false;
    tryClose();
}

void drainSignalPipe()
{
    char bytes[64];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    requestSessionClose();
}

// The application told to quit (by the session manager at logout, or by
// QCoreApplication::quit) would close its windows from whatever loop runs:
// the quit becomes the session's close instead.
class QuitToClose : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Quit || watched != qApp || !openMainWindow())
            return false;
        requestSessionClose();
        return true;
    }
};

void catchSignals()
{
    if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, drainSignalPipe);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction old {};
        // One ignored at start stays ignored: nohup and background jobs rely on it.
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

} // namespace

bool sessionClosing()
{
    return closing;
}

void requestSessionClose()
{
    closing = true;
    tryClose();
}

void closeOnSessionEnd()
{
    static bool installed = false;
    if (installed || !qApp)
        return;
    installed = true;
    catchSignals();
    qApp->installEventFilter(new QuitToClose);
    // Sent for a saved session as well as at logout, so it saves but leaves
    // the window open; the logout's end arrives as the application's quit.
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, qApp,
        [](QSessionManager&) {
            if (Window* window = openMainWindow())
                callProcedure(window, WM_QUERYENDSESSION, 0, 0);
        },
        Qt::DirectConnection);
    // The main loop ended without the window's close (a quit from elsewhere):
    // no loop runs any more, so the close runs now.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, requestSessionClose);
}

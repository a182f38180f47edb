// The application object, the window class and the main window: a fixed-size
// frame with the menu bar and a client widget that shows the window image.
#include "platform/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

void buildMenus(Window* window, const MenuDef& def); // menus.cpp

namespace {

struct ClassEntry {
    std::string name;
    WindowProc procedure;
    std::string largeIcon, smallIcon;
    const MenuDef* menu;
};

int argcStorage = 1;
char argv0[] = "reverse";
char* defaultArgv[] = {argv0, nullptr};
std::vector<ClassEntry> classes;
std::vector<std::unique_ptr<Window>> allWindows; // handles stay valid until exit
Window* mainWindow = nullptr;
bool inMessageLoop = false;
bool quitPosted = false;
int quitCode = 0;

class ClientArea : public QWidget {
  public:
    explicit ClientArea(Window* window) : window_(window) { setMouseTracking(true); }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        followScreenRatio(window_);
        paintIfDirty(window_);
        // The image has the device pixels of the client area at any scale:
        // shown at the screen's ratio, they are copied 1:1.
        QImage shown = window_->image;
        shown.setDevicePixelRatio(devicePixelRatioF());
        QPainter painter(this);
        painter.drawImage(0, 0, shown);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint p = clientPoint(this, event, window_->scale);
        // The cursor query comes first, as the game chooses the cursor on it.
        callProcedure(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), 1 | (WM_MOUSEMOVE << 16));
        callProcedure(window_, WM_MOUSEMOVE, 0, makePoint(p.x(), p.y()));
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        unsigned message = WM_LBUTTONDOWN;
        if (event->button() == Qt::RightButton)
            message = WM_RBUTTONDOWN;
        else if (event->button() != Qt::LeftButton)
            return;
        const QPoint p = clientPoint(this, event, window_->scale);
        callProcedure(window_, message, message == WM_LBUTTONDOWN ? 1 : 2, makePoint(p.x(), p.y()));
    }

  private:
    Window* window_;
};

class MainFrame : public QMainWindow {
  public:
    explicit MainFrame(Window* window) : window_(window) {}

  protected:
    // The title bar's close button goes through WM_CLOSE, whose default
    // handling destroys the window; Qt itself never closes the frame.
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        callProcedure(window_, WM_CLOSE, 0, 0);
    }

    // Any position was checked against the screen before the window manager
    // framed the window: once the frame is known, it is checked again.
    void showEvent(QShowEvent* event) override
    {
        QMainWindow::showEvent(event);
        keepFrameOnScreen(window_);
        if (!event->spontaneous()) // not on a return from the task bar
            keepOnScreenWhenFramed(this);
    }
    // Moves of the frame, the player's drags among them, are kept on screen
    // and reach the game.
    void moveEvent(QMoveEvent* event) override
    {
        QMainWindow::moveEvent(event);
        keepFrameOnScreen(window_);
        if (window_->client) {
            const QPoint origin = window_->client->mapToGlobal(QPoint(0, 0));
            callProcedure(window_, WM_MOVE, 0, makePoint(origin.x(), origin.y()));
        }
    }

    // Tab and Shift+Tab do not move the focus between the window's controls:
    // the game's keys are its accelerators, and a focused play button would
    // take Space as a click.
    bool focusNextPrevChild(bool) override { return true; }

  private:
    Window* window_;
};

bool displayAvailable()
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty() || platform.startsWith("xcb"))
        return x11 || wayland;
    if (platform.startsWith("wayland"))
        return wayland;
    return true; // offscreen, vnc, eglfs, ...: Qt decides
}

} // namespace

// On a desktop that offers both X11 and Wayland, Qt may pick Wayland, where a
// window can neither read nor set its position, and the game keeps that
// position in its settings. With DISPLAY set X11 comes first (Wayland stays
// the fallback); a platform the user names is taken as it is.
QByteArray preferredPlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return QByteArray();
    return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArray("xcb") : QByteArray("xcb;wayland");
}

namespace {

const ClassEntry* findClass(const char* name)
{
    for (const ClassEntry& c : classes)
        if (name && c.name == name)
            return &c;
    return nullptr;
}

QIcon classIcon(const ClassEntry& c)
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        QString sized =
            QStringLiteral(":/icons/%1-%2.png").arg(QString::fromStdString(c.largeIcon)).arg(size);
        if (QFile::exists(sized))
            icon.addFile(sized);
    }
    QString large = QStringLiteral(":/icons/%1.png").arg(QString::fromStdString(c.largeIcon));
    if (icon.isNull() && QFile::exists(large))
        icon.addFile(large);
    for (QString small : {QStringLiteral(":/icons/%1-16.png"), QStringLiteral(":/icons/%1.png")}) {
        small = small.arg(QString::fromStdString(c.smallIcon));
        if (!c.smallIcon.empty() && QFile::exists(small)) {
            icon.addFile(small, QSize(16, 16));
            break;
        }
    }
    return icon;
}

QMainWindow* buildFrame(Window* window, const ClassEntry& c, const char* title)
{
    auto* frame = new MainFrame(window);
    frame->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    frame->setWindowTitle(fromUtf8(title));
    frame->setWindowIcon(classIcon(c));
    auto* client = new ClientArea(window);
    client->setFixedSize(ClientWidth, ClientHeight);
    frame->setCentralWidget(client);
    window->frame = frame;
    window->client = client;
    window->widget = frame;
    if (c.menu)
        buildMenus(window, *c.menu);
    frame->layout()->setSizeConstraint(QLayout::SetFixedSize);
    frame->adjustSize();
    placeAtDefault(window);
    return frame;
}

} // namespace

bool onGuiThread()
{
    return qApp && QThread::currentThread() == qApp->thread();
}

QColor toQColor(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Colour fromQRgb(unsigned pixel)
{
    return rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

int copyUtf8(const QByteArray& text, char* buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0)
        return 0;
    int n = std::min<int>(text.size(), bufferSize - 1);
    // Step back over continuation bytes so no character is cut in half.
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(buffer, text.constData(), n);
    buffer[n] = '\0';
    return n;
}

std::vector<Window*> controlsOf(Window* window)
{
    std::vector<Window*> controls;
    for (const auto& w : allWindows)
        if (w->parent == window && w->kind == WindowKind::Control && !w->destroyed)
            controls.push_back(w.get());
    return controls;
}

Window* newWindow(WindowKind kind)
{
    allWindows.push_back(std::make_unique<Window>());
    allWindows.back()->kind = kind;
    return allWindows.back().get();
}

LRESULT callProcedure(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!window || window->destroyed || !window->procedure)
        return 0;
    // WM_DESTROY may wait (the game waits for its worker there): a close that
    // arrives meanwhile must not start the teardown a second time.
    if (window->destroying && (message == WM_CLOSE || message == WM_DESTROY))
        return 0;
    return window->procedure(window, message, wParam, lParam);
}

bool initPlatform(int argc, char** argv)
{
    if (!qApp) {
        if (!displayAvailable())
            return false;
        QByteArray platform = preferredPlatform();
        if (!platform.isEmpty())
            qputenv("QT_QPA_PLATFORM", platform);
        argcStorage = argv && argc > 0 ? argc : 1;
        // Read by the X11 plugin when the first window is made: WM_CLASS becomes
        // "reverse", "net.tavix.Reversi", the StartupWMClass of the desktop
        // entry, so docks put the window under its launcher.
        QCoreApplication::setApplicationName(QStringLiteral("net.tavix.Reversi"));
        new QApplication(argcStorage, argv && argc > 0 ? argv : defaultArgv);
        QGuiApplication::setDesktopFileName(QStringLiteral("net.tavix.Reversi"));
    }
    Q_INIT_RESOURCE(resources);
    installQtTranslation();
    QApplication::setQuitOnLastWindowClosed(false); // the game quits by postQuitMessage
    installSendWakeUp();
    return true;
}

bool registerWindowClass(const WindowClass& windowClass)
{
    if (!windowClass.name || !windowClass.procedure || findClass(windowClass.name))
        return false;
    classes.push_back({windowClass.name, windowClass.procedure,
                       windowClass.largeIcon ? windowClass.largeIcon : "",
                       windowClass.smallIcon ? windowClass.smallIcon : "", windowClass.menu});
    return true;
}

Window* createMainWindow(const char* className, const char* title, int width, int height)
{
    (void)width; // see ClientWidth: the client size is fixed
    (void)height;
    const ClassEntry* c = findClass(className);
    if (!c || !qApp)
        return nullptr;
    Window* window = newWindow(WindowKind::Main);
    window->procedure = c->procedure;
    buildFrame(window, *c, title);
    // The class background, at the resolution of the screen the window opens on.
    window->image = deviceImage(ClientWidth, ClientHeight, imageRatio(window), Qt::white);
    mainWindow = window;
    routeKeys(window);
    if (callProcedure(window, WM_CREATE, 0, 0) == -1) {
        destroyWindow(window);
        return nullptr;
    }
    return window;
}

void showWindow(Window* window)
{
    if (window && window->widget)
        window->widget->show();
}

int runMessageLoop(Window* window, const AcceleratorTable& accelerators)
{
    installAccelerators(window, accelerators);
    if (!quitPosted) {
        inMessageLoop = true;
        int code = QApplication::exec();
        inMessageLoop = false;
        if (!quitPosted)
            quitCode = code;
    }
    quitPosted = false;
    return quitCode;
}

// Outside runMessageLoop the quit is only recorded, so that the next loop ends
// at once, as a queued quit message would end it. So it is once the main loop
// has ended (a close at the application's end): an exit then would end the
// next loop the thread runs, whoever runs it.
void postQuitMessage(int code)
{
    quitPosted = true;
    quitCode = code;
    if (inMessageLoop && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(code);
}

void destroyWindow(Window* window)
{
    if (!window || window->destroyed || window->destroying)
        return;
    // Set before WM_DESTROY, whose handler may run other messages (sends
    // from the worker) before it returns.
    window->destroying = true;
    if ((window->kind == WindowKind::Main || window->kind == WindowKind::Analysis) && window->procedure)
        window->procedure(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
    stopAllTimers(window);
    for (auto& w : allWindows)
        if (w->parent == window)
            w->destroyed = true;
    if (window->widget) {
        window->widget->hide();
        // Later: this may run inside one of the widget's own event handlers.
        window->widget->deleteLater();
    }
}

LRESULT defaultWindowProc(Window* window, unsigned message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        destroyWindow(window);
    return message == WM_KEYDOWN ? 1 : 0; // a key not taken goes on to the focused control
}

void setCursor(CursorShape shape)
{
    if (mainWindow && mainWindow->client)
        mainWindow->client->setCursor(shape == CursorShape::No ? Qt::ForbiddenCursor : Qt::ArrowCursor);
}

Window* openMainWindow()
{
    return mainWindow && !mainWindow->destroyed && !quitPosted ? mainWindow : nullptr;
}

bool mainLoopRunning()
{
    return inMessageLoop;
}

double currentRatio()
{
    if (mainWindow && !mainWindow->destroyed && !mainWindow->image.isNull())
        return ratioOf(mainWindow->image);
    return windowRatio(nullptr);
}

Colour windowPixel(Window* window, int x, int y)
{
    QRgb pixel;
    if (!window || !logicalPixel(window->image, x, y, &pixel))
        return 0xFFFFFFFF;
    return fromQRgb(pixel);
}

// The image as the screen shows it, at device resolution.
bool saveWindowImage(Window* window, const char* path)
{
    return window && path && window->image.save(QString::fromLocal8Bit(path));
}

void installAccelerators(Window* window, const AcceleratorTable& accelerators)
{
    if (!window || !window->frame)
        return;
    for (QShortcut* old : window->frame->findChildren<QShortcut*>())
        delete old;
    for (int i = 0; i < accelerators.count; ++i) {
        AcceleratorDef a = accelerators.entries[i];
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(a.key)), window->frame);
        shortcut->setContext(Qt::WindowShortcut); // not while a modal dialog is up
        QObject::connect(shortcut, &QShortcut::activated, window->frame,
                         [window, a] { invokeMenuCommand(window, a.command); });
    }
}

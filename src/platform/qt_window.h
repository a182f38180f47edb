// Private to the window-system layer: what the opaque handles of platform.h
// hold on Qt, and the helpers the layer's files share.
#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include <QDialog>
#include <QMainWindow>

class QMenu;
class QMouseEvent;
class QAction;

enum class WindowKind { Main, Control, Dialog, MessageBox, Analysis };

struct WindowTimer {
    QPointer<QTimer> timer; // made on first use in automatic mode, reused after a kill
    int interval = 0;
    bool pending = false;
};

struct MenuItem {
    int id; // 0 for a separator
    QAction* action;
};

struct Menu {
    Window* owner;
    QMenu* menu;
    std::vector<MenuItem> items;
};

struct Window {
    WindowKind kind;
    bool destroying = false; // from WM_DESTROY on: no second close or destroy acts
    bool destroyed = false;
    int id = 0;               // control identifier
    Window* parent = nullptr; // a control's main window, a dialog's owner
    QPointer<QWidget> widget; // the top-level widget or the control; null once deleted
    WindowProc procedure = nullptr;

    // Main window.
    QPointer<QMainWindow> frame;
    QPointer<QWidget> client; // shows `image`
    QImage image;             // everything drawn into the client area, at device resolution
    bool dirty = true;        // WM_PAINT needed before the image is shown
    bool painting = false;    // inside WM_PAINT
    std::vector<std::unique_ptr<Menu>> menus;
    std::map<uintptr_t, WindowTimer> timers;
    bool placementPending = false; // moved before the window manager framed it

    // Dialogs and message boxes.
    QPointer<QDialog> dialog;
    DialogProc dialogProc = nullptr;
    std::map<int, QWidget*> items; // dialog controls by identifier
    bool ended = false;
    int endCode = IDCANCEL;
};

// The image holds device pixels (its devicePixelRatio says how many per
// logical pixel); width and height are what the game sees, in logical pixels.
struct Bitmap {
    QImage image;
    int width = 0, height = 0;
};

struct Brush {
    Colour colour;
    bool stock;
};

struct Pen {
    Colour colour;
};

struct Font {
    QFont font;
    int cellHeight; // the height opaque text paints
    int ascent;
};

struct Icon {
    QIcon icon;
};

// A null brush, pen or font stands for the context's default: the white stock
// brush, the black stock pen, the default font.
struct DeviceContext {
    Window* window = nullptr; // set for the window's own contexts
    Bitmap* bitmap = nullptr; // selected bitmap of a memory context, nullptr for the default one
    Brush* brush = nullptr;
    Pen* pen = nullptr;
    Font* font = nullptr;
    Colour textColour = rgb(0, 0, 0);
    BackgroundMode background = BackgroundMode::Opaque;
    QPoint position;
    double ratio = 1.0; // device pixels per logical pixel of the bitmaps made for a memory context
};

// Shared helpers.
bool onGuiThread();
QColor toQColor(Colour colour);
Colour fromQRgb(unsigned pixel);
QString fromUtf8(const char* text);
// Copies UTF-8 text the way the string calls promise: at most size - 1 bytes,
// cut on a character boundary, always terminated.
int copyUtf8(const QByteArray& text, char* buffer, int bufferSize);
Window* newWindow(WindowKind kind); // owned by the layer until exit

// The text a control shows, as the window-text calls see it ("\r\n" line breaks).
QString widgetText(QWidget* widget);
void setWidgetText(QWidget* widget, const QString& text);

// Device resolution. Everything the game draws is in logical pixels; the images
// behind the window and the bitmaps hold ratio x ratio device pixels for each.
int toDevice(int logical, double ratio); // the first device pixel of a logical one
double ratioOf(const QImage& image);
// An RGB32 image of width x height logical pixels at the given ratio.
QImage deviceImage(int width, int height, double ratio, Qt::GlobalColor fill);
// The device pixel at the top-left of logical pixel (x, y); false outside.
bool logicalPixel(const QImage& image, int x, int y, QRgb* pixel);
// The logical pixel of widget that a mouse event's device pixel falls in. At
// a ratio above 1 a device pixel lies at a fraction of a logical one (79.5 at
// ratio 2); rounded, the last device pixel of a cell would go to its neighbour.
QPoint logicalPoint(const QWidget* widget, const QMouseEvent* event);
// The game's text is drawn without smoothing. At ratios above 1 the glyphs of
// the scaled font come out unhinted, and then unsmoothed stems vary in weight
// from glyph to glyph: there the text is smoothed like menus and dialogs.
QFont fontForRatio(QFont font, double ratio);
// The ratio of the screen the window is on (the application's before it has one).
double windowRatio(Window* window);
// The ratio new bitmaps get: the main window's, else the application's.
double currentRatio();
// Rebuilds the window image at the client's current ratio when that changed
// (the window moved to another screen); the new image needs a full repaint.
void followScreenRatio(Window* window);

// What QT_QPA_PLATFORM is set to before the application starts (empty: left as it is).
QByteArray preferredPlatform();

// The list box control inside parent, notifying control's parent (controls.cpp).
QWidget* makeListBox(Window* control, QWidget* parent);

// Hands a modal window to the modal hook once its loop runs (dialogs.cpp).
void callHookWhenShown(Window* window, QDialog* dialog);
// Loads Qt's own Japanese texts, for the dialogs Qt draws (files.cpp).
void installQtTranslation();

// True inside busyPause: timer ticks are skipped.
bool pauseRunning();
// Ends a running busy pause now.
void endBusyPause();
// The session is closing the main window: dialogs, message boxes and busy
// pauses return at once instead of running.
bool sessionClosing();
// Closes the main window through WM_CLOSE once no modal loop runs, cancelling
// the open dialogs and the busy pause meanwhile.
void requestSessionClose();
// The main window while it is open and no quit is posted; else nullptr.
Window* openMainWindow();
// True while runMessageLoop runs the main loop.
bool mainLoopRunning();

// Main window internals used across files.
void paintIfDirty(Window* window);
// Brings the frame of a window moved before it was framed fully onto the
// screen, once the window manager has framed it.
void keepFrameOnScreen(Window* window);
void noteWindowDrawing(Window* window); // a window DC drew outside painting
void installAccelerators(Window* window, const AcceleratorTable& accelerators);
// The main window's procedure gets its keys as WM_KEYDOWN from now on (keyboard.cpp).
void routeKeys(Window* window);
LRESULT callProcedure(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);
void stopAllTimers(Window* window);
// Watches for sends from other threads; run once on the window's thread.
void installSendWakeUp();
// An event was signalled: serveSentMessagesUntil checks its done() again.
void wakeSentMessageWaiters();
// At exit: every thread blocked in sendMessage gets 0, later sends return 0 at once.
void releaseBlockedSenders();

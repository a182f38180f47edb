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

// The main window's client area in the game's pixels, below the menu bar. The
// layout of the game reaches x = 520 and y = 305. Every outer size the game
// asks for (540 x 375 at start, 540 x 355 when a stored position is restored)
// maps to this one client size, so the layout never loses its bottom rows
// whatever the frame's decorations measure.
constexpr int ClientWidth = 534;
constexpr int ClientHeight = 318;

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
    bool placedAtDefault = false;  // where the system would put it: not moved by the game
    double scale = 1.0;            // the window's size: screen pixels per pixel of the game's

    // Controls: the rectangle and font the game gave them, in its own pixels;
    // shown scaled with the window.
    QRect placed;
    QFont placedFont;
    bool hasFont = false;
    int linesEndAt = -1; // list boxes: lines show only above this client y

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
// The ratio of the main window's image: its screen's, times the window's scale.
double imageRatio(Window* window);
// The game's pixel under a mouse event on the main window's client area: the
// device pixel it falls in, mapped back through the image's ratio.
QPoint clientPoint(const QWidget* client, const QMouseEvent* event, double scale);
// A rectangle of the game's pixels in the client's (Qt's logical) pixels at a
// scale, its edges rounded as the image's device pixels are.
QRect scaledRect(const QRect& placed, double scale);
// The ratio new bitmaps get: the main window's, else the application's.
double currentRatio();
// Rebuilds the window image at the image ratio when that changed (the window
// moved to another screen, or its scale changed), and the program's pictures
// with it; the new image needs a full repaint.
void followScreenRatio(Window* window);
// The program's pictures (loadBitmap) are kept at the main window's image
// ratio: drawn again when it changes, and forgotten when deleted.
void reloadResourceBitmaps();
void forgetResourceBitmap(Bitmap* bitmap);

// What QT_QPA_PLATFORM is set to before the application starts (empty: left as it is).
QByteArray preferredPlatform();

// The list box control inside parent, notifying control's parent (controls.cpp).
QWidget* makeListBox(Window* control, QWidget* parent);
// Places a control of the main window as the game placed it, scaled with the
// window: rectangle, font, icon and where its lines end (controls.cpp).
void scaleControl(Window* control);
// The keyboard's frame follows the window's scale (keyboard.cpp).
void scaleFrameOverlay(Window* window);
// The controls of a window, in the order they were made (app.cpp).
std::vector<Window*> controlsOf(Window* window);

// Hands a modal window to the modal hook once its loop runs (dialogs.cpp).
void callHookWhenShown(Window* window, QDialog* dialog);
// Centres a dialog over its owner as it is shown, and keeps it on the screen (dialogs.cpp).
void placeOnShow(QDialog* dialog, Window* owner);
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

// The main window's place before the game moves it: the middle of the screen.
void placeAtDefault(Window* window);

// Placement of every top-level window of ours (placement.cpp). Until the
// window manager has framed a window, its frame is estimated from the last
// frame seen on one of ours.
// The frame around a top-level widget, title bar and borders included.
QRect frameRectOf(QWidget* top);
// The same, with room for a title bar while no frame of ours has been seen.
QRect likelyFrameOf(QWidget* top);
// The available area of the screen that holds most of rect, else the nearest.
QRect screenAreaFor(const QRect& rect);
// The top-left that keeps a frame of that size wholly inside area where it
// fits, and its top-left corner inside it where it does not.
QPoint insideArea(QPoint topLeft, QSize frame, const QRect& area);
// Centres a dialog or message box over its owner's frame (over the screen
// without one), inside the screen, before it is shown.
void placeOverOwner(QWidget* top, Window* owner);
// Once the window manager has framed the shown window, its frame is brought
// wholly onto its screen if it is not.
void keepOnScreenWhenFramed(QWidget* top);
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

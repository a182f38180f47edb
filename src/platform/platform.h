// The window-system layer the game is written against: one main window whose
// messages go to a window procedure, window timers, a device context backed by
// the window's image, child controls, menus, modal dialogs, the message box,
// and a worker thread with a synchronous hand-over. Implemented on Qt 6; no Qt
// type appears here.
#pragma once

#include <cstdint>
#include <string>

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct Window;        // the main window, a child control or a dialog
struct DeviceContext; // a drawing target: the window's image or a memory bitmap
struct Bitmap;
struct Brush;
struct Pen;
struct Font;
struct Icon;
struct Menu;
struct Thread;
struct Event;

// ---- Messages ---------------------------------------------------------------
enum : unsigned {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003, // the main window moved; lParam: its client origin on the screen
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUERYENDSESSION = 0x0011, // the desktop asks for everything to be saved
    WM_SETCURSOR = 0x0020,
    WM_KEYDOWN = 0x0100,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    WM_INITMENUPOPUP = 0x0117,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_RBUTTONDOWN = 0x0204,
    WM_DROPFILES = 0x0233,
    WM_USER = 0x0400,
};

// Virtual-key codes, the wParam of WM_KEYDOWN. The main window's procedure gets
// these keys, pressed without Ctrl, Alt, Shift or Meta in the main window,
// before the control that has the focus (lParam is 0): it returns 0 when it took
// the key, or leaves it to defaultWindowProc, which returns 1 and lets the
// control have it.
enum : unsigned {
    VK_BACK = 0x08,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
};

// Notification codes in the high 16 bits of a WM_COMMAND wParam.
enum : unsigned { BN_CLICKED = 0, LBN_SELCHANGE = 1 };

constexpr unsigned loWord(uintptr_t v)
{
    return static_cast<unsigned>(v & 0xFFFF);
}
constexpr unsigned hiWord(uintptr_t v)
{
    return static_cast<unsigned>((v >> 16) & 0xFFFF);
}
constexpr LPARAM makePoint(int x, int y)
{
    return static_cast<LPARAM>((x & 0xFFFF) | ((y & 0xFFFF) << 16));
}

using WindowProc = LRESULT (*)(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);
// Returns nonzero when it handled the message.
using DialogProc = intptr_t (*)(Window* dialog, unsigned message, WPARAM wParam, LPARAM lParam);

struct Rect {
    int left, top, right, bottom;
};

// ---- Resources --------------------------------------------------------------
struct MenuItemDef {
    int id; // 0 for a separator
    const char* text;
};
struct PopupDef {
    const char* title;
    const MenuItemDef* items;
    int itemCount;
};
struct MenuDef {
    const PopupDef* popups;
    int popupCount;
};
// Ctrl + key, key an upper-case letter.
struct AcceleratorDef {
    char key;
    int command;
};
struct AcceleratorTable {
    const AcceleratorDef* entries;
    int count;
};

enum class DialogControl {
    GroupBox,
    RadioButton,
    DropDownList,
    PushButton,
    DefaultPushButton,
    StaticText,
    Edit
};
struct DialogItemDef {
    DialogControl kind;
    int id; // -1 for none
    const char* text;
    int x, y, width, height; // dialog units
};
struct DialogDef {
    const char* caption;
    int x, y, width, height; // dialog units, relative to the owner's client area
    const char* fontFace;
    int pointSize;
    const DialogItemDef* items;
    int itemCount;
};

// String resources (UTF-8). Copies at most bufferSize - 1 bytes, cutting on a
// character boundary, always terminated; returns the number of bytes copied.
int loadString(int id, char* buffer, int bufferSize);
Bitmap* loadBitmap(int id);                 // stone pictures 100..106, masks 200..206
Icon* loadIcon(const char* name, int size); // "MAINICN", "SUBICN", "PLAYBIT", "STOPBIT"
void destroyIcon(Icon* icon);

// ---- The application and the main window ---------------------------------------
struct WindowClass {
    const char* name;
    WindowProc procedure;
    const char* largeIcon;
    const char* smallIcon;
    const MenuDef* menu;
};

// Must run first; sets up the toolkit. Returns false when no display can be opened.
bool initPlatform(int argc, char** argv);
bool registerWindowClass(const WindowClass& windowClass);
// Creates the fixed-size main window (outer width x height, at the system's
// default position), sends WM_CREATE synchronously and returns it hidden.
Window* createMainWindow(const char* className, const char* title, int width, int height);
void showWindow(Window* window);
// Runs until postQuitMessage; accelerators act on the main window. Returns the quit code.
int runMessageLoop(Window* window, const AcceleratorTable& accelerators);
void postQuitMessage(int code);
// Sends WM_DESTROY, then removes the window.
void destroyWindow(Window* window);
// From here on, a request to end the program from outside closes the main
// window as its title bar's close button does: SIGTERM, SIGINT and SIGHUP
// (those not ignored at start, as nohup does), and the application being told
// to quit. The close is sent from the main message loop: open dialogs and
// message boxes are cancelled first (later ones return IDCANCEL unshown) and a
// busy pause ends early. The desktop's request to save its session (at logout,
// and for a saved session too) sends WM_QUERYENDSESSION.
void closeOnSessionEnd();
LRESULT defaultWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);

// Outer rectangle in screen coordinates.
Rect windowRect(Window* window);
// Moves the main window (outer top-left) and sets its outer size; a position
// that would leave the window off every screen is brought back onto the nearest one.
void moveWindow(Window* window, int x, int y, int width, int height);

// The main window shown larger: the game keeps drawing and placing in its own
// pixels, and the window image, the controls and the mouse follow the scale,
// as on a screen with percent / 100 times as many pixels. The frame's top-left
// stays where it fits; the frame is kept on its screen.
void setWindowScale(Window* window, int percent);
int windowScale(Window* window); // in percent
// Whether the window at that scale fits on its screen, frame included.
bool windowScaleFits(Window* window, int percent);

// Synchronous: runs the window procedure and returns its result. From another
// thread it blocks until the window's thread has handled the message.
LRESULT sendMessage(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);
// On the window's thread: handles only messages sent from other threads to
// window, until done() is true.
void serveSentMessagesUntil(Window* window, bool (*done)());

// ---- Timers and repainting ----------------------------------------------------
void setTimer(Window* window, uintptr_t id, int milliseconds); // restarts a running one
void killTimer(Window* window, uintptr_t id);
void invalidateWindow(Window* window); // whole client area, no erase
void updateWindow(Window* window);     // paints now if invalid

// ---- Painting and drawing -------------------------------------------------------
enum class RasterOp { Copy, Or, And };
enum class BackgroundMode { Transparent, Opaque };
enum class StockBrush { White, Black };
using Colour = uint32_t; // 0x00BBGGRR
constexpr Colour rgb(int r, int g, int b)
{
    return static_cast<Colour>(r | (g << 8) | (b << 16));
}

struct FontDesc {
    int height; // cell height in pixels
    int width, escapement, orientation, weight;
    bool italic, underline, strikeOut;
    int charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
    const char* faceName; // nullptr or "" for the system's Japanese UI face
};
enum : int { PROOF_QUALITY = 2, SHIFTJIS_CHARSET = 128, FW_NORMAL = 400, FW_BOLD = 700 };

DeviceContext* beginPaint(Window* window); // during WM_PAINT
void endPaint(Window* window, DeviceContext* dc);
// The window's own device context: draws into the window image at any time,
// also outside painting; what it draws stays until the next repaint.
DeviceContext* getWindowDC(Window* window);
void releaseWindowDC(Window* window, DeviceContext* dc);

DeviceContext* createCompatibleDC(DeviceContext* dc);
void deleteDC(DeviceContext* dc);
Bitmap* createCompatibleBitmap(DeviceContext* dc, int width, int height);
void deleteBitmap(Bitmap* bitmap);
void bitmapSize(Bitmap* bitmap, int* width, int* height);

Brush* createSolidBrush(Colour colour);
Brush* stockBrush(StockBrush which); // never deleted
void deleteBrush(Brush* brush);
Pen* blackPen(); // the stock pen
Font* createFont(const FontDesc& desc);
void deleteFont(Font* font);

// Each select returns what was selected before.
Bitmap* selectBitmap(DeviceContext* dc, Bitmap* bitmap); // memory contexts only
Brush* selectBrush(DeviceContext* dc, Brush* brush);
Pen* selectPen(DeviceContext* dc, Pen* pen);
Font* selectFont(DeviceContext* dc, Font* font);
void setTextColour(DeviceContext* dc, Colour colour);
void setBackgroundMode(DeviceContext* dc, BackgroundMode mode);

// Right and bottom edges exclusive.
void fillRect(DeviceContext* dc, const Rect& rect, Brush* brush);
// UTF-8 text, top-left of its cell at (x, y); opaque mode paints the cell white first.
void textOut(DeviceContext* dc, int x, int y, const char* text);
// The width textOut gives the text with the selected font, in logical pixels.
int textWidth(DeviceContext* dc, const char* text);
void ellipse(DeviceContext* dc, int left, int top, int right, int bottom); // pen outline, brush fill
void moveTo(DeviceContext* dc, int x, int y);
void lineTo(DeviceContext* dc, int x, int y); // the end point is not drawn
void bitBlt(DeviceContext* dst, int x, int y, int width, int height, DeviceContext* src, int sx, int sy,
            RasterOp op);
Colour getPixel(DeviceContext* dc, int x, int y);

// Waits the given time while the windows keep painting under a busy cursor.
// Meanwhile no timer ticks, and the player's input and close requests are
// dropped; sends from other threads are served.
void busyPause(int milliseconds);

// ---- Cursors ------------------------------------------------------------------
enum class CursorShape { Arrow, No };
void setCursor(CursorShape shape);

// ---- The keyboard's frame ----------------------------------------------------------
// A frame over the main window's client area, drawn above the window image and
// apart from it: the image, and every pixel read from it, stays as the game drew
// it. Two pixels wide just inside rect; accessibility tools read text as its name.
void showFrameOverlay(Window* window, const Rect& rect, Colour colour, const char* text);
void hideFrameOverlay(Window* window);

// ---- Child controls -------------------------------------------------------------
enum class ControlKind { ListBox, IconButton, ReadOnlyEdit };
// Client position and size of the parent; its notifications reach the parent's
// procedure as WM_COMMAND with the id in the low 16 bits.
Window* createControl(Window* parent, ControlKind kind, int id, int x, int y, int width, int height);
void setControlFont(Window* control, Font* font);
// The keys the main window's procedure leaves go to this control, also when
// it is given the focus before the window is shown.
void setFocus(Window* control);
void setButtonIcon(Window* control, Icon* icon);
void enableWindow(Window* control, bool enabled);
bool isWindowEnabled(Window* control);
void setWindowText(Window* control, const char* text); // UTF-8
int getWindowText(Window* control, char* buffer, int bufferSize);

// Lines show only above client y: another control lies over the list's
// bottom. The frame and the scroll bar keep their size.
void listBoxEndLinesAt(Window* list, int y);
int listBoxAddString(Window* list, const char* text); // returns the new index
void listBoxReset(Window* list);
void listBoxSetSelection(Window* list, int index); // -1 clears; scrolls to it; sends no notification
int listBoxSelection(Window* list);                // -1 when none
int listBoxCount(Window* list);
int listBoxText(Window* list, int index, char* buffer, int bufferSize);

// ---- The analysis window -----------------------------------------------------------
// A window of its own, owned by the main window and not modal: a graph of a
// game's values by turn, a list, a status text, a progress bar and a cancel
// button. Its procedure gets WM_COMMAND for a click on the button
// (AnalysisCancelId), on a point of the graph (AnalysisGraphId, the point's
// turn in lParam) and on a line of the list (AnalysisListId with
// LBN_SELCHANGE, as the list box sends it), WM_TIMER for its timers, WM_CLOSE
// for its close button (defaultWindowProc destroys it) and WM_DESTROY when it
// goes. Closing the main window removes it without WM_DESTROY.
enum : int { AnalysisCancelId = 1, AnalysisGraphId = 2, AnalysisListId = 3 };
struct GraphPoint {
    int turn;    // the turns played before it
    int value;   // the final disc difference for Black
    bool marked; // drawn apart, as after a move that lost discs
    bool exact;  // exact, drawn solid; else an estimate, drawn hollow on a dashed line
};
Window* createAnalysisWindow(Window* owner, const char* title, WindowProc procedure);
// The list, for the list box calls; the same for the window's life.
Window* analysisList(Window* window);
void setAnalysisText(Window* window, const char* text);
// The bar at done of total, with the cancel button; total 0 hides both.
void setAnalysisProgress(Window* window, int done, int total);
// Points in turn order over turns 0..lastTurn; the turns before the last run
// of exact points are shaded, and the legend is written above the plot.
void setAnalysisGraph(Window* window, int lastTurn, const GraphPoint* points, int count, const char* legend);
// The turn whose point is marked as chosen, with a line across the plot; -1 for none.
void setAnalysisSelection(Window* window, int turn);

// ---- Menus ------------------------------------------------------------------------
// WM_INITMENUPOPUP carries the popup (Menu*) in wParam before it opens, and
// before an accelerator of one of its items acts; a disabled item's
// accelerator does nothing.
int menuItemCount(Menu* popup);
int menuItemId(Menu* popup, int position); // 0 for a separator
void setMenuItemState(Menu* popup, int position, bool enabled, bool checked);
// Makes the items firstId to lastId a choice of one, marked with a dot, and
// checks checkId (none when it is outside the range).
void checkMenuRadioItem(Menu* popup, int firstId, int lastId, int checkId);
bool menuItemEnabled(Window* window, int id);
bool menuItemChecked(Window* window, int id);
// Runs the command as the menu or its accelerator would: the popup's state is
// brought up to date first, and nothing happens when the item is disabled.
void invokeMenuCommand(Window* window, int id);

// ---- Dialogs and the message box -----------------------------------------------------
// Modal: the window keeps receiving timers and sent messages meanwhile.
// Returns the code given to endDialog (2 when the dialog is closed otherwise).
int runDialog(Window* owner, const DialogDef& def, DialogProc procedure);
void endDialog(Window* dialog, int code);
void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId);
bool isButtonChecked(Window* dialog, int id);
void comboAddString(Window* dialog, int id, const char* text);
void comboSetSelection(Window* dialog, int id, int index); // out of range selects nothing
int comboSelection(Window* dialog, int id);                // -1 when none
void enableDialogItem(Window* dialog, int id, bool enabled);
bool isDialogItemEnabled(Window* dialog, int id);
void setDialogItemText(Window* dialog, int id, const char* text);
int getDialogItemText(Window* dialog, int id, char* buffer, int bufferSize);

enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
// OK and Cancel with the question icon; returns IDOK or IDCANCEL.
int messageBoxOkCancel(Window* owner, const char* text, const char* caption);
// はい and いいえ with the question icon; returns IDYES or IDNO, or IDCANCEL
// when the box was closed without an answer (Escape, its close button, the
// session ending), so the caller can tell that from いいえ.
int messageBoxYesNo(Window* owner, const char* text, const char* caption);
// OK only, with the warning icon.
void messageBoxWarning(Window* owner, const char* text, const char* caption);

// ---- Files, dropped files and the clipboard ----------------------------------------------
// A file type the file dialogs offer: its name and patterns, such as "*.ggf *.txt".
struct FileFilter {
    const char* name;
    const char* patterns;
};
// The toolkit's own file dialogs, in Japanese and the same on every desktop.
// Modal like runDialog and shown to the modal hook, which drives them through
// FileNameItem, FileTypeItem and the buttons IDOK and IDCANCEL. Each returns
// false when cancelled, else the chosen file's path (UTF-8) in path.
enum : int { FileTypeItem = 1136, FileNameItem = 1152 };
bool openFileDialog(Window* owner, const char* caption, const std::string& folder, const FileFilter* filters,
                    int filterCount, std::string& path);
// Proposes name in folder; the name's suffix follows the type chosen, whose
// index goes to filter.
bool saveFileDialog(Window* owner, const char* caption, const std::string& folder, const std::string& name,
                    const FileFilter* filters, int filterCount, std::string& path, int& filter);
// The user's documents folder, or the home folder when there is none.
std::string documentsFolder();
// Text only; "" when the clipboard holds no text.
std::string clipboardText();
void setClipboardText(const std::string& text);
// Once accepted, each local file dropped on the main window reaches its
// procedure as WM_DROPFILES, after the drop has ended, with the path (UTF-8
// const char*, valid during the call) in wParam.
void dragAcceptFiles(Window* window, bool accept);

// ---- Threads and events -------------------------------------------------------------
using ThreadProc = unsigned (*)(void* argument);
// Runs at once; nullptr when the system refuses a new thread.
Thread* startThread(ThreadProc procedure, void* argument);
void raiseThreadPriority(Thread* thread); // one step above normal
// Releases the handle; the thread runs on to its end.
void closeThreadHandle(Thread* thread);

// Waits until the thread has ended, then releases its handle. Only for a
// thread that ends without the caller's thread: its sends to it handled.
void joinThread(Thread* thread);

Event* createAutoResetEvent(); // not signalled
void setEvent(Event* event);
void waitForEvent(Event* event); // consumes the signal
// Safe while a thread may still signal it: the object goes when no one can.
void closeEvent(Event* event);

// ---- Test support ----------------------------------------------------------------------
// Manual timers: setTimer only records the timer; a test delivers ticks with fireTimer.
void setManualTimers(bool manual);
bool timerPending(Window* window, uintptr_t id);
int timerInterval(Window* window, uintptr_t id);
void fireTimer(Window* window, uintptr_t id); // delivers WM_TIMER if the timer is pending
// Called with each modal dialog or message box once it is up; the hook may
// drive it (click, type, end it). Pass nullptr to remove.
using ModalHook = void (*)(Window* dialog);
void setModalHook(ModalHook hook);
void clickDialogButton(Window* dialog, int id); // a real click on a dialog control
void answerMessageBox(Window* box, int code);
// The next startThread fails as if the system had refused the thread.
void failNextThreadStart();
// A real click on the graph's point of that turn, or on the cancel button.
void clickAnalysisPoint(Window* window, int turn);
void clickAnalysisCancel(Window* window);
// The graph's pixel dx, dy from the centre of the point of that turn, as
// drawn; 0xFFFFFFFF when the turn has no point.
Colour analysisGraphPixel(Window* window, int turn, int dx, int dy);
// Called with every text that textOut draws, on any context, so a test can
// read what the window shows. Pass nullptr to remove.
using TextHook = void (*)(int x, int y, const char* text);
void setTextHook(TextHook hook);
// The main window's client image, as 0x00BBGGRR pixels.
Colour windowPixel(Window* window, int x, int y);
bool saveWindowImage(Window* window, const char* path);

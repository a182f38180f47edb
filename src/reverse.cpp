// Program entry and the main window's procedure, the single driver of the
// game: input, painting, commands, timers and the computer's answer all
// arrive here and go on to the part of the game that owns them.
#include <cstdio>

#include "cli/command_line.h"
#include "modes/commands.h"
#include "modes/dialogs.h"
#include "modes/editor.h"
#include "modes/game_review.h"
#include "modes/preferences.h"
#include "modes/record_commands.h"
#include "modes/resume.h"
#include "modes/settings.h"
#include "modes/window_size.h"
#include "platform/platform.h"
#include "res/resources.h"
#include "ui/boardview.h"
#include "ui/computer.h"
#include "ui/gdi.h"
#include "ui/hint_view.h"
#include "ui/keycursor.h"
#include "ui/playflow.h"
#include "ui/status.h"

LRESULT mainWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);

// The game record named on the command line, opened in place of the first
// new-game dialog; nullptr when none was named.
const char* startupRecordFile = nullptr;

namespace {

void onCreate(Window* window)
{
    mainWindow = window;
    keyCursor = {0, 0}; // hidden until the first key press
    loadSettings(window);
    loadPreferences();
    applyRememberedSize(window); // before the pictures are made at the window's resolution
    createGdiResources(window);
    createChildControls(window);
    // Up and Down move through the record in record mode; the board's keys
    // reach this procedure first whatever has the focus.
    setFocus(recordList);
    invalidateWindow(window);
    dragAcceptFiles(window, true);
    // The new-game dialog comes up before the window is shown, unless a game
    // record was named; one that cannot be opened is reported first. A game
    // interrupted in an earlier run is offered back before the dialog; a
    // record named on the command line is what the player asked for instead.
    if (startupRecordFile && openRecordFile(window, startupRecordFile))
        return;
    if (!offerInterruptedGame(window))
        startNewGame(window);
}

void onDestroy(Window* window)
{
    // A worker still searching would deliver its move to freed resources.
    cancelHint(window);
    closeGameReview(window);
    forgetEditor();
    waitForComputer(window);
    freeGdiResources(window);
    saveSettings(window);
    releaseGameInProgress(); // a game left unfinished is offered at the next start
    postQuitMessage(0);
}

void onPaint(Window* window)
{
    DeviceContext* dc = beginPaint(window);
    paintBoard(window, dc);
    paintStoneCounts(window, dc);
    paintStatus(window, dc);
    endPaint(window, dc);
}

void onTimer(Window* window, WPARAM id)
{
    switch (id) {
    case PassTimer:
        onPassTimer(window);
        break;
    case WaitTimer:
        onWaitTimer(window);
        break;
    case BannerTimer:
        onBannerTimer(window);
        break;
    case MovedSaveTimer:
        onMovedSaveTimer(window);
        break;
    default:
        onAnimationTick(window, static_cast<int>(id));
        break;
    }
}

void onSetCursor()
{
    if (cursorKind == 1)
        setCursor(CursorShape::Arrow);
    else if (cursorKind == 2)
        setCursor(CursorShape::No);
}

// Clicks count only in a running game whose side to move is a person, and
// not while a banner covers the board.
bool boardTakesClicks()
{
    return gameState >= 0 && gameState != ComputerTurn && bannerUp == 0;
}

// Board keys act when a click would; in record mode they are the list's, which
// moves through the record with them.
LRESULT onKeyDown(Window* window, WPARAM key)
{
    if (editorOpen())
        return onEditorKey(window, static_cast<unsigned>(key))
                   ? 0
                   : defaultWindowProc(window, WM_KEYDOWN, key, 0);
    if (!isBoardKey(static_cast<unsigned>(key)) || gameState == Replay)
        return defaultWindowProc(window, WM_KEYDOWN, key, 0);
    if (boardTakesClicks())
        onBoardKey(window, static_cast<unsigned>(key));
    return 0;
}

LRESULT dispatchMessage(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    case WM_MOVE:
        onWindowMoved(window);
        return 0;
    case WM_QUERYENDSESSION:
        saveSettings(window); // a logout may end the program without a close
        return 1;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_SETCURSOR:
        onSetCursor();
        return 0;
    case WM_COMMAND:
        onCommand(window, wParam);
        return 0;
    case WM_TIMER:
        onTimer(window, wParam);
        return 0;
    case WM_INITMENUPOPUP:
        updateMenuState(window, reinterpret_cast<Menu*>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        updateCursor(window, lParam);
        onBoardMouseMove(lParam);
        hintMouseMove(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        if (editorOpen())
            onEditorClick(window, lParam, false);
        else if (boardTakesClicks())
            onBoardClick(window, lParam);
        return 0;
    case WM_RBUTTONDOWN:
        if (editorOpen())
            onEditorClick(window, lParam, true);
        return 0;
    case WM_KEYDOWN:
        return onKeyDown(window, wParam);
    case WM_DROPFILES:
        onDroppedFile(window, reinterpret_cast<const char*>(wParam));
        return 0;
    case WM_HINT_READY:
        onHintReady(window, reinterpret_cast<const void*>(lParam));
        return 0;
    case WM_COMPUTER_MOVED:
        onComputerMoveDone(window);
        closeWorkerHandle();
        return 0;
    default:
        return defaultWindowProc(window, message, wParam, lParam);
    }
}

} // namespace

// Whatever a message changed (a move, a new game, a banner, record mode), the
// hint and the keyboard's frame follow it.
LRESULT mainWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = dispatchMessage(window, message, wParam, lParam);
    followHint(window);
    followKeyCursor(window);
    return result;
}

#ifndef REVERSE_NO_ENTRY
namespace {

// Prints the text of --help or --version; a failed write (a full disk, a
// closed pipe) is an error, not a success.
int printAndExit(const char* text)
{
    std::fputs(text, stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine commandLine = parseCommandLine(argc, argv);
    switch (commandLine.action) {
    case CommandAction::Help:
        return printAndExit(helpText());
    case CommandAction::Version:
        return printAndExit(versionText());
    case CommandAction::Error:
        std::fprintf(stderr, "reverse: %s\n", commandLine.error.c_str());
        return 2;
    case CommandAction::Run:
        break;
    }
    // Qt is shown the program name only: the arguments were read above, and a
    // FILE named like one of Qt's own options (-reverse, -style) stays a FILE.
    if (!initPlatform(1, argv)) {
        std::fputs("reverse: no display found; run it on a desktop, or under a virtual X server: "
                   "xvfb-run make run\n",
                   stderr);
        return 1;
    }
    if (!commandLine.file.empty())
        startupRecordFile = commandLine.file.c_str();
    closeOnSessionEnd(); // a logout or kill saves like Exit, also before the window is up
    const WindowClass windowClass{"Blantu", mainWindowProc, "MAINICN", "SUBICN", &MYAPP};
    if (!registerWindowClass(windowClass))
        return 0;
    Window* window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    showWindow(window);
    updateWindow(window);
    return runMessageLoop(window, MYACCEL);
}
#endif

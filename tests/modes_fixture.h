// A real main window with a fresh working folder (directory/work) and
// configuration folder (directory/config), manual timers and scripted
// answers for dialogs and message boxes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "modes/commands.h"
#include "modes/record.h"
#include "modes/trial.h"
#include "platform/platform.h"
#include "ui/gdi.h"
#include "ui/playflow.h"

LRESULT mainWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);

// One scripted answer: a message box gets the code, a dialog a click on the
// control with that id (1 OK, 2 Cancel).
struct ModalAnswer {
    bool messageBox;
    int code;
    void (*before)(Window* dialog); // optional, runs first (e.g. opens a dialog inside)
};

struct ModalScript {
    std::vector<ModalAnswer> answers;
    int shown = 0;
    int unexpected = 0;
    std::vector<std::string> messages; // the text of every message box shown
};
extern ModalScript modalScript;

void expectMessageBox(int code, void (*before)(Window*) = nullptr);
void expectDialog(int code, void (*before)(Window*) = nullptr);
// A file dialog that gets this path typed as the file's name, then OK.
void expectFileDialog(const std::string& path);

// Every text drawn since SetUp or since it was last cleared, in order.
struct DrawnText {
    int x, y;
    std::string text;
};
extern std::vector<DrawnText> drawnLog;
// What the texts of the log leave on screen between x = left and right: the
// last text drawn at each place as "x,y:text" lines, top to bottom and left to
// right, places cleared with blanks left out.
std::string shownTexts(const std::vector<DrawnText>& log, int left = 0, int right = 540);

class ModesTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a game through the new-game dialog with these player settings.
    void startGame(int black, int white);
    void click(int column, int row);
    // Delivers the animation ticks until every running animation has ended.
    void finishAnimations();
    // Plays the entries in order, each by the side to move, ending the
    // animations; a (0, 0) entry is the automatic pass.
    void play(const std::vector<Move>& cells);
    // The menu item states as the menu shows them when it opens.
    bool itemEnabled(int id);
    bool itemChecked(int id);
    std::string line(int index);
    std::string messageText();
    // Clears the log, repaints the window and returns shownTexts of the paint.
    std::string repaintedTexts(int left = 0, int right = 540);
    // Pumps events until done() or the timeout.
    bool waitUntil(bool (*done)(), int milliseconds = 10000);

    Window* window = nullptr;
    const char* windowClass = "Blantu"; // "BlantuEn" has the English menus
    std::filesystem::path home;
    std::filesystem::path directory;
};

// A finished game between two persons: White has to pass at entry 24, and
// Black's last move at entry 25 takes White's last stones (28 to 0).
inline const std::vector<Move> shortGame = {
    {3, 4}, {3, 3}, {3, 2}, {2, 4}, {5, 6}, {4, 2}, {1, 4}, {6, 6}, {7, 6}, {4, 6}, {3, 6}, {2, 2}, {1, 1},
    {3, 5}, {3, 1}, {1, 5}, {1, 3}, {1, 2}, {1, 6}, {3, 7}, {3, 8}, {7, 7}, {8, 8}, {0, 0}, {5, 1}};

// The position after the first n entries of a record, from the start.
Board positionAfter(const std::vector<Move>& record, int n);

// Puts a prepared position on the board with Black or White to move next.
void setPosition(const std::vector<std::string>& rows, int sideToMove);

// The window as drawn and configured: board and status pixels, cell mapping,
// the cursor, the texts' helpers and the two dialogs.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/qt_window.h"

#include "modes/commands.h"
#include "modes/dialogs.h"
#include "res/resources.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/keycursor.h"
#include "ui/status.h"
#include "window_harness.h"

namespace {

constexpr Colour Area = rgb(0, 153, 0), Legal = rgb(0, 204, 102), Ink = rgb(0, 0, 0),
                 Paper = rgb(255, 255, 255);

int centre(int index)
{
    return 30 * index + 5;
}

// Channel sums: stone pictures are shaded, so only dark or light is tested.
int brightness(Colour c)
{
    return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF);
}

} // namespace

class View : public GameWindow {
  protected:
    Colour pixel(int x, int y)
    {
        invalidateWindow(window);
        updateWindow(window);
        return windowPixel(window, x, y);
    }
    Colour cell(int column, int row) { return pixel(centre(column), centre(row)); }
};

TEST_F(View, StartShowsAreaHighlightsStonesGridAndStars)
{
    open(0, 0);
    EXPECT_EQ(cell(1, 1), Area);
    for (Move m : {Move{4, 3}, Move{3, 4}, Move{6, 5}, Move{5, 6}})
        EXPECT_EQ(cell(m.column, m.row), Legal) << m.column << "," << m.row;
    EXPECT_GT(brightness(cell(4, 4)), 500) << "d4 White";
    EXPECT_LT(brightness(cell(5, 4)), 270) << "e4 Black";
    EXPECT_EQ(pixel(50, 35), Ink);
    EXPECT_EQ(pixel(35, 140), Ink);
    EXPECT_EQ(pixel(261, 100), Paper);
    for (int x : {81, 201})
        for (int y : {81, 201})
            EXPECT_EQ(pixel(x, y), Ink) << "star point near " << x << "," << y;
    EXPECT_LT(brightness(pixel(305, 42)), 270) << "Black to move";
}

// The last move's stone is marked from the repaint that shows it, and only
// while the item is checked.
TEST_F(View, FlipsTurnAtTheThirdFrameAndHighlightsNeedAGame)
{
    constexpr Colour Mark = rgb(230, 30, 30);
    open(0, 0);
    click(4, 3);
    EXPECT_GT(brightness(windowPixel(window, centre(4), centre(4))), 500) << "still White";
    EXPECT_EQ(windowPixel(window, centre(4), centre(3)), Legal) << "no stone and no mark before the repaint";
    finishAnimations();
    EXPECT_LT(brightness(windowPixel(window, centre(4), centre(4))), 270);
    EXPECT_EQ(windowPixel(window, centre(4), centre(3)), Mark);
    invokeMenuCommand(window, CmdShowLastMove);
    EXPECT_LT(brightness(cell(4, 3)), 270) << "Black's stone, unmarked";
    invokeMenuCommand(window, CmdShowLastMove);
    EXPECT_EQ(cell(3, 3), Legal) << "White's cell lit";
    EXPECT_GT(brightness(pixel(305, 42)), 500) << "White to move";
    // Black leads 4 to 1: the board's end gives Black the win, Black's
    // resignation gives it to White.
    gameState = GameOver;
    EXPECT_EQ(cell(3, 3), Area);
    EXPECT_LT(brightness(pixel(305, 42)), 270);
    currentSide = White;
    gameState = Resigned;
    EXPECT_GT(brightness(pixel(305, 42)), 500);
}

// The play button lies over the record list's bottom: every line shown ends
// above it, whole, whether the list shows its newest line or its first, and
// in a larger window.
TEST_F(View, RecordLinesEndAboveThePlayButton)
{
    open(0, 0);
    for (int i = 0; i < 12; ++i) {
        clickFirstLegal();
        finishAnimations();
    }
    auto* list = qobject_cast<QListWidget*>(recordList->widget.data());
    for (int percent : {100, 150, 200}) {
        setWindowScale(window, percent);
        for (int selected : {list->count() - 1, 0}) {
            SCOPED_TRACE(testing::Message() << percent << "%, line " << selected << " selected");
            listBoxSetSelection(recordList, selected);
            const int buttonTop = playButton->widget->geometry().top();
            int shown = 0;
            for (int row = 0; row < list->count(); ++row) {
                const QRect line = list->visualItemRect(list->item(row));
                if (!line.intersects(list->viewport()->rect()))
                    continue;
                ++shown;
                EXPECT_TRUE(list->viewport()->rect().contains(line)) << "line " << row << " shows whole";
                EXPECT_LT(list->viewport()->mapTo(window->client, line.bottomLeft()).y(), buttonTop)
                    << "line " << row;
            }
            EXPECT_GE(shown, 4);
        }
    }
}

TEST(CellMapping, SharedLinesBelongToTheCellRightOrBelow)
{
    const int edges[][3] = {{19, 0}, {20, 1}, {49, 1}, {50, 2}, {259, 8}, {260, 8}, {261, 0}};
    for (const auto& e : edges) {
        const int expected = e[1];
        EXPECT_EQ(hitTestCell(makePoint(e[0], 100)), (expected ? Move{expected, 3} : Move{0, 0}))
            << "x " << e[0];
        EXPECT_EQ(hitTestCell(makePoint(100, e[0])), (expected ? Move{3, expected} : Move{0, 0}))
            << "y " << e[0];
    }
}

TEST_F(View, CursorShowsWhereTheSideToMoveMayPlay)
{
    open(0, 0);
    const std::pair<LPARAM, int> cases[] = {
        {makePoint(centre(4), centre(3)), 1}, {makePoint(centre(1), centre(1)), 2}, {makePoint(400, 200), 1}};
    for (const auto& [point, kind] : cases) {
        mainWindowProc(window, WM_MOUSEMOVE, 0, point);
        EXPECT_EQ(cursorKind, kind);
    }
}

// The keys reach the game before the record list, which has the focus. The
// frame lies over the window image: the screen shows it, the image keeps
// every pixel of the board.
TEST_F(View, KeysFrameACellAndPlayThereAsAClickWould)
{
    open(0, 1);
    showWindow(window);
    ASSERT_EQ(window->frame->focusWidget(), recordList->widget.data());
    auto press = [this](std::initializer_list<Qt::Key> keys) {
        for (Qt::Key key : keys)
            QTest::keyClick(window->frame->windowHandle(), key);
    };
    auto frame = [this] { return window->client->findChild<QWidget*>("frameOverlay"); };
    auto name = [&] {
        return frame() && frame()->isVisible() ? frame()->accessibleName().toStdString() : "";
    };

    press({Qt::Key_Down}); // only shows it, on the first legal cell in column-major order
    EXPECT_EQ(name(), "c4 空き 打てます");
    press({Qt::Key_Right, Qt::Key_Up});
    EXPECT_EQ(name(), "d3 空き 打てます");
    press({Qt::Key_Down});
    EXPECT_EQ(name(), "d4 白 打てません");
    press({Qt::Key_End});
    EXPECT_EQ(name(), "f5 空き 打てます");
    press({Qt::Key_Home, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left});
    EXPECT_EQ(name(), "a4 空き 打てません") << "stops at the edge";
    press({Qt::Key_Right, Qt::Key_Right});
    const QImage screen = window->client->grab().toImage();
    EXPECT_EQ(screen.pixelColor(81, 125), QColor(255, 224, 0)) << "the frame on c4's left line";
    EXPECT_EQ(screen.pixelColor(109, 125), QColor(255, 224, 0)) << "and inside its right edge";
    EXPECT_EQ(screen.pixelColor(centre(3), centre(4)), QColor(0, 204, 102)) << "the highlight inside";
    EXPECT_EQ(pixel(80, 125), Ink) << "the image keeps the grid line";
    EXPECT_EQ(pixel(81, 125), Legal);
    setWindowScale(window, 200); // the frame grows with the window
    const QImage larger = window->client->grab().toImage();
    EXPECT_EQ(larger.pixelColor(163, 250), QColor(255, 224, 0)) << "the frame's 4 pixels at 200%";
    EXPECT_EQ(larger.pixelColor(164, 250), QColor(0, 204, 102));
    setWindowScale(window, 100);

    press({Qt::Key_Return});
    EXPECT_EQ(liveBoard[cellIndex(3, 4)], Black);
    ASSERT_EQ(gameState, ComputerTurn);
    press({Qt::Key_Home, Qt::Key_Space}); // ignored on the computer's turn, as a click is
    EXPECT_EQ(name(), "c4 黒 打てません");
    EXPECT_EQ(moveNumber, 2);
    finishAnimations();
    fireTimer(window, WaitTimer);
    ASSERT_TRUE(pumpUntil([] { return workerThread == nullptr; }));
    ASSERT_EQ(gameState, HumanTurn);

    mainWindowProc(window, WM_MOUSEMOVE, 0, makePoint(400, 100));
    EXPECT_NE(name(), "") << "the mouse beside the board leaves it";
    mainWindowProc(window, WM_MOUSEMOVE, 0, makePoint(100, 100));
    EXPECT_EQ(name(), "") << "the mouse over the board hides it";
    listMoves(2, Black, liveBoard);
    const Move first = moveLists[2][0];
    press({Qt::Key_Space, Qt::Key_Space}); // shown again on the first legal cell, and played
    EXPECT_EQ(liveBoard[cellIndex(first.column, first.row)], Black);
    EXPECT_EQ(moveNumber, 4);

    // Record mode: the frame is gone and Up and Down move through the list.
    gameState = GameOver;
    invokeMenuCommand(window, CmdRecordMode);
    ASSERT_EQ(gameState, Replay);
    press({Qt::Key_Down, Qt::Key_Down, Qt::Key_Up});
    EXPECT_EQ(listBoxSelection(recordList), 1);
    EXPECT_EQ(liveBoard[cellIndex(first.column, first.row)], Empty) << "the position after move 2";
    EXPECT_EQ(name(), "");
}

TEST(Texts, NumbersKeepEveryDigitWithinSevenBytes)
{
    char text[7];
    const std::pair<int, const char*> cases[] = {{0, "0"},
                                                 {7, "7"},
                                                 {42, "42"},
                                                 {100, "100"},
                                                 {-5, "-5"},
                                                 {1 << 30, "999999"},
                                                 {-(1 << 30), "-99999"}};
    for (const auto& [n, expected] : cases)
        EXPECT_STREQ(numberText(text, n), expected) << n;
}

TEST(Texts, PlayerNames)
{
    char name[PlayerNameSize];
    EXPECT_STREQ(playerName(name, 0), "人");
    EXPECT_STREQ(playerName(name, 1), "lv0 さいころ");
    EXPECT_STREQ(playerName(name, 7), "lv6 仙人");
    EXPECT_STREQ(playerName(name, 8), "lv7 名人");
    EXPECT_STREQ(playerName(name, 9), "lv?");
}

TEST(Texts, ResignationWinner)
{
    // The person to move resigned, or the person gave up on the computer's turn.
    EXPECT_EQ(resignationWinner(White, 0, 0), White);
    EXPECT_EQ(resignationWinner(White, 4, 0), Black);
    EXPECT_EQ(resignationWinner(Black, 0, 0), Black);
    EXPECT_EQ(resignationWinner(Black, 0, 4), White);
}

// ---- Dialogs ----------------------------------------------------------------

namespace {

struct Seen {
    bool blackPerson, whitePerson, blackList, whiteList;
    int blackEntry, whiteEntry;
} seen;

void lookAndCancel(Window* d)
{
    seen = {isButtonChecked(d, 100),     isButtonChecked(d, 102), isDialogItemEnabled(d, 201),
            isDialogItemEnabled(d, 202), comboSelection(d, 201),  comboSelection(d, 202)};
    clickDialogButton(d, IDCANCEL);
}

void blackToComputerThenCancel(Window* d)
{
    clickDialogButton(d, 101);
    clickDialogButton(d, IDCANCEL);
}

const char* typed = "";
int modalWhileOpen = 0;
void typeWaitTime(Window* d)
{
    modalWhileOpen = modalOpen;
    setDialogItemText(d, 301, typed);
    clickDialogButton(d, IDOK);
}

} // namespace

TEST_F(View, FirstRunDialogOffersPersonsAndCancelLeavesAnEmptyBoard)
{
    setModalHook(lookAndCancel);
    window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    EXPECT_TRUE(seen.blackPerson && seen.whitePerson);
    EXPECT_FALSE(seen.blackList || seen.whiteList);
    EXPECT_EQ(seen.blackEntry, 0);
    EXPECT_EQ(seen.whiteEntry, 0);
    EXPECT_EQ(gameState, GameOver);
    EXPECT_EQ(cell(4, 4), Area);
    EXPECT_EQ(cell(4, 3), Area);
    EXPECT_EQ(pixel(305, 42), Paper) << "a draw has no disc";
}

TEST_F(View, ComputerChoiceStartsTheGameAndIsShownNextTime)
{
    open(4, 0);
    EXPECT_EQ(blackPlayer, 4);
    EXPECT_EQ(whitePlayer, 0);
    EXPECT_EQ(gameState, ComputerTurn);
    EXPECT_EQ(timerInterval(window, WaitTimer), waitTime);
    gameState = GameOver;
    setModalHook(lookAndCancel);
    startNewGame(window);
    EXPECT_FALSE(seen.blackPerson);
    EXPECT_TRUE(seen.blackList);
    EXPECT_EQ(seen.blackEntry, 3);
    // Cancel keeps what the radio buttons set; a stray stored value selects
    // nothing and OK turns it into a person.
    setModalHook(blackToComputerThenCancel);
    blackPlayer = 0;
    startNewGame(window);
    EXPECT_EQ(blackPlayer, 1);
    EXPECT_EQ(gameState, GameOver);
    blackPlayer = 9;
    setModalHook([](Window* d) { clickDialogButton(d, IDOK); });
    startNewGame(window);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(gameState, HumanTurn);
}

TEST_F(View, WaitTimeReadsLeadingDigitsWithinTheTimersRange)
{
    open(0, 0);
    // Full-width digits are digits too; the last case leaves the largest wait.
    const std::pair<const char*, int> cases[] = {{"1500", 1500}, {"abc", 0},          {"", 0},
                                                 {"250ms", 250}, {"-40", 0},          {"１２３", 123},
                                                 {"－４０", 0},  {"7５0ミリ秒", 750}, {"99999999999", 60000}};
    setModalHook(typeWaitTime);
    for (const auto& [text, expected] : cases) {
        typed = text;
        showSettingsDialog(window);
        EXPECT_EQ(waitTime, expected) << '"' << text << '"';
        EXPECT_EQ(modalWhileOpen, 1);
        EXPECT_EQ(modalOpen, 0);
    }
    setModalHook([](Window* d) {
        setDialogItemText(d, 301, "9");
        clickDialogButton(d, IDCANCEL);
    });
    showSettingsDialog(window);
    EXPECT_EQ(waitTime, 60000);
    waitTime = 200;
}

namespace {

// Each text shows whole in the font it is drawn with, and no two controls
// overlap but those inside a group box.
void expectWholeTexts(Window* d)
{
    std::vector<QWidget*> placed;
    for (QWidget* w : d->dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString name = widgetText(w);
        const QFontMetrics metrics = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_LE(metrics.horizontalAdvance(name), label->contentsRect().width()) << name.toStdString();
            EXPECT_LE(metrics.height(), label->contentsRect().height()) << name.toStdString();
        } else if (qobject_cast<QPushButton*>(w)) {
            EXPECT_LT(metrics.horizontalAdvance(name), w->width()) << name.toStdString();
        } else if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)) {
            EXPECT_LE(w->sizeHint().width(), w->width()) << name.toStdString();
        }
        if (qobject_cast<QGroupBox*>(w) == nullptr) {
            for (QWidget* other : placed)
                EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                    << name.toStdString() << " overlaps " << widgetText(other).toStdString();
            placed.push_back(w);
        }
    }
    endDialog(d, IDCANCEL);
}

} // namespace

TEST_F(View, EveryDialogTextShowsWhole)
{
    open(0, 0);
    setModalHook(expectWholeTexts);
    for (const DialogDef* def : {&MYDIALOG, &CONFIGDLG, &EDITDONEDLG})
        EXPECT_EQ(runDialog(window, *def, nullptr), IDCANCEL) << def->caption;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char directory[] = "/tmp/reverse-window-tests-XXXXXX";
    if (mkdtemp(directory) == nullptr || !initPlatform(argc, argv))
        return 1;
    useConfigHome(directory);
    registerWindowClass({"Blantu", mainWindowProc, "MAINICN", "SUBICN", &MYAPP});
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(directory);
    return result;
}

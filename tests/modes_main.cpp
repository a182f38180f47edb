#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>

#include <cstdlib>
#include <map>
#include <unistd.h>

#include "ai/random.h"
#include "board_text.h"
#include "config_home.h"
#include "modes/message.h"
#include "modes_fixture.h"
#include "offscreen_screen.h"
#include "platform/qt_window.h"
#include "res/resources.h"
#include "res/text.h"

ModalScript modalScript;
std::vector<DrawnText> drawnLog;

namespace {

void logText(int x, int y, const char* text)
{
    drawnLog.push_back({x, y, text});
}

bool blank(const std::string& text)
{
    for (size_t i = 0; i < text.size();)
        if (text[i] == ' ')
            ++i;
        else if (text.compare(i, 3, "\u3000") == 0)
            i += 3;
        else
            return false;
    return true;
}

void answerNext(Window* dialog)
{
    ++modalScript.shown;
    if (auto* box = qobject_cast<QMessageBox*>(dialog->dialog.data()))
        modalScript.messages.push_back(box->text().toStdString());
    if (modalScript.answers.empty()) {
        ++modalScript.unexpected; // nothing scripted: cancel whatever it is
        if (dialog->kind == WindowKind::MessageBox)
            answerMessageBox(dialog, IDCANCEL);
        else
            endDialog(dialog, IDCANCEL);
        return;
    }
    const ModalAnswer answer = modalScript.answers.front();
    modalScript.answers.erase(modalScript.answers.begin());
    if (answer.before)
        answer.before(dialog);
    if (answer.messageBox)
        answerMessageBox(dialog, answer.code);
    else
        clickDialogButton(dialog, answer.code);
}

} // namespace

void expectMessageBox(int code, void (*before)(Window*))
{
    modalScript.answers.push_back({true, code, before});
}

void expectDialog(int code, void (*before)(Window*))
{
    modalScript.answers.push_back({false, code, before});
}

namespace {
std::string typedPath;
}

void expectFileDialog(const std::string& path)
{
    typedPath = path;
    expectDialog(IDOK, [](Window* dialog) { setDialogItemText(dialog, FileNameItem, typedPath.c_str()); });
}

std::string shownTexts(const std::vector<DrawnText>& log, int left, int right)
{
    std::map<std::pair<int, int>, std::string> shown; // by (y, x)
    for (const DrawnText& t : log)
        if (t.x >= left && t.x < right)
            shown[{t.y, t.x}] = t.text;
    std::string out;
    for (const auto& [place, text] : shown)
        if (!blank(text))
            out += std::to_string(place.second) + "," + std::to_string(place.first) + ":" + text + "\n";
    return out;
}

void setPosition(const std::vector<std::string>& rows, int sideToMove)
{
    liveBoard = boardFromRows(rows);
    currentSide = opponentOf(sideToMove);
}

Board positionAfter(const std::vector<Move>& record, int n)
{
    const Board saved = liveBoard;
    setupBoard();
    Board board = liveBoard;
    liveBoard = saved;
    for (int i = 0; i < n; ++i)
        if (record[i].column != 0) {
            applyMove(board, record[i].column, record[i].row, i % 2 == 0 ? Black : White);
            board = trialBoard;
        }
    return board;
}

void ModesTest::SetUp()
{
    home = std::filesystem::current_path();
    char pattern[] = "/tmp/modes-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
    // The working folder stays empty: settings live in the configuration folder.
    std::filesystem::create_directory(directory / "work");
    std::filesystem::current_path(directory / "work");
    useConfigHome(directory / "config");
    setManualTimers(true);
    modalScript = {};
    setModalHook(answerNext);
    drawnLog.clear();
    setTextHook(logText);
    trialStage = -1;
    modalOpen = 0;
    bannerUp = 0;
    replayRunning = 0;
    pauseBeforeRestart = [](int) {};
    expectDialog(IDCANCEL); // the new-game dialog of the window's creation
    window = createMainWindow(windowClass, uiText(TextId::AppTitle), 540, 375);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(gameState, GameOver);
}

void ModesTest::TearDown()
{
    if (window)
        destroyWindow(window);
    setModalHook(nullptr);
    setTextHook(nullptr);
    setClock(nullptr);
    std::filesystem::current_path(home);
    std::filesystem::remove_all(directory);
}

void ModesTest::startGame(int black, int white)
{
    blackPlayer = black;
    whitePlayer = white;
    expectDialog(IDOK);
    onCommand(window, CmdNewGame);
    ASSERT_GE(gameState, 0);
}

void ModesTest::click(int column, int row)
{
    sendMessage(window, WM_LBUTTONDOWN, 0, makePoint(30 * column + 5, 30 * row + 5));
}

void ModesTest::finishAnimations()
{
    for (uintptr_t slot = 0; slot < 4; ++slot)
        while (timerPending(window, slot))
            fireTimer(window, slot);
}

void ModesTest::play(const std::vector<Move>& cells)
{
    for (Move cell : cells) {
        const int16_t before = moveNumber;
        if (cell.column == 0)
            fireTimer(window, PassTimer);
        else
            click(cell.column, cell.row);
        ASSERT_EQ(moveNumber, before + 1) << "illegal test move " << cell.column << "," << cell.row;
        finishAnimations();
    }
}

namespace {
void openMenus(Window* window)
{
    for (auto& popup : window->menus)
        Q_EMIT popup->menu->aboutToShow();
}
} // namespace

bool ModesTest::itemEnabled(int id)
{
    openMenus(window);
    return menuItemEnabled(window, id);
}

bool ModesTest::itemChecked(int id)
{
    openMenus(window);
    return menuItemChecked(window, id);
}

std::string ModesTest::line(int index)
{
    char text[200] = "";
    listBoxText(recordList, index, text, sizeof text);
    return text;
}

std::string ModesTest::messageText()
{
    char text[300] = "";
    getWindowText(messageLine, text, sizeof text);
    return text;
}

std::string ModesTest::repaintedTexts(int left, int right)
{
    drawnLog.clear();
    invalidateWindow(window);
    updateWindow(window);
    return shownTexts(drawnLog, left, right);
}

bool ModesTest::waitUntil(bool (*done)(), int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string screen = useOffscreenScreen(1024, 768); // the real-X tests' screen
    if (!initPlatform(argc, argv))
        return 1;
    std::remove(screen.c_str());
    if (!registerWindowClass({"Blantu", mainWindowProc, "MAINICN", "SUBICN", &mainMenuDef()}))
        return 1;
    setLanguage(Language::English);
    const bool english =
        registerWindowClass({"BlantuEn", mainWindowProc, "MAINICN", "SUBICN", &mainMenuDef()});
    setLanguage(Language::Japanese);
    if (!english)
        return 1;
    return RUN_ALL_TESTS();
}

#include "modes/dialogs.h"

#include <cstdio>

#include "engine/midgame.h"
#include "modes/commands.h"
#include "modes/settings.h"
#include "platform/platform.h"
#include "res/resources.h"
#include "res/strings.h"
#include "ui/playflow.h"

namespace {

enum : int {
    BlackPersonId = 100,
    BlackComputerId = 101,
    WhitePersonId = 102,
    WhiteComputerId = 103,
    BlackLevelListId = 201,
    WhiteLevelListId = 202,
    WaitTimeEditId = 301,
};

constexpr int EntryTextSize = 96;
constexpr int WaitTextSize = 32;
constexpr int MasterSetting = 8; // lv7, which needs the midgame search's evaluation

// Without the evaluation lv7 stays in the list, marked, and OK refuses it.
const char* const MasterUnavailable =
    "名人は評価データを読み込めなかったため選べません。ほかのレベルを選んでください。";

void fillLevelList(Window* dialog, int listId)
{
    char text[EntryTextSize];
    for (int level = 0; level < ComputerLevels; ++level) {
        const bool unavailable = level + 1 == MasterSetting && !midgameReady();
        std::snprintf(text, sizeof text, "%s%s", personaNames[level],
                      unavailable ? "（使えません）" : levelLabels[level]);
        comboAddString(dialog, listId, text);
    }
}

// A stored setting outside 1..8 selects nothing; OK then makes the side a person.
void showSide(Window* dialog, int setting, int personId, int computerId, int listId)
{
    if (setting != 0) {
        checkRadioButton(dialog, personId, computerId, computerId);
        comboSetSelection(dialog, listId, setting - 1);
    } else {
        checkRadioButton(dialog, personId, computerId, personId);
        comboSetSelection(dialog, listId, 0);
        enableDialogItem(dialog, listId, false);
    }
}

// The radio buttons write the setting at once; Cancel does not undo them.
void chooseSide(Window* dialog, int& setting, int value, int personId, int computerId, int listId)
{
    checkRadioButton(dialog, personId, computerId, value == 0 ? personId : computerId);
    enableDialogItem(dialog, listId, value != 0);
    setting = value;
}

void readLevels(Window* dialog)
{
    if (blackPlayer != 0)
        blackPlayer = comboSelection(dialog, BlackLevelListId) + 1;
    if (whitePlayer != 0)
        whitePlayer = comboSelection(dialog, WhiteLevelListId) + 1;
}

// Whether a computer side has lv7 chosen while it cannot play.
bool choosesUnavailableMaster(Window* dialog)
{
    if (midgameReady())
        return false;
    return (blackPlayer != 0 && comboSelection(dialog, BlackLevelListId) + 1 == MasterSetting) ||
           (whitePlayer != 0 && comboSelection(dialog, WhiteLevelListId) + 1 == MasterSetting);
}

bool onNewGameCommand(Window* dialog, unsigned id)
{
    switch (id) {
    case BlackPersonId:
        chooseSide(dialog, blackPlayer, 0, BlackPersonId, BlackComputerId, BlackLevelListId);
        return true;
    case BlackComputerId:
        chooseSide(dialog, blackPlayer, 1, BlackPersonId, BlackComputerId, BlackLevelListId);
        return true;
    case WhitePersonId:
        chooseSide(dialog, whitePlayer, 0, WhitePersonId, WhiteComputerId, WhiteLevelListId);
        return true;
    case WhiteComputerId:
        chooseSide(dialog, whitePlayer, 1, WhitePersonId, WhiteComputerId, WhiteLevelListId);
        return true;
    case IDOK:
        if (choosesUnavailableMaster(dialog)) { // the dialog stays for another choice
            messageBoxWarning(dialog, MasterUnavailable, "新規ゲーム");
            return true;
        }
        readLevels(dialog);
        endDialog(dialog, IDOK);
        return true;
    case IDCANCEL:
        endDialog(dialog, IDCANCEL);
        return true;
    default:
        return false;
    }
}

// The value of the digit at text, ASCII or full-width ("０".."９", as a
// Japanese input method types them), and its length in bytes; 0 when none.
int digitAt(const char* text, int* value)
{
    if (*text >= '0' && *text <= '9') {
        *value = *text - '0';
        return 1;
    }
    // U+FF10..U+FF19 in UTF-8: EF BC 90..99.
    const auto* u = reinterpret_cast<const unsigned char*>(text);
    if (u[0] == 0xEF && u[1] == 0xBC && u[2] >= 0x90 && u[2] <= 0x99) {
        *value = u[2] - 0x90;
        return 3;
    }
    return 0;
}

// Leading decimal digits, saturating far above any wait a timer takes;
// anything else (letters, nothing, a sign) reads as 0.
long long readWaitTime(const char* text)
{
    while (*text == ' ')
        ++text;
    long long value = 0;
    int digit = 0;
    for (int length; (length = digitAt(text, &digit)) > 0; text += length)
        value = value < 1000000000LL ? value * 10 + digit : value;
    return value;
}

} // namespace

void startNewGame(Window* window)
{
    if (gameState >= 0 && confirmResign(window) != 1)
        return;
    if (runDialog(window, MYDIALOG, newGameDialog) != IDOK)
        return;
    resetGameStart(window);
    invalidateWindow(window);
    updateWindow(window);
    saveSettings(window); // the players chosen survive a run that is killed
    setTimer(window, WaitTimer, waitTime);
}

intptr_t newGameDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    if (message == WM_INITDIALOG) {
        fillLevelList(dialog, BlackLevelListId);
        fillLevelList(dialog, WhiteLevelListId);
        showSide(dialog, blackPlayer, BlackPersonId, BlackComputerId, BlackLevelListId);
        showSide(dialog, whitePlayer, WhitePersonId, WhiteComputerId, WhiteLevelListId);
        return 1;
    }
    if (message == WM_COMMAND)
        return onNewGameCommand(dialog, loWord(wParam)) ? 1 : 0;
    return 0;
}

void showSettingsDialog(Window* window)
{
    // Keeps the wait timer from advancing the game behind the dialog.
    modalOpen = 1;
    const int answer = runDialog(window, CONFIGDLG, settingsDialog);
    modalOpen = 0;
    if (answer == IDOK)
        saveSettings(window);
}

intptr_t settingsDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    if (message == WM_INITDIALOG) {
        char text[WaitTextSize];
        std::snprintf(text, sizeof text, "%d", waitTime);
        setDialogItemText(dialog, WaitTimeEditId, text);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    if (loWord(wParam) == IDOK) {
        char text[WaitTextSize] = "";
        getDialogItemText(dialog, WaitTimeEditId, text, sizeof text);
        waitTime = clampWaitTime(readWaitTime(text));
        endDialog(dialog, IDOK);
        return 1;
    }
    if (loWord(wParam) == IDCANCEL) {
        endDialog(dialog, IDCANCEL);
        return 1;
    }
    return 0;
}

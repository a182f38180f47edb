#include "modes/trial.h"

#include <cstring>

#include "ai/random.h"
#include "modes/message.h"
#include "modes/record.h"
#include "modes/resume.h"
#include "modes/settings.h"
#include "platform/platform.h"
#include "res/strings.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/playflow.h"
#include "ui/status.h"

namespace {

constexpr int LastStage = 6;
constexpr int BannerX = 20;
constexpr int BannerLineY[3] = {20, 60, 100};
constexpr int BannerFontHeight = 24;
constexpr int AnimationSlots = 4;

// Set when the result of the stage's game has been drawn, cleared when a stage
// starts: the wait timer keeps ticking while a dialog is open, and one game
// must never advance the trial twice.
bool resultShown = false;

int personColour()
{
    return blackPlayer == 0 ? Black : White;
}

// Timers of the game being replaced: a leftover wait tick or animation end
// would otherwise start the computer while the banner is still up.
void stopOldGameTimers(Window* window)
{
    killTimer(window, PassTimer);
    killTimer(window, WaitTimer);
    for (int slot = 0; slot < AnimationSlots; ++slot)
        killTimer(window, slot);
}

// The window's font at banner size, drawn over the board in white on black.
// Lines may be nullptr to leave them out.
void drawBannerLines(const char* first, const char* second, const char* third)
{
    if (!windowDC)
        return;
    FontDesc desc = initUiFont();
    desc.height = BannerFontHeight;
    desc.quality = PROOF_QUALITY;
    Font* font = createFont(desc);
    Font* previous = selectFont(windowDC, font);
    setBackgroundMode(windowDC, BackgroundMode::Transparent);
    const char* lines[3] = {first, second, third};
    for (int i = 0; i < 3; ++i)
        if (lines[i])
            drawShadowText(windowDC, BannerX, BannerLineY[i], lines[i]);
    setBackgroundMode(windowDC, BackgroundMode::Opaque);
    selectFont(windowDC, previous);
    deleteFont(font);
}

void repaintWindow(Window* window)
{
    invalidateWindow(window);
    updateWindow(window);
}

// The last move's animation still runs: its end repaints the final position
// and starts the wait timer again, whose tick shows the result.
bool flipAnimationRunning(Window* window)
{
    for (int slot = 0; slot < AnimationSlots; ++slot)
        if (timerPending(window, static_cast<uintptr_t>(slot)))
            return true;
    return false;
}

void startBannerTimer(Window* window)
{
    setTimer(window, BannerTimer, BannerInterval);
    bannerUp = 1;
}

} // namespace

// "Stage" + stage number + "、対" + the computer's name.
char* stageBannerLine(char* buffer, int stage, int computerSetting)
{
    char digits[8];
    char name[64];
    buffer[0] = '\0';
    strcat(buffer, "Stage");
    strcat(buffer, numberText(digits, stage));
    strcat(buffer, "、対");
    strcat(buffer, playerName(name, computerSetting));
    return buffer;
}

void startTrialStage(Window* window)
{
    seedRandom(static_cast<uint32_t>(currentSeconds()));
    const int computer = trialStage + 1;
    if (drawRandom() % 2 == 0) {
        blackPlayer = 0;
        whitePlayer = computer;
        gameState = HumanTurn;
    } else {
        blackPlayer = computer;
        whitePlayer = 0;
        gameState = ComputerTurn;
    }
    stopPlayback(); // a trial can start from record mode, even from its banner end
    if (playButton)
        enableWindow(playButton, false);
    stopOldGameTimers(window);
    setupBoard();
    setMessageText("");
    currentSide = White;
    moveNumber = 1;
    beginStandardRecord();
    clearRecordList(window); // after the record's start is the standard one again
    undoReady = -1;
    resultShown = false;
    // The game it replaces is not offered back.
    forgetGameInProgress();
    repaintWindow(window); // the new game under the banner, not the old one
    showStageBanner(window);
    saveSettings(window); // each stage's players are the ones kept
}

void showStageBanner(Window* window)
{
    char stageLine[128];
    const int computer = blackPlayer == 0 ? whitePlayer : blackPlayer;
    stageBannerLine(stageLine, trialStage, computer);
    drawBannerLines("トライアルモード", stageLine, personColour() == Black ? "●黒番" : "○白番");
    showMessageString(SpeechOpenBase + trialStage);
    startBannerTimer(window);
}

void drawShadowText(DeviceContext* dc, int x, int y, const char* text)
{
    setTextColour(dc, rgb(0, 0, 0));
    textOut(dc, x + 1, y + 1, text);
    setTextColour(dc, rgb(255, 255, 255));
    Brush* previous = selectBrush(dc, stockBrush(StockBrush::Black));
    textOut(dc, x, y, text);
    selectBrush(dc, previous);
    setTextColour(dc, rgb(0, 0, 0));
}

// A draw counts for the person. Shown once per finished trial game, over the
// final position, its counts and the end of the game.
void showStageResult(Window* window)
{
    if (resultShown || trialStage <= 0 || flipAnimationRunning(window))
        return;
    resultShown = true;
    repaintWindow(window);
    const int person = personColour();
    const bool lost = countStones(person, liveBoard) < countStones(opponentOf(person), liveBoard);
    if (lost) {
        drawBannerLines("負け…", "GameOver！", nullptr);
        showMessageString(SpeechWinBase + trialStage);
        trialStage = -1;
    } else if (trialStage >= LastStage) {
        drawBannerLines("全面クリアッ！", "おめでとーございます♪", nullptr);
        showMessageString(SpeechLoseBase + LastStage);
        trialStage = -1;
    } else {
        drawBannerLines("勝利！", "NextLoading...", nullptr);
        showMessageString(SpeechLoseBase + trialStage);
        ++trialStage;
    }
    startBannerTimer(window);
}

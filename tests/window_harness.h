// A real main window on the offscreen platform with manual timers: tests
// click cells, deliver timer ticks and answer dialogs themselves.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

#include "config_home.h"
#include "platform/platform.h"
#include "ui/computer.h"
#include "ui/playflow.h"

LRESULT mainWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);

// The new-game dialog's answer: a player setting per colour, or Cancel.
inline int chosenBlack = 0, chosenWhite = 0;
inline bool cancelNewGame = false;

inline void answerNewGame(Window* dialog)
{
    if (cancelNewGame)
        return clickDialogButton(dialog, IDCANCEL);
    clickDialogButton(dialog, chosenBlack == 0 ? 100 : 101);
    comboSetSelection(dialog, 201, chosenBlack - 1);
    clickDialogButton(dialog, chosenWhite == 0 ? 102 : 103);
    comboSetSelection(dialog, 202, chosenWhite - 1);
    clickDialogButton(dialog, IDOK);
}

class GameWindow : public ::testing::Test {
  protected:
    Window* window = nullptr;

    void SetUp() override
    {
        std::remove(settingsFilePath().c_str());
        std::remove(keptGamePath().c_str()); // no game of an earlier test is offered back
        setManualTimers(true);
        liveBoard = Board{}; // as at program start: the globals outlive each window
        currentSide = Empty;
        animSlot = 0;
    }

    void TearDown() override
    {
        setModalHook(nullptr);
        if (window != nullptr)
            destroyWindow(window);
        QCoreApplication::processEvents();
    }

    void open(int black, int white, bool cancel = false)
    {
        chosenBlack = black;
        chosenWhite = white;
        cancelNewGame = cancel;
        setModalHook(answerNewGame);
        window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
        setModalHook(nullptr);
        ASSERT_NE(window, nullptr);
    }

    void click(int column, int row)
    {
        mainWindowProc(window, WM_LBUTTONDOWN, 0, makePoint(30 * column + 5, 30 * row + 5));
    }

    void clickFirstLegal()
    {
        listMoves(2, opponentOf(currentSide), liveBoard);
        click(moveLists[2][0].column, moveLists[2][0].row);
    }

    void finishAnimations()
    {
        for (int slot = 0; slot < 4; ++slot)
            while (timerPending(window, slot))
                fireTimer(window, slot);
    }

    static bool pumpUntil(const std::function<bool()>& done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

    // Persons take their first legal cell, passes come from the pass timer,
    // computers from real workers. Returns the persons' passes.
    int playToEnd()
    {
        int passes = 0;
        for (int step = 0; step < 1000 && gameState >= 0; ++step) {
            if (workerThread != nullptr) {
                EXPECT_TRUE(pumpUntil([] { return workerThread == nullptr; }));
            } else if (gameState == HumanTurn) {
                clickFirstLegal();
            } else if (gameState == HumanPass) {
                EXPECT_EQ(timerInterval(window, PassTimer), PassInterval);
                fireTimer(window, PassTimer);
                ++passes;
            } else {
                finishAnimations();
                fireTimer(window, WaitTimer);
            }
        }
        finishAnimations();
        return passes;
    }
};

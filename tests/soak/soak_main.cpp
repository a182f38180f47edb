// The soak tests drive the real main window offscreen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"
#include "res/resources.h"

LRESULT mainWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam);

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!initPlatform(argc, argv))
        return 1;
    if (!registerWindowClass({"Blantu", mainWindowProc, "MAINICN", "SUBICN", &mainMenuDef()}))
        return 1;
    return RUN_ALL_TESTS();
}

#include "modes/window_size.h"

#include "modes/preferences.h"
#include "platform/platform.h"

namespace {

constexpr int Sizes[] = {100, 150, 200}; // of CmdSize100 to CmdSize200

int sizeOf(int id)
{
    return Sizes[id - CmdSize100];
}

} // namespace

bool isSizeCommand(int id)
{
    return id >= CmdSize100 && id <= CmdSize200;
}

void applyRememberedSize(Window* window)
{
    int size = Sizes[0];
    for (int s : Sizes)
        if (s <= windowScalePercent && windowScaleFits(window, s))
            size = s;
    setWindowScale(window, size);
}

void chooseSize(Window* window, int id)
{
    if (!isSizeCommand(id) || !windowScaleFits(window, sizeOf(id)))
        return;
    setWindowScale(window, sizeOf(id));
    windowScalePercent = sizeOf(id);
    savePreferences();
}

void updateSizeItems(Window* window, Menu* popup)
{
    const int shown = windowScale(window);
    int checked = 0;
    for (int position = 0; position < menuItemCount(popup); ++position) {
        const int id = menuItemId(popup, position);
        if (!isSizeCommand(id))
            continue;
        setMenuItemState(popup, position, sizeOf(id) == shown || windowScaleFits(window, sizeOf(id)),
                         sizeOf(id) == shown);
        checked = sizeOf(id) == shown ? id : checked;
    }
    checkMenuRadioItem(popup, CmdSize100, CmdSize200, checked);
}

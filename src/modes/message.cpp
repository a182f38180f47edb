#include "modes/message.h"

#include "ai/random.h"
#include "platform/platform.h"
#include "res/strings.h"
#include "ui/gdi.h"

namespace {
constexpr int VerseSetting = 6;   // lv5 recites a verse
constexpr int ProverbSetting = 7; // lv6 quotes a proverb
} // namespace

void setMessageText(const char* text)
{
    if (messageLine)
        setWindowText(messageLine, text ? text : "");
}

void showMessageString(int id)
{
    char text[StringBufferSize] = "";
    loadString(id, text, StringBufferSize);
    setMessageText(text);
}

// Draws from the window thread's own generator, so the sayings never disturb
// the random choices of a search running on the worker.
void showLevelSaying(Window*, int setting)
{
    if (setting == VerseSetting)
        showMessageString(FirstVerse + drawRandom() % VerseCount);
    else if (setting == ProverbSetting)
        showMessageString(FirstProverb + drawRandom() % ProverbCount);
    else
        setMessageText("");
}

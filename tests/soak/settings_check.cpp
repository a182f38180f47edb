#include "settings_check.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "../config_home.h"
#include "modes/settings.h"
#include "platform/platform.h"
#include "ui/playflow.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string format(const char* pattern, long long a, long long b = 0, long long c = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

// config.dat in the configuration folder the caller set; the folder is made
// here, as the game makes it on its first run.
void writeFile(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = settingsFilePath();
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

Bytes readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), {}};
}

int field(const uint8_t* p, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return size == 2 ? static_cast<int16_t>(v) : static_cast<int32_t>(v);
}

QRect frameOf(Window* window)
{
    const Rect r = windowRect(window);
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// Whole on one screen's work area, or at its top-left when it is too big.
bool onSomeScreen(const QRect& frame)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (area.contains(frame) || (area.contains(frame.topLeft()) && frame.width() > area.width()))
            return true;
    }
    return false;
}

bool fitsOnSomeScreen(const QRect& frame)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(frame))
            return true;
    return false;
}

// What the file says, where it says it: an empty file means the defaults, a
// whole record every field; the fields of a shorter file are up to the loader
// but must still be usable.
std::string checkLoaded(const uint8_t* data, size_t size)
{
    if (gameState != GameOver || !(recordEntry(1) == Move{-1, -1}))
        return format("after loading: gameState %lld, record not emptied", gameState);
    if (waitTime < 0 || waitTime > MaxWaitTime)
        return format("loaded wait time %lld", waitTime);
    if (size == 0 && (blackPlayer != 0 || whitePlayer != 0 || waitTime != 200))
        return format("empty file gave players %lld,%lld wait %lld", blackPlayer, whitePlayer, waitTime);
    if (size >= 16) {
        if (blackPlayer != field(data, 2) || whitePlayer != field(data + 2, 2))
            return format("players %lld,%lld not as stored", blackPlayer, whitePlayer);
        if (waitTime != clampWaitTime(field(data + 4, 4)))
            return format("wait %lld for stored %lld", waitTime, field(data + 4, 4));
    }
    return "";
}

std::string checkPlacement(Window* window, const uint8_t* data, size_t size, const QRect& before)
{
    const QRect frame = frameOf(window);
    if (!onSomeScreen(frame))
        return format("window left off screen at %lld,%lld", frame.left(), frame.top());
    if (size == 0)
        return frame == before ? "" : "an empty file moved the window";
    if (size < 16)
        return "";
    // A stored corner near the 32-bit limit cannot fit any screen; leave it
    // out before QRect's sums would overflow.
    const long long left = field(data + 8, 4), top = field(data + 12, 4);
    constexpr long long FarAway = 1 << 24;
    if (std::llabs(left) > FarAway || std::llabs(top) > FarAway)
        return "";
    const QRect stored(QPoint(static_cast<int>(left), static_cast<int>(top)), frame.size());
    if (fitsOnSomeScreen(stored) && frame.topLeft() != stored.topLeft())
        return format("window at %lld,%lld, stored position fits the screen", frame.left(), frame.top());
    return "";
}

// The saved file: the settings in force, then whatever the old file had
// beyond its first 16 bytes.
std::string checkSaved(Window* window, const uint8_t* data, size_t size)
{
    const Bytes saved = readFile(settingsFilePath());
    const size_t expectedSize = std::max<size_t>(16, size);
    if (saved.size() != expectedSize)
        return format("saved file has %lld bytes, expected %lld", saved.size(), expectedSize);
    const Rect frame = windowRect(window);
    if (field(saved.data(), 2) != static_cast<int16_t>(blackPlayer) ||
        field(saved.data() + 2, 2) != static_cast<int16_t>(whitePlayer) ||
        field(saved.data() + 4, 4) != waitTime)
        return "saved settings differ from those in force";
    if (field(saved.data() + 8, 4) != frame.left || field(saved.data() + 12, 4) != frame.top)
        return format("saved position %lld,%lld", field(saved.data() + 8, 4), field(saved.data() + 12, 4));
    if (size > 16 && !std::equal(saved.begin() + 16, saved.end(), data + 16))
        return "the bytes after the record were not kept";
    const std::filesystem::path folder = std::filesystem::path(settingsFilePath()).parent_path();
    if (std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()) !=
        1)
        return "a temporary file was left behind";
    return "";
}

} // namespace

std::string checkSettingsRoundTrip(Window* window, const uint8_t* data, size_t size)
{
    writeFile(data, size);
    gameState = HumanTurn; // loading must end any game
    const QRect before = frameOf(window);
    loadSettings(window);
    std::string problem = checkLoaded(data, size);
    if (problem.empty())
        problem = checkPlacement(window, data, size, before);
    if (!problem.empty())
        return problem;
    saveSettings(window);
    if (!(problem = checkSaved(window, data, size)).empty())
        return problem;
    // What was saved must load to the same settings and save to the same bytes.
    const Bytes first = readFile(settingsFilePath());
    const int black = blackPlayer, white = whitePlayer, wait = waitTime;
    loadSettings(window);
    if (blackPlayer != black || whitePlayer != white || waitTime != wait)
        return "the saved file loads to other settings";
    saveSettings(window);
    return readFile(settingsFilePath()) == first ? "" : "saving the reloaded settings changed the file";
}

#include "modes/settings.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "files/paths.h"
#include "files/safe_save.h"
#include "platform/platform.h"
#include "ui/playflow.h"

namespace {

constexpr const char* SettingsName = "config.dat";
constexpr int RecordSize = 16;
constexpr int DefaultWaitTime = 200;
constexpr int MovedWidth = 540;
constexpr int MovedHeight = 355;

// Decided when the settings are loaded, so a run reads and writes one file;
// "" when there is no folder for it.
std::string settingsPath;
bool settingsPathKnown = false;

// The position the file holds as far as this run knows: read at the start or
// written since. A settled move to the same place writes nothing.
bool positionKnown = false;
int knownLeft = 0;
int knownTop = 0;

int readInt16(const unsigned char* p)
{
    return static_cast<int16_t>(p[0] | p[1] << 8);
}

int readInt32(const unsigned char* p)
{
    const uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

void writeInt16(unsigned char* p, int v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void writeInt32(unsigned char* p, int v)
{
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(u >> (8 * i));
}

// Reads until count bytes or the end; returns the bytes read, -1 on an error.
int readFully(int fd, unsigned char* buffer, int count)
{
    int done = 0;
    while (done < count) {
        const ssize_t n = read(fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<int>(n);
    }
    return done;
}

std::string locateSettingsFile()
{
    const AppFolder folder = configFolder();
    if (folder.path.empty()) {
        std::fprintf(stderr, "reverse: the settings will not be saved: %s\n", folder.problem.c_str());
        return "";
    }
    return folder.path + "/" + SettingsName;
}

const std::string& settingsFile()
{
    if (!settingsPathKnown) {
        settingsPath = locateSettingsFile();
        settingsPathKnown = true;
    }
    return settingsPath;
}

// Only a regular file is ever opened: reading a FIFO would block for good, and
// opening a device may do something. -1 for anything else.
int openRegularFile(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

// The first bytes of config.dat, creating an empty file on the first run.
// A file that cannot be read, or is not a regular file, counts as empty.
int readSettingsBytes(const std::string& path, unsigned char* record)
{
    if (path.empty())
        return 0;
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        const int created = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created >= 0)
            close(created);
        return 0;
    }
    const int fd = openRegularFile(path);
    if (fd < 0)
        return 0;
    const int n = readFully(fd, record, RecordSize);
    close(fd);
    return n < 0 ? 0 : n;
}

// Everything after the first RecordSize bytes of the old file, so a longer
// file keeps its tail. False when the old file is there but cannot be read
// whole, or is not a regular file: then it is left as it is.
bool appendOldTail(const std::string& path, std::string& bytes)
{
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT)
        return true;
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    bool ok = lseek(fd, RecordSize, SEEK_SET) >= 0;
    unsigned char chunk[4096];
    while (ok) {
        const int n = readFully(fd, chunk, sizeof chunk);
        if (n > 0)
            bytes.append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(n));
        ok = n >= 0;
        if (n < static_cast<int>(sizeof chunk))
            break;
    }
    close(fd);
    return ok;
}

} // namespace

int clampWaitTime(long long milliseconds)
{
    if (milliseconds < 0)
        return 0;
    if (milliseconds > MaxWaitTime)
        return MaxWaitTime;
    return static_cast<int>(milliseconds);
}

// Every field the file supplies whole is taken; the rest keep their defaults.
// The window moves only when both left and top are there.
void loadSettings(Window* window)
{
    settingsPathKnown = false;
    unsigned char record[RecordSize] = {};
    const int size = readSettingsBytes(settingsFile(), record);
    blackPlayer = size >= 2 ? readInt16(record) : 0;
    whitePlayer = size >= 4 ? readInt16(record + 2) : 0;
    positionKnown = false;
    if (size >= 16 && window) {
        knownLeft = readInt32(record + 8);
        knownTop = readInt32(record + 12);
        moveWindow(window, knownLeft, knownTop, MovedWidth, MovedHeight);
        invalidateWindow(window);
        // Brought onto a screen, the window may stand elsewhere than stored.
        const Rect frame = windowRect(window);
        positionKnown = frame.left == knownLeft && frame.top == knownTop;
    }
    waitTime = size >= 8 ? clampWaitTime(readInt32(record + 4)) : DefaultWaitTime;
    gameState = GameOver;
    setRecordEntry(1, {-1, -1});
}

void saveSettings(Window* window)
{
    unsigned char record[RecordSize];
    const Rect frame = window ? windowRect(window) : Rect{0, 0, 0, 0};
    writeInt16(record, blackPlayer);
    writeInt16(record + 2, whitePlayer);
    writeInt32(record + 4, waitTime);
    writeInt32(record + 8, frame.left);
    writeInt32(record + 12, frame.top);
    const std::string& path = settingsFile();
    std::string bytes(reinterpret_cast<const char*>(record), RecordSize);
    if (!path.empty() && appendOldTail(path, bytes) && saveFileSafely(path, bytes) == 0) {
        positionKnown = true;
        knownLeft = frame.left;
        knownTop = frame.top;
    }
}

void onWindowMoved(Window* window)
{
    setTimer(window, MovedSaveTimer, MovedSaveDelay);
}

void onMovedSaveTimer(Window* window)
{
    killTimer(window, MovedSaveTimer);
    const Rect frame = windowRect(window);
    if (!positionKnown || frame.left != knownLeft || frame.top != knownTop)
        saveSettings(window);
}

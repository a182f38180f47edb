#include "modes/settings.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "ui/playflow.h"

namespace {

constexpr const char* SettingsPath = "config.dat";
// Written first and renamed over the real file, so a failed save never leaves
// a half-written config.dat behind.
constexpr const char* TempPath = "config.dat.tmp";
constexpr int RecordSize = 16;
constexpr int DefaultWaitTime = 200;
constexpr int MovedWidth = 540;
constexpr int MovedHeight = 355;

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

bool writeFully(int fd, const unsigned char* buffer, int count)
{
    int done = 0;
    while (done < count) {
        const ssize_t n = write(fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<int>(n);
    }
    return true;
}

// The first bytes of config.dat, creating an empty file on the first run.
// A file that cannot be opened or read counts as empty.
int readSettingsBytes(unsigned char* record)
{
    int fd = open(SettingsPath, O_RDWR | O_CREAT, 0644);
    if (fd < 0) // e.g. a read-only file or directory: still take what is there
        fd = open(SettingsPath, O_RDONLY);
    if (fd < 0)
        return 0;
    const int n = readFully(fd, record, RecordSize);
    close(fd);
    return n < 0 ? 0 : n;
}

// Copies everything after the first RecordSize bytes of the old file, so a
// longer file keeps its tail. False when the old file exists but is unreadable.
bool copyOldTail(int to)
{
    const int from = open(SettingsPath, O_RDONLY);
    if (from < 0)
        return errno == ENOENT;
    bool ok = lseek(from, RecordSize, SEEK_SET) >= 0;
    unsigned char chunk[4096];
    while (ok) {
        const int n = readFully(from, chunk, sizeof chunk);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = writeFully(to, chunk, n);
    }
    close(from);
    return ok;
}

// Existing but not writable for us: leave it as it is.
bool settingsFileLocked()
{
    struct stat info;
    if (stat(SettingsPath, &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) || access(SettingsPath, W_OK) != 0;
}

bool writeTempFile(const unsigned char* record)
{
    const int fd = open(TempPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = writeFully(fd, record, RecordSize) && copyOldTail(fd) && fsync(fd) == 0;
    return close(fd) == 0 && ok;
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
    unsigned char record[RecordSize] = {};
    const int size = readSettingsBytes(record);
    blackPlayer = size >= 2 ? readInt16(record) : 0;
    whitePlayer = size >= 4 ? readInt16(record + 2) : 0;
    if (size >= 16 && window) {
        moveWindow(window, readInt32(record + 8), readInt32(record + 12), MovedWidth, MovedHeight);
        invalidateWindow(window);
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
    if (settingsFileLocked())
        return;
    if (!writeTempFile(record) || rename(TempPath, SettingsPath) != 0)
        unlink(TempPath);
}

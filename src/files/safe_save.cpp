#include "files/safe_save.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int MaxLinks = 40; // as many as the kernel follows in one path
constexpr int NameAttempts = 100;
// The part of the file's name a temporary name repeats: a name near the
// 255-byte limit must leave room for the dot and the six letters.
constexpr size_t NameInTemporary = 32;
constexpr int SuffixLength = 6;
constexpr const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// A save takes moments; a temporary file this old was abandoned.
constexpr time_t StaleSeconds = 60;

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link of its last part followed; a dangling
// link gives the path it points to.
int followLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hop = 0; hop < MaxLinks; ++hop) {
        struct stat info;
        if (lstat(target.c_str(), &info) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(info.st_mode))
            return 0;
        char link[4096];
        const ssize_t n = readlink(target.c_str(), link, sizeof link - 1);
        if (n < 0)
            return errno;
        const std::string next(link, static_cast<size_t>(n));
        target = next[0] == '/' ? next : folderOf(target) + "/" + next;
    }
    return ELOOP;
}

bool writeAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Six letters that no other save of this process or another is using now.
std::string uniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    unsigned long long x = static_cast<unsigned long long>(now.tv_nsec) ^
                           (static_cast<unsigned long long>(getpid()) << 32) ^
                           (counter++ * 0x9E3779B97F4A7C15ull);
    std::string suffix;
    for (int i = 0; i < SuffixLength; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        suffix += Letters[(x >> 33) % (sizeof Letters - 1)];
    }
    return suffix;
}

// At most NameInTemporary bytes of name, not cutting a UTF-8 character.
std::string shortened(const std::string& name)
{
    if (name.size() <= NameInTemporary)
        return name;
    size_t end = NameInTemporary;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

// A new hidden file beside target, readable by us alone until it is ready:
// "." + (the start of) target's name + "." + six letters.
int createTemporary(const std::string& target, bool replacing, std::string& name, int& fd)
{
    const std::string stem = folderOf(target) + "/." + shortened(nameOf(target)) + ".";
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        name = stem + uniqueSuffix();
        fd =
            open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// The replacement must look like the file it replaces.
bool takeOwnerAndMode(int fd, const struct stat& old)
{
    struct stat mine;
    if (fstat(fd, &mine) != 0)
        return false;
    if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return fchmod(fd, old.st_mode & 07777) == 0;
}

void syncFolder(const std::string& target)
{
    const int fd = open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The fallback when the temporary file failed with reason: the existing file
// is overwritten from its start, then cut to the new length. Only when the
// new bytes fit in the file's present length: a longer content could run
// out of room halfway (the usual reason to be here), after the old content
// is gone. Never opens anything but a regular file.
int writeInPlace(const std::string& target, std::string_view bytes, int reason)
{
    const int fd = open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info;
    int error = 0;
    if (fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = EINVAL;
    else if (bytes.size() > static_cast<unsigned long long>(info.st_size))
        error = reason;
    else if (!writeAll(fd, bytes) || ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Writes bytes to the temporary file fd, flushes it to the disk and renames
// it over target, then flushes the folder when asked; on a failure the
// temporary file goes and target is as it was.
int fillAndRename(int fd, const std::string& temporary, const std::string& target, std::string_view bytes,
                  bool flushFolder)
{
    int error = 0;
    if (!writeAll(fd, bytes) || fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        return error;
    }
    if (flushFolder)
        syncFolder(target);
    return 0;
}

// ".<at least one byte>.<six letters>", as createTemporary names them.
bool isTemporaryName(std::string_view name)
{
    const size_t length = name.size();
    if (length < SuffixLength + 3 || name[0] != '.' || name[length - SuffixLength - 1] != '.')
        return false;
    const std::string_view suffix = name.substr(length - SuffixLength);
    return suffix.find_first_not_of(std::string_view(Letters, sizeof Letters - 1)) == std::string_view::npos;
}

// A full disk may still take bytes over blocks the file already has.
bool outOfRoom(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

} // namespace

int saveFileSafely(const std::string& path, std::string_view bytes, InPlace inPlace)
{
    std::string target;
    if (const int error = followLinks(path, target))
        return error;
    struct stat old;
    const bool exists = stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists && !S_ISREG(old.st_mode))
        return EINVAL;
    if (exists && access(target.c_str(), W_OK) != 0)
        return errno;

    const bool mayWriteInPlace = exists && inPlace == InPlace::WhenNeeded;
    std::string temporary;
    int fd = -1;
    if (const int error = createTemporary(target, exists, temporary, fd))
        return mayWriteInPlace ? writeInPlace(target, bytes, error) : error;
    if (exists && !takeOwnerAndMode(fd, old)) {
        const int error = errno;
        close(fd);
        unlink(temporary.c_str());
        return mayWriteInPlace ? writeInPlace(target, bytes, error) : error;
    }
    const int error = fillAndRename(fd, temporary, target, bytes, true);
    return error != 0 && mayWriteInPlace && outOfRoom(error) ? writeInPlace(target, bytes, error) : error;
}

int saveFileAtomically(const std::string& path, std::string_view bytes)
{
    std::string temporary;
    int fd = -1;
    if (const int error = createTemporary(path, true, temporary, fd))
        return error;
    // The data is flushed before the rename, so the name never points at a
    // file without its bytes; the folder is not flushed, so a power cut may
    // lose the newest version (not the old one), at half the cost of a save
    // made after every move.
    return fillAndRename(fd, temporary, path, bytes, false);
}

void removeStaleTemporaries(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && now - info.st_mtime > StaleSeconds)
            unlink(path.c_str());
    }
    closedir(dir);
}

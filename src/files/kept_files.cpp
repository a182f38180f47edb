#include "files/kept_files.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far more copies than anyone runs at once; only a folder where no lock file
// can be made gets this far.
constexpr int MaxPlaces = 1000;
constexpr int LockAttempts = 10;

enum LockResult { Held = -1, Unavailable = -2 };

std::string lockPathOf(const std::string& path)
{
    return path + ".lock";
}

// "current.ggf" for place 1, "current-<number>.ggf" for the others.
std::string numbered(const std::string& name, int number)
{
    if (number == 1)
        return name;
    const size_t dot = std::min(name.rfind('.'), name.size());
    return name.substr(0, dot) + "-" + std::to_string(number) + name.substr(dot);
}

// The place number of entry among name's kin, or 0 when it is none of them.
int placeOf(std::string_view entry, const std::string& name)
{
    if (entry == name)
        return 1;
    const size_t dot = std::min(name.rfind('.'), name.size());
    const std::string_view stem = std::string_view(name).substr(0, dot);
    const std::string_view extension = std::string_view(name).substr(dot);
    if (entry.size() <= stem.size() + 1 + extension.size() || entry.substr(0, stem.size()) != stem ||
        entry[stem.size()] != '-' || entry.substr(entry.size() - extension.size()) != extension)
        return 0;
    const std::string_view digits =
        entry.substr(stem.size() + 1, entry.size() - stem.size() - 1 - extension.size());
    if (digits.size() > 4 || digits[0] == '0' ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
        return 0;
    const int number = std::stoi(std::string(digits));
    return number >= 2 ? number : 0;
}

// The lock of path's lock file, made when missing: the open descriptor, or
// Held while a running copy holds it, or Unavailable when no lock file can
// be opened there.
int lockFor(const std::string& path)
{
    const std::string lockPath = lockPathOf(path);
    for (int attempt = 0; attempt < LockAttempts; ++attempt) {
        const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return Unavailable;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return Held;
        }
        // A holder removes its lock file before it lets go, so a lock taken
        // on a file no longer under that name guards nothing: try again.
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(lockPath.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return fd;
        close(fd);
    }
    return Held;
}

bool exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

} // namespace

std::vector<std::string> keptFilesIn(const std::string& folder, const std::string& name)
{
    struct Found {
        std::string path;
        timespec modified;
        int place;
    };
    std::vector<Found> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const int place = placeOf(entry->d_name, name);
            const std::string path = folder + "/" + entry->d_name;
            struct stat info;
            if (place > 0 && lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                found.push_back({path, info.st_mtim, place});
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.modified.tv_sec != b.modified.tv_sec)
            return a.modified.tv_sec > b.modified.tv_sec;
        if (a.modified.tv_nsec != b.modified.tv_nsec)
            return a.modified.tv_nsec > b.modified.tv_nsec;
        return a.place < b.place;
    });
    std::vector<std::string> paths;
    for (const Found& f : found)
        paths.push_back(f.path);
    return paths;
}

bool claimKeptFile(const std::string& path, KeptFile& file)
{
    const int fd = lockFor(path);
    if (fd < 0)
        return false;
    KeptFile claimed{path, fd};
    // Another copy may have taken it, ended it and let go since it was listed.
    if (!exists(path)) {
        releaseKeptFile(claimed);
        return false;
    }
    file = claimed;
    return true;
}

KeptFile claimFreeKeptFile(const std::string& folder, const std::string& name)
{
    for (int place = 1; place <= MaxPlaces; ++place) {
        const std::string path = folder + "/" + numbered(name, place);
        KeptFile file{path, lockFor(path)};
        if (file.lock == Unavailable)
            break;
        if (file.lock == Held)
            continue;
        // A file left by a copy that is gone waits for a start to offer it.
        if (!exists(file.path))
            return file;
        releaseKeptFile(file);
    }
    return {};
}

void releaseKeptFile(KeptFile& file)
{
    if (file.lock >= 0) {
        unlink(lockPathOf(file.path).c_str());
        close(file.lock);
    }
    file = {};
}

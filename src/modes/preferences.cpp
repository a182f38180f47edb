#include "modes/preferences.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/paths.h"
#include "files/safe_save.h"

int windowScalePercent = 100;
int showOpeningNames = 1;
int showLastMove = 1;

namespace {

// One line of the file per preference. A value that is not a whole number
// from low to high reads as the fallback. A yes/no preference is 0 or 1.
struct Preference {
    const char* key;
    int* value;
    int fallback;
    int low, high;
};

const Preference preferences[] = {
    {"window-scale", &windowScalePercent, 100, 100, 200},
    {"opening-names", &showOpeningNames, 1, 0, 1},
    {"last-move-mark", &showLastMove, 1, 0, 1},
};

// Far more than the file of any version holds: a larger file is not ours,
// and is neither read nor overwritten.
constexpr size_t MaxFileSize = 64 * 1024;

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The preference a line sets, with its value text; nullptr for other lines.
const Preference* preferenceOf(const std::string& line, std::string* value)
{
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
        return nullptr;
    const std::string key = trimmed(line.substr(0, equals));
    for (const Preference& p : preferences)
        if (key == p.key) {
            *value = trimmed(line.substr(equals + 1));
            return &p;
        }
    return nullptr;
}

int valueOf(const Preference& p, const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const long v = text.empty() ? 0 : std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < p.low || v > p.high)
        return p.fallback;
    return static_cast<int>(v);
}

std::string lineOf(const Preference& p)
{
    return std::string(p.key) + "=" + std::to_string(*p.value);
}

std::string filePath()
{
    const AppFolder folder = configFolder();
    return folder.path.empty() ? "" : folder.path + "/" + PreferencesName;
}

// The whole file: 0, or the errno value of what kept it from being read. A
// missing file reads as empty; anything but a regular file is left alone.
int readFile(const std::string& path, std::string& text)
{
    text.clear();
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    char chunk[4096];
    int error = 0;
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        text.append(chunk, static_cast<size_t>(n));
        if (text.size() > MaxFileSize) {
            error = EFBIG;
            break;
        }
    }
    close(fd);
    return error;
}

} // namespace

// The last line of a key counts, as when the file is read from top to bottom.
void readPreferences(const std::string& text)
{
    for (const Preference& p : preferences)
        *p.value = p.fallback;
    std::string value;
    for (const std::string& line : linesOf(text))
        if (const Preference* p = preferenceOf(line, &value))
            *p->value = valueOf(*p, value);
}

std::string writePreferences(const std::string& text)
{
    std::string out;
    std::vector<bool> written(std::size(preferences), false);
    std::string value;
    for (const std::string& line : linesOf(text)) {
        const Preference* p = preferenceOf(line, &value);
        if (p)
            written[static_cast<size_t>(p - preferences)] = true;
        out += (p ? lineOf(*p) : line) + "\n";
    }
    for (size_t i = 0; i < std::size(preferences); ++i)
        if (!written[i])
            out += lineOf(preferences[i]) + "\n";
    return out;
}

void loadPreferences()
{
    std::string text;
    const std::string path = filePath();
    readPreferences(!path.empty() && readFile(path, text) == 0 ? text : "");
}

// The file is read again first: another copy of the game, or a later version,
// may have written lines since this one started.
int savePreferences()
{
    const std::string path = filePath();
    if (path.empty())
        return ENOENT;
    std::string text;
    if (const int error = readFile(path, text))
        return error;
    return saveFileSafely(path, writePreferences(text));
}

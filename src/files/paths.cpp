#include "files/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sys/stat.h>

#include "files/safe_save.h"

namespace {

// XDG base directories ignore relative paths: they would depend
// on the folder the program happens to start in.
const char* absoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

bool isDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p; "" or what failed. Folders that are there are left alone,
// whatever their mode.
std::string makeFolders(const std::string& path)
{
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        const bool wanted = !part.empty() && part.back() != '/' && !isDirectory(part);
        if (wanted && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return "cannot create " + part + ": " + std::strerror(errno);
        if (end == std::string::npos)
            break;
    }
    return isDirectory(path) ? "" : path + " is not a folder";
}

// <$variable or $HOME/homeDefault>/tavix-reversi.
AppFolder appFolder(const char* variable, const char* homeDefault)
{
    std::string base;
    if (const char* value = absoluteVariable(variable))
        base = value;
    else if (const char* home = absoluteVariable("HOME"))
        base = std::string(home) + "/" + homeDefault;
    else
        return {"", std::string("neither ") + variable + " nor HOME names a folder"};
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    const std::string path = base + "/" + AppFolderName;
    const std::string problem = makeFolders(path);
    if (!problem.empty())
        return {"", problem};
    // Once a run, before anything is saved there: what a killed save left.
    static std::set<std::string> swept;
    if (swept.insert(path).second)
        removeStaleTemporaries(path);
    return {path, ""};
}

} // namespace

AppFolder configFolder()
{
    return appFolder("XDG_CONFIG_HOME", ".config");
}

AppFolder stateFolder()
{
    return appFolder("XDG_STATE_HOME", ".local/state");
}

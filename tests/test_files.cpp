// Saving a file whole, and finding the program's configuration folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/paths.h"
#include "files/safe_save.h"

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

unsigned modeOf(const fs::path& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

int entries(const fs::path& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A folder of the test's own, open to every user (a check may run as nobody).
class Scratch : public ::testing::Test {
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/files-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        chmod(pattern, 0755);
    }
    void TearDown() override
    {
        chmod(dir.c_str(), 0755);
        fs::remove_all(dir);
    }
    fs::path dir;
};

// Runs check as an ordinary user: as root, folder and file modes would not
// bind. The check returns "" or what went wrong.
std::string asOrdinaryUser(std::string (*check)(const fs::path&), const fs::path& dir)
{
    if (geteuid() != 0)
        return check(dir);
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        const std::string problem = dropped ? check(dir) : "could not become nobody";
        std::fputs(problem.c_str(), stderr);
        _exit(problem.empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "failed as an ordinary user (see stderr)";
}

} // namespace

using SafeSave = Scratch;

TEST_F(SafeSave, ReplacesTheWholeContentKeepsTheModeAndLeavesNothingBeside)
{
    const mode_t oldMask = umask(022);
    const fs::path file = dir / "config.dat";
    EXPECT_EQ(saveFileSafely(file, "a longer first content"), 0);
    EXPECT_EQ(modeOf(file), 0644u);
    chmod(file.c_str(), 0600);
    EXPECT_EQ(saveFileSafely(file, std::string("x\0y", 3)), 0);
    EXPECT_EQ(readText(file), std::string("x\0y", 3));
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(entries(dir), 1);
    umask(oldMask);

    mkfifo((dir / "fifo").c_str(), 0644); // not a regular file: left as it is
    EXPECT_NE(saveFileSafely(dir / "fifo", "bytes"), 0);
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    fs::create_directory(dir / "folder");
    EXPECT_NE(saveFileSafely(dir / "folder", "bytes"), 0);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(entries(dir), 3);
}

TEST_F(SafeSave, ALinkStaysALinkAndItsTargetReceivesTheBytes)
{
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    writeText(dir / "real/config.dat", "old");
    fs::create_symlink("../real/config.dat", dir / "links/config.dat");
    fs::create_symlink("nowhere.dat", dir / "links/dangling.dat");

    EXPECT_EQ(saveFileSafely(dir / "links/config.dat", "new"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "links/config.dat"));
    EXPECT_EQ(readText(dir / "real/config.dat"), "new");
    EXPECT_EQ(saveFileSafely(dir / "links/dangling.dat", "made"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "links/dangling.dat"));
    EXPECT_EQ(readText(dir / "links/nowhere.dat"), "made");
    EXPECT_EQ(entries(dir / "real"), 1);
    EXPECT_EQ(entries(dir / "links"), 3);
}

namespace {
// No temporary file can be made in a read-only folder: a writable file is
// written in place, unless the save must be atomic; a read-only one stays as
// it was.
std::string readOnlyFolder(const fs::path& dir)
{
    if (saveFileSafely(dir / "writable", "new") != 0 || readText(dir / "writable") != "new")
        return "the writable file in a read-only folder was not saved: " + readText(dir / "writable");
    if (saveFileAtomically(dir / "writable", "torn") != EACCES || readText(dir / "writable") != "new")
        return "an atomic save wrote in place";
    if (saveFileSafely(dir / "writable", "torn", InPlace::Never) != EACCES ||
        readText(dir / "writable") != "new")
        return "a save that may not write in place did";
    if (saveFileSafely(dir / "locked", "new") != EACCES || readText(dir / "locked") != "old")
        return "the read-only file was touched";
    if (saveFileSafely(dir / "absent", "new") == 0)
        return "a new file appeared in a read-only folder";
    return "";
}
} // namespace

TEST_F(SafeSave, AReadOnlyFolderStillSavesAWritableFileInPlace)
{
    writeText(dir / "writable", "an older and longer content");
    writeText(dir / "locked", "old");
    chmod((dir / "writable").c_str(), 0666);
    chmod((dir / "locked").c_str(), 0444);
    chmod(dir.c_str(), 0555);
    EXPECT_EQ(asOrdinaryUser(readOnlyFolder, dir), "");
    EXPECT_EQ(modeOf(dir / "writable"), 0666u);
}

// Two programs saving at once each rename a whole file of their own: a reader
// only ever sees one complete content.
TEST_F(SafeSave, ConcurrentSavesNeverMix)
{
    const fs::path file = dir / "config.dat";
    const std::string contents[2] = {std::string(16384, 'a'), std::string(16384, 'b')};
    writeText(file, contents[0]);
    pid_t children[2];
    for (int k = 0; k < 2; ++k) {
        children[k] = fork();
        if (children[k] == 0) {
            for (int i = 0; i < 60; ++i)
                if (saveFileSafely(file, contents[k]) != 0)
                    _exit(1);
            _exit(0);
        }
    }
    int torn = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string seen = readText(file);
        torn += seen != contents[0] && seen != contents[1];
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(entries(dir), 1);
}

namespace {
void setOrUnset(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}
} // namespace

using ConfigFolder = Scratch;

TEST_F(ConfigFolder, FromTheVariableOrHomeCreatedWithItsParents)
{
    const std::string home = dir / "home";
    const std::string xdg = dir / "xdg/deeper";
    const std::string xdgWithSlash = xdg + "/";
    struct Case {
        const char* xdg;
        const char* home;
        std::string path;
    };
    const Case cases[] = {
        {xdg.c_str(), home.c_str(), xdg + "/tavix-reversi"},
        {xdgWithSlash.c_str(), nullptr, xdg + "/tavix-reversi"},
        {nullptr, home.c_str(), home + "/.config/tavix-reversi"},
        {"", home.c_str(), home + "/.config/tavix-reversi"},
        {"relative/config", home.c_str(), home + "/.config/tavix-reversi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        setOrUnset("XDG_CONFIG_HOME", c.xdg);
        setOrUnset("HOME", c.home);
        const AppFolder folder = configFolder();
        EXPECT_EQ(folder.path, c.path);
        EXPECT_EQ(folder.problem, "");
        EXPECT_TRUE(fs::is_directory(c.path));
        EXPECT_EQ(modeOf(c.path), 0700u);
    }
    EXPECT_FALSE(fs::exists("relative"));
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(stateFolder().path, home + "/.local/state/tavix-reversi");
    setenv("XDG_STATE_HOME", xdg.c_str(), 1);
    EXPECT_EQ(stateFolder().path, xdg + "/tavix-reversi");
}

TEST_F(ConfigFolder, NoFolderToBeHadSaysWhy)
{
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    AppFolder folder = configFolder();
    EXPECT_EQ(folder.path, "");
    EXPECT_EQ(folder.problem, "neither XDG_CONFIG_HOME nor HOME names a folder");

    writeText(dir / "a-file", "");
    setenv("XDG_CONFIG_HOME", (dir / "a-file").c_str(), 1);
    folder = configFolder();
    EXPECT_EQ(folder.path, "");
    EXPECT_EQ(folder.problem,
              "cannot create " + (dir / "a-file/tavix-reversi").string() + ": Not a directory");
}

// Saving a file whole, and finding the program's configuration folder.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sched.h>
#include <string>
#include <sys/mman.h>
#include <sys/mount.h>
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

    // A name at the 255-byte limit leaves no room for a longer temporary one.
    const fs::path longest = dir / std::string(255, 'n');
    EXPECT_EQ(saveFileSafely(longest, "whole"), 0);
    EXPECT_EQ(saveFileAtomically(longest, "again"), 0);
    EXPECT_EQ(readText(longest), "again");
    fs::remove(longest);

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
// Runs check in a child process on a 64 KiB file system of its own, mounted
// at dir/disk in a mount namespace of its own: "" when it passed, "no disk"
// when none can be mounted here (not root).
std::string onSmallDisk(std::string (*check)(const fs::path&), const fs::path& dir)
{
    const fs::path disk = dir / "disk";
    fs::create_directory(disk);
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            _exit(77);
        const std::string problem = check(disk);
        std::fputs(problem.c_str(), stderr);
        _exit(problem.empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        return "no disk";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "failed on a full disk (see stderr)";
}

// A full disk takes no temporary file's bytes: a content that fits in the
// old file's is written in place, a longer one is refused and the old
// content stays whole.
std::string fullDisk(const fs::path& disk)
{
    const fs::path file = disk / "config.dat";
    const std::string old(4000, 'o');
    writeText(file, old);
    const int filler = open((disk / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string block(4096, 'f');
    while (write(filler, block.data(), block.size()) > 0) {
    }
    close(filler);
    if (saveFileSafely(file, std::string(9000, 'n')) != ENOSPC || readText(file) != old)
        return "a longer content on a full disk: the file holds " + std::to_string(readText(file).size()) +
               " bytes";
    if (saveFileSafely(file, std::string(3000, 's')) != 0 || readText(file) != std::string(3000, 's'))
        return "a shorter content was not written in place";
    return entries(disk) == 2 ? "" : "a temporary file was left on the full disk";
}

// No temporary file can be made in a read-only folder: a writable file is
// written in place, unless the save must be atomic; a read-only one stays as
// it was.
std::string readOnlyFolder(const fs::path& dir)
{
    if (saveFileSafely(dir / "writable", "new") != 0 || readText(dir / "writable") != "new")
        return "the writable file in a read-only folder was not saved: " + readText(dir / "writable");
    if (saveFileSafely(dir / "writable", "longer than new") != EACCES || readText(dir / "writable") != "new")
        return "more bytes than the file holds were written in place";
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

TEST_F(SafeSave, WrittenInPlaceOnlyWhenNeededAndOnlyWhatFits)
{
    writeText(dir / "writable", "an older and longer content");
    writeText(dir / "locked", "old");
    chmod((dir / "writable").c_str(), 0666);
    chmod((dir / "locked").c_str(), 0444);
    chmod(dir.c_str(), 0555);
    EXPECT_EQ(asOrdinaryUser(readOnlyFolder, dir), "");
    EXPECT_EQ(modeOf(dir / "writable"), 0666u);

    chmod(dir.c_str(), 0755);
    const std::string onFullDisk = onSmallDisk(fullDisk, dir);
    if (onFullDisk == "no disk")
        GTEST_SKIP() << "no small file system can be mounted here for the full disk";
    EXPECT_EQ(onFullDisk, "");
}

// Two programs saving at once each rename a whole file of their own: a reader
// only ever sees one complete content, also while a save is under way.
TEST_F(SafeSave, ConcurrentSavesNeverMix)
{
    const fs::path file = dir / "config.dat";
    const std::string contents[2] = {std::string(16384, 'a'), std::string(16384, 'b')};
    writeText(file, contents[0]);
    struct Shared {
        std::atomic<int> saving{0}; // saves under way
        std::atomic<int> saved{0};
        std::atomic<bool> stop{false};
    };
    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Shared* shared = new (memory) Shared;
    pid_t children[2];
    for (int k = 0; k < 2; ++k) {
        children[k] = fork();
        if (children[k] == 0) {
            while (!shared->stop) {
                ++shared->saving;
                const int error = saveFileSafely(file, contents[k]);
                --shared->saving;
                ++shared->saved;
                if (error != 0)
                    _exit(1);
            }
            _exit(0);
        }
    }
    // Reads go on until 200 of them met a save under way, however slowly
    // the savers are scheduled.
    int torn = 0, overlapped = 0;
    for (int i = 0; i < 200000 && overlapped < 200; ++i) {
        const int savingBefore = shared->saving, savedBefore = shared->saved;
        const std::string seen = readText(file);
        overlapped += savingBefore > 0 || shared->saving > 0 || shared->saved != savedBefore;
        torn += seen != contents[0] && seen != contents[1];
    }
    shared->stop = true;
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(overlapped, 200);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(entries(dir), 1);
    munmap(memory, sizeof(Shared));
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

    // The first use in a run removes the temporary files of killed saves
    // there, and nothing else: not a save under way, nor another name.
    const fs::path state = dir / "state/tavix-reversi";
    fs::create_directories(state / ".folder.abcdef");
    const char* names[] = {".current.ggf.Ab3xY9", ".config.dat.abcdef",  ".current.ggf.abcde",
                           "current.ggf.abcdef",  ".current.ggf.abc-ef", ".x.abcdef"};
    for (const char* name : names)
        writeText(state / name, "");
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const char* name : {".current.ggf.Ab3xY9", ".current.ggf.abcde", "current.ggf.abcdef",
                             ".current.ggf.abc-ef", ".folder.abcdef", ".x.abcdef"})
        fs::last_write_time(state / name, old);
    setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    EXPECT_EQ(stateFolder().path, state.string());
    EXPECT_FALSE(fs::exists(state / ".current.ggf.Ab3xY9"));
    EXPECT_FALSE(fs::exists(state / ".x.abcdef"));
    EXPECT_EQ(entries(state), 5);
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

#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "config_home.h"
#include "modes/preferences.h"
#include "modes/settings.h"
#include "modes/window_size.h"
#include "modes_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Bytes = std::vector<unsigned char>;

class SettingsTest : public ModesTest {
  protected:
    fs::path folder() const { return directory / "config/tavix-reversi"; }
    fs::path file() const { return folder() / "config.dat"; }
    int entries(const fs::path& dir) const
    {
        return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
};

// Black lv3, White a person, 500 ms, window at (100, 80).
const Bytes sample = {0x04, 0, 0, 0, 0xF4, 0x01, 0, 0, 0x64, 0, 0, 0, 0x50, 0, 0, 0};

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeText(const fs::path& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}

std::string readText(const fs::path& path)
{
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(WaitTime, ClampedToWhatATimerTakes)
{
    EXPECT_EQ(clampWaitTime(-1), 0);
    EXPECT_EQ(clampWaitTime(0), 0);
    EXPECT_EQ(clampWaitTime(500), 500);
    EXPECT_EQ(clampWaitTime(MaxWaitTime), MaxWaitTime);
    EXPECT_EQ(clampWaitTime(4294967295LL), MaxWaitTime);
}

// The folder and an empty file appear at the first start; the working folder
// is never written to.
TEST_F(SettingsTest, FirstRunMakesTheFolderAndAnEmptyFileAndExitWritesSixteenBytes)
{
    EXPECT_EQ(fs::status(folder()).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(fs::exists(file()));
    EXPECT_EQ(fs::file_size(file()), 0u);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(waitTime, 200);
    destroyWindow(window);
    window = nullptr;
    EXPECT_EQ(fs::file_size(file()), 16u);
    EXPECT_EQ(entries(folder()), 1) << "a temporary file was left behind";
    EXPECT_EQ(entries(directory / "work"), 0);
}

TEST_F(SettingsTest, WithoutAFolderTheGameRunsOnDefaultsAndSaysSoOnce)
{
    destroyWindow(window);
    writeFile(directory / "not-a-folder", {});
    useConfigHome(directory / "not-a-folder");
    blackPlayer = 5;
    waitTime = 1;
    testing::internal::CaptureStderr();
    expectDialog(IDCANCEL);
    window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(waitTime, 200);
    destroyWindow(window);
    window = nullptr;
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string line = "reverse: the settings will not be saved: cannot create " + directory.string() +
                             "/not-a-folder/tavix-reversi: Not a directory\n";
    EXPECT_NE(said.find(line), std::string::npos) << said;
    EXPECT_EQ(said.find("will not be saved"), said.rfind("will not be saved")) << "said more than once";
    EXPECT_EQ(entries(directory / "work"), 0);
    EXPECT_EQ(entries(directory), 3); // work, config and not-a-folder: nothing saved anywhere
}

TEST_F(SettingsTest, SavedBytesAndARestartFromThem)
{
    blackPlayer = 4;
    whitePlayer = 0;
    waitTime = 500;
    moveWindow(window, 100, 80, 540, 355);
    saveSettings(window);
    EXPECT_EQ(readFile(file()), sample);

    blackPlayer = whitePlayer = waitTime = 0;
    moveWindow(window, 10, 10, 540, 375);
    loadSettings(window);
    EXPECT_EQ(blackPlayer, 4);
    EXPECT_EQ(whitePlayer, 0);
    EXPECT_EQ(waitTime, 500);
    const Rect frame = windowRect(window);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 80);
    EXPECT_EQ(gameState, GameOver);
    EXPECT_EQ(recordEntry(1), (Move{-1, -1}));
}

// Fields are taken whole where the file has them; the position only with
// both left and top. A longer file keeps its tail when saved.
TEST_F(SettingsTest, ShortAndLongFiles)
{
    Bytes full = {3, 0, 5, 0, 0xBC, 0x02, 0, 0, 120, 0, 0, 0, 90, 0, 0, 0};
    for (int i = 0; i < 24; ++i)
        full.push_back(static_cast<unsigned char>(0xA0 + i));
    for (int size : {0, 1, 7, 15, 16, 40}) {
        SCOPED_TRACE(size);
        writeFile(file(), Bytes(full.begin(), full.begin() + size));
        moveWindow(window, 10, 10, 540, 375);
        blackPlayer = whitePlayer = 6;
        waitTime = 1;
        loadSettings(window);
        EXPECT_EQ(blackPlayer, size >= 2 ? 3 : 0);
        EXPECT_EQ(whitePlayer, size >= 4 ? 5 : 0);
        EXPECT_EQ(waitTime, size >= 8 ? 700 : 200);
        EXPECT_EQ(windowRect(window).left, size >= 16 ? 120 : 10);
        EXPECT_EQ(fs::file_size(file()), static_cast<uintmax_t>(size));
    }
    waitTime = 300;
    saveSettings(window);
    const Bytes saved = readFile(file());
    ASSERT_EQ(saved.size(), 40u);
    EXPECT_EQ(saved[4], 0x2C); // 300
    EXPECT_TRUE(std::equal(saved.begin() + 16, saved.end(), full.begin() + 16));
}

// Only a regular file is read: reading a FIFO would block the start for good.
// Anything else loads as empty and is left as it is.
TEST_F(SettingsTest, AFifoOrAFolderLoadsAsEmptyAndStaysAsItIs)
{
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "folder");
        fs::remove(file());
        ASSERT_TRUE(fifo ? mkfifo(file().c_str(), 0644) == 0 : fs::create_directory(file()));
        blackPlayer = 3;
        waitTime = 999;
        loadSettings(window);
        EXPECT_EQ(blackPlayer, 0);
        EXPECT_EQ(waitTime, 200);
        saveSettings(window);
        EXPECT_EQ(fs::status(file()).type(), fifo ? fs::file_type::fifo : fs::file_type::directory);
        EXPECT_EQ(entries(folder()), 1);
    }
}

// A linked config.dat stays a link; the file it names gets the bytes, its tail
// and its mode kept.
TEST_F(SettingsTest, ALinkedFileIsReadAndSavedThroughTheLink)
{
    Bytes longer = sample;
    longer.insert(longer.end(), {0xE1, 0xE2, 0xE3});
    writeFile(directory / "elsewhere.dat", longer);
    fs::permissions(directory / "elsewhere.dat", fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(file());
    fs::create_symlink(directory / "elsewhere.dat", file());
    loadSettings(window);
    EXPECT_EQ(blackPlayer, 4);
    waitTime = 300;
    saveSettings(window);
    EXPECT_TRUE(fs::is_symlink(file()));
    const Bytes saved = readFile(directory / "elsewhere.dat");
    ASSERT_EQ(saved.size(), 19u);
    EXPECT_EQ(saved[4], 0x2C); // 300
    EXPECT_EQ(saved[16], 0xE1);
    EXPECT_EQ(fs::status(directory / "elsewhere.dat").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SettingsTest, GarbageFieldsAreSurvived)
{
    writeFile(file(), {99, 0, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x60, 0x79, 0xFE, 0xFF, 0xA0, 0x86, 1, 0});
    loadSettings(window);
    EXPECT_EQ(blackPlayer, 99);
    EXPECT_EQ(whitePlayer, -3);
    EXPECT_EQ(waitTime, MaxWaitTime);
    writeFile(file(), {0, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF});
    loadSettings(window);
    EXPECT_EQ(waitTime, 0);

    blackPlayer = 99; // no level selected in the dialog: OK makes it a person
    whitePlayer = -3;
    expectDialog(IDOK);
    onCommand(window, CmdNewGame);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(whitePlayer, 0);
    EXPECT_EQ(gameState, HumanTurn);

    // 8 is lv7, the last of the list: kept by OK, saved and read back as 8;
    // 9 lies beyond it and selects nothing, as above.
    blackPlayer = 9;
    whitePlayer = 8;
    expectMessageBox(IDOK); // resign the game in progress
    expectDialog(IDOK);
    onCommand(window, CmdNewGame);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(whitePlayer, 8);
    EXPECT_EQ(readFile(file())[2], 8);
    whitePlayer = 0;
    loadSettings(window);
    EXPECT_EQ(whitePlayer, 8);
}

// A move is saved once the window has stood still for a second, and only when
// it stands elsewhere than the file says; the desktop's request to save the
// session writes the file at once.
TEST_F(SettingsTest, SettledMovesAndTheSessionsEndAreSaved)
{
    moveWindow(window, 100, 80, 540, 355);
    sendMessage(window, WM_MOVE, 0, 0);
    EXPECT_EQ(timerInterval(window, MovedSaveTimer), 1000);
    blackPlayer = 4;
    waitTime = 500;
    fireTimer(window, MovedSaveTimer);
    EXPECT_FALSE(timerPending(window, MovedSaveTimer));
    EXPECT_EQ(readFile(file()), sample);

    fs::remove(file());
    sendMessage(window, WM_MOVE, 0, 0);
    fireTimer(window, MovedSaveTimer);
    EXPECT_FALSE(fs::exists(file())) << "written though the window stands where it was saved";

    sendMessage(window, WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(readFile(file()), sample);
}

// Lines of keys this version does not know, comments and damage are kept on
// rewrite; a value that is no whole number in range reads as the default;
// the last line of a key counts.
TEST(Preferences, KnownKeysAreReadAndRewrittenAndEveryOtherLineKept)
{
    const std::string other =
        "# sizes\nwindow-scale = 150\r\nshow-clock=1\nopening-names=0\nlast-move-mark=7\n\x01=\x02\0junk"s;
    readPreferences(other);
    EXPECT_EQ(windowScalePercent, 150);
    EXPECT_EQ(showOpeningNames, 0);
    EXPECT_EQ(showLastMove, 1) << "a yes or no is 0 or 1";
    windowScalePercent = 200;
    EXPECT_EQ(
        writePreferences(other),
        "# sizes\nwindow-scale=200\nshow-clock=1\nopening-names=0\nlast-move-mark=1\n\x01=\x02\0junk\n"s);
    EXPECT_EQ(writePreferences(""), "window-scale=200\nopening-names=0\nlast-move-mark=1\n");
    showOpeningNames = 1;
    for (const char* bad : {"window-scale=abc", "window-scale=", "window-scale=99", "window-scale=201",
                            "window-scale=150x", "window-scale=99999999999999999999"}) {
        readPreferences(bad);
        EXPECT_EQ(windowScalePercent, 100) << bad;
    }
    readPreferences("window-scale=150\nwindow-scale=200\n");
    EXPECT_EQ(windowScalePercent, 200);
}

// The size chosen in the 表示 menu shows at once, is kept in
// preferences.conf (config.dat keeps its sixteen bytes) and comes back at the
// next start. On this 1024 x 768 screen 200% has no room: it is grayed and
// refused, and when remembered the largest size that fits comes instead.
TEST_F(SettingsTest, TheWindowsSizeIsChosenKeptAndFitToTheScreen)
{
    const fs::path preferences = folder() / PreferencesName;
    EXPECT_TRUE(itemChecked(CmdSize100));
    EXPECT_TRUE(itemEnabled(CmdSize150));
    EXPECT_FALSE(itemEnabled(CmdSize200));
    writeText(preferences, "# mine\nlater-key=1\n");
    onCommand(window, CmdSize150);
    onCommand(window, CmdSize200);
    EXPECT_EQ(windowScale(window), 150);
    EXPECT_TRUE(itemChecked(CmdSize150));
    EXPECT_FALSE(itemChecked(CmdSize100));
    EXPECT_EQ(readText(preferences),
              "# mine\nlater-key=1\nwindow-scale=150\nopening-names=1\nlast-move-mark=1\n");
    destroyWindow(window);
    EXPECT_EQ(fs::file_size(file()), 16u);

    writeText(preferences, "window-scale=200\n");
    expectDialog(IDCANCEL);
    window = createMainWindow("Blantu", "Tavixリバーシ", 540, 375);
    EXPECT_EQ(windowScale(window), 150);
    EXPECT_TRUE(itemChecked(CmdSize150));
    EXPECT_EQ(readText(preferences), "window-scale=200\n") << "kept for a larger screen";
}

// A damaged preferences file gives the defaults; one that is not a regular
// file, or far too large to be ours, is also left as it is.
TEST_F(SettingsTest, ADamagedPreferencesFileGivesTheDefaults)
{
    const fs::path preferences = folder() / PreferencesName;
    const std::string huge(100000, 'x');
    for (const std::string& damage : {"\xff\xfe\0\0window-scale\n=150"s, huge}) {
        writeText(preferences, damage);
        windowScalePercent = 150;
        loadPreferences();
        EXPECT_EQ(windowScalePercent, 100);
        onCommand(window, CmdSize150);
        EXPECT_EQ(windowScale(window), 150);
        const std::string kept = readText(preferences);
        EXPECT_EQ(kept, damage.size() > 1000
                            ? damage
                            : damage + "\nwindow-scale=150\nopening-names=1\nlast-move-mark=1\n");
        onCommand(window, CmdSize100);
    }
    fs::remove(preferences);
    fs::create_directory(preferences);
    loadPreferences();
    EXPECT_EQ(windowScalePercent, 100);
    onCommand(window, CmdSize150);
    EXPECT_TRUE(fs::is_directory(preferences));
}

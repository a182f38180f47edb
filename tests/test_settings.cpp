#include <fstream>
#include <iterator>

#include "modes/settings.h"
#include "modes_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using SettingsTest = ModesTest;

// Black lv3, White a person, 500 ms, window at (100, 80).
const Bytes sample = {0x04, 0, 0, 0, 0xF4, 0x01, 0, 0, 0x64, 0, 0, 0, 0x50, 0, 0, 0};

void writeFile(const char* path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
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

TEST_F(SettingsTest, FirstRunCreatesAnEmptyFileAndExitWritesSixteenBytes)
{
    EXPECT_TRUE(std::filesystem::exists("config.dat"));
    EXPECT_EQ(std::filesystem::file_size("config.dat"), 0u);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(waitTime, 200);
    destroyWindow(window);
    window = nullptr;
    EXPECT_EQ(std::filesystem::file_size("config.dat"), 16u);
    EXPECT_FALSE(std::filesystem::exists("config.dat.tmp"));
}

TEST_F(SettingsTest, SavedBytesAndARestartFromThem)
{
    blackPlayer = 4;
    whitePlayer = 0;
    waitTime = 500;
    moveWindow(window, 100, 80, 540, 355);
    saveSettings(window);
    EXPECT_EQ(readFile("config.dat"), sample);

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
        writeFile("config.dat", Bytes(full.begin(), full.begin() + size));
        moveWindow(window, 10, 10, 540, 375);
        blackPlayer = whitePlayer = 6;
        waitTime = 1;
        loadSettings(window);
        EXPECT_EQ(blackPlayer, size >= 2 ? 3 : 0);
        EXPECT_EQ(whitePlayer, size >= 4 ? 5 : 0);
        EXPECT_EQ(waitTime, size >= 8 ? 700 : 200);
        EXPECT_EQ(windowRect(window).left, size >= 16 ? 120 : 10);
        EXPECT_EQ(std::filesystem::file_size("config.dat"), static_cast<uintmax_t>(size));
    }
    waitTime = 300;
    saveSettings(window);
    const Bytes saved = readFile("config.dat");
    ASSERT_EQ(saved.size(), 40u);
    EXPECT_EQ(saved[4], 0x2C); // 300
    EXPECT_TRUE(std::equal(saved.begin() + 16, saved.end(), full.begin() + 16));
}

TEST_F(SettingsTest, AFailedSaveLeavesTheOldFile)
{
    writeFile("config.dat", sample);
    std::filesystem::create_directory("config.dat.tmp");
    waitTime = 999;
    saveSettings(window);
    EXPECT_EQ(readFile("config.dat"), sample);
    std::filesystem::remove("config.dat.tmp");

    std::filesystem::remove("config.dat");
    std::filesystem::create_directory("config.dat");
    loadSettings(window); // unreadable: defaults
    EXPECT_EQ(waitTime, 200);
    saveSettings(window);
    EXPECT_TRUE(std::filesystem::is_directory("config.dat"));
    EXPECT_FALSE(std::filesystem::exists("config.dat.tmp"));
    std::filesystem::remove("config.dat");
}

TEST_F(SettingsTest, GarbageFieldsAreSurvived)
{
    writeFile("config.dat",
              {99, 0, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x60, 0x79, 0xFE, 0xFF, 0xA0, 0x86, 1, 0});
    loadSettings(window);
    EXPECT_EQ(blackPlayer, 99);
    EXPECT_EQ(whitePlayer, -3);
    EXPECT_EQ(waitTime, MaxWaitTime);
    writeFile("config.dat", {0, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF});
    loadSettings(window);
    EXPECT_EQ(waitTime, 0);

    blackPlayer = 99; // no level selected in the dialog: OK makes it a person
    whitePlayer = -3;
    expectDialog(IDOK);
    onCommand(window, CmdNewGame);
    EXPECT_EQ(blackPlayer, 0);
    EXPECT_EQ(whitePlayer, 0);
    EXPECT_EQ(gameState, HumanTurn);
}

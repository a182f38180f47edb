// Every settings file the fuzzer starts from or has found a fault with,
// loaded and saved by a plain window; new findings go into the regressions
// directory and are replayed here from then on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

#include "../config_home.h"
#include "platform/platform.h"
#include "settings_check.h"

namespace {

namespace fs = std::filesystem;

LRESULT plainWindowProc(Window* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    return defaultWindowProc(window, message, wParam, lParam);
}

std::vector<fs::path> inputFiles()
{
    std::vector<fs::path> files;
    for (const char* folder : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(FUZZ_INPUT_DIR) / folder;
        if (fs::is_directory(dir))
            for (const auto& entry : fs::directory_iterator(dir))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path());
    }
    return files;
}

std::vector<uint8_t> readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

} // namespace

TEST(SettingsFiles, EveryKnownInputLoadsAndSavesSoundly)
{
    registerWindowClass({"PlainSettings", plainWindowProc, nullptr, nullptr, nullptr});
    Window* window = createMainWindow("PlainSettings", "settings", 540, 375);
    ASSERT_NE(window, nullptr);
    char pattern[] = "/tmp/settings-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    useConfigHome(pattern);

    const std::vector<fs::path> files = inputFiles();
    EXPECT_GE(files.size(), 9u) << "the seed corpus is missing";
    for (const fs::path& file : files) {
        const std::vector<uint8_t> bytes = readBytes(file);
        EXPECT_EQ(checkSettingsRoundTrip(window, bytes.data(), bytes.size()), "") << file;
    }

    fs::remove_all(pattern);
    destroyWindow(window);
}

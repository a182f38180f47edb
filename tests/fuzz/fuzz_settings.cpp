// libFuzzer target: any bytes as config.dat, loaded into a plain main window
// and saved again. The checks are those of the settings-files test, so an
// input found here is replayed there once it is copied into regressions/.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "../config_home.h"
#include "platform/platform.h"
#include "settings_check.h"

namespace {

Window* window = nullptr;
char scratch[64] = "";

// The fuzzer leaves through exit() when its time is up.
void removeScratchDirectory()
{
    if (scratch[0] != '\0')
        std::filesystem::remove_all(scratch);
}

LRESULT plainWindowProc(Window* w, unsigned message, WPARAM wParam, LPARAM lParam)
{
    return defaultWindowProc(w, message, wParam, lParam);
}

// A configuration folder of our own, in memory where there is one: every
// input is written, read and saved twice.
void useScratchConfigHome()
{
    char inMemory[] = "/dev/shm/fuzz-settings-XXXXXX";
    char onDisk[] = "/tmp/fuzz-settings-XXXXXX";
    const char* dir = mkdtemp(inMemory);
    if (!dir)
        dir = mkdtemp(onDisk);
    if (!dir) {
        std::perror("fuzz-settings: scratch directory");
        std::abort();
    }
    std::snprintf(scratch, sizeof scratch, "%s", dir);
    useConfigHome(dir);
    std::atexit(removeScratchDirectory);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The toolkit gets only the program name: the fuzzer's own options are not its business.
    if (!initPlatform(1, *argc > 0 ? *argv : nullptr))
        std::abort();
    registerWindowClass({"PlainSettings", plainWindowProc, nullptr, nullptr, nullptr});
    window = createMainWindow("PlainSettings", "settings", 540, 375);
    if (!window)
        std::abort();
    useScratchConfigHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = checkSettingsRoundTrip(window, data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz-settings: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

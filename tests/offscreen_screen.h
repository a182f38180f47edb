// The offscreen platform's screen at a chosen size (Qt's own is 800 x 800), so
// that window placement and sizes meet the screens they are meant for.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

// Call before the application starts; returns the configuration file, which
// may go once it has started. A platform other than offscreen is left alone.
inline std::string useOffscreenScreen(int width, int height)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string(platform) != "offscreen")
        return "";
    const std::string path = "/tmp/reverse-screen-" + std::to_string(getpid()) + ".json";
    std::ofstream(path) << R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": )" << width
                        << R"(, "height": )" << height << "}]}";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
    return path;
}

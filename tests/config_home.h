// Every test points XDG_CONFIG_HOME and XDG_STATE_HOME at scratch folders
// before it creates a window, so the user's own settings and kept game are
// never read or written.
#pragma once

#include <cstdlib>
#include <string>

// Sets the scratch configuration folder, and folder/state as the state
// folder (both created by the game when needed).
inline void useConfigHome(const std::string& folder)
{
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    setenv("XDG_STATE_HOME", (folder + "/state").c_str(), 1);
}

// current.ggf of the state folder in force.
inline std::string keptGamePath()
{
    const char* home = std::getenv("XDG_STATE_HOME");
    return std::string(home ? home : "/nonexistent") + "/tavix-reversi/current.ggf";
}

// config.dat of the configuration folder in force.
inline std::string settingsFilePath()
{
    const char* home = std::getenv("XDG_CONFIG_HOME");
    return std::string(home ? home : "/nonexistent") + "/tavix-reversi/config.dat";
}

// Every test points XDG_CONFIG_HOME at a scratch folder before it creates a
// window, so the user's own settings are never read or written.
#pragma once

#include <cstdlib>
#include <string>

// Sets the scratch configuration folder (created by the game when needed).
inline void useConfigHome(const std::string& folder)
{
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

// config.dat of the configuration folder in force.
inline std::string settingsFilePath()
{
    const char* home = std::getenv("XDG_CONFIG_HOME");
    return std::string(home ? home : "/nonexistent") + "/tavix-reversi/config.dat";
}

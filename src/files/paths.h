// The program's own folders under the desktop's base directories, found from
// the environment and created on first use.
#pragma once

#include <string>

// The folder name under every base directory.
constexpr const char* AppFolderName = "tavix-reversi";

struct AppFolder {
    std::string path;    // an existing folder, or "" when there is none to be had
    std::string problem; // why not, in words for the user; "" when path is set
};

// $XDG_CONFIG_HOME/tavix-reversi, or ~/.config/tavix-reversi when the variable
// is unset, empty or not an absolute path. Created with its parents (0700);
// the first time a run asks for a folder, the temporary files that saves cut
// short left there are removed (see removeStaleTemporaries).
AppFolder configFolder();
// $XDG_STATE_HOME/tavix-reversi, or ~/.local/state/tavix-reversi, on the same
// terms: what the program keeps between runs that is not a setting.
AppFolder stateFolder();

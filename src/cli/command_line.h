// The program's command line. It is read before any window exists, so that
// --help and --version work without a display, and it builds without Qt.
// Every argument the program takes is parsed here.
#pragma once

#include <string>

enum class CommandAction {
    Run,     // start the game
    Help,    // print helpText() and exit 0
    Version, // print versionText() and exit 0
    Error,   // print "reverse: <error>" on stderr and exit 2
};

struct CommandLine {
    CommandAction action = CommandAction::Run;
    std::string file;  // the game record to open at start; empty when none was given
    std::string error; // one line, for CommandAction::Error
};

// Options and operands are read left to right; --help and --version act as
// soon as they are met, the first fault ends the parse. "--" ends the
// options, and "-" is an operand, as on other Linux programs.
CommandLine parseCommandLine(int argc, const char* const* argv);

const char* helpText();
const char* versionText();

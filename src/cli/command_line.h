// The program's command line. It is read before any window exists, so that
// --help and --version work without a display, and it builds without Qt.
// Every argument the program takes is parsed here.
#pragma once

#include <string>

#include "res/text.h"

enum class CommandAction {
    Run,     // start the game
    Help,    // print helpText() and exit 0
    Version, // print versionText() and exit 0
    Error,   // print "reverse: <error>" on stderr and exit 2
};

struct CommandLine {
    CommandAction action = CommandAction::Run;
    std::string file;     // the game record to open at start; empty when none was given
    std::string error;    // one line, for CommandAction::Error
    std::string language; // "ja" or "en" from --lang; empty when the locale decides
};

// Options and operands are read left to right; --help and --version act as
// soon as they are met, the first fault ends the parse. "--" ends the
// options, and "-" is an operand, as on other Linux programs. A --lang
// after --help still counts, so the help comes in the language asked for.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The interface's language: --lang's, else the locale's.
Language chosenLanguage(const CommandLine& commandLine);

const char* helpText(); // in the interface's language
const char* versionText();

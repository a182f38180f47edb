#include "cli/command_line.h"

#include <string_view>

#ifndef REVERSE_VERSION
#error "REVERSE_VERSION must be defined by the build"
#endif

namespace {

CommandLine failure(std::string message)
{
    CommandLine result;
    result.action = CommandAction::Error;
    result.error = std::move(message) + " (try 'reverse --help')";
    return result;
}

// Sets the action for an option, or returns false for an unknown one. "-h"
// is the short form of --help, as most programs take it.
bool readOption(std::string_view arg, CommandLine& result)
{
    std::string_view name = arg.substr(0, arg.find('='));
    CommandAction action;
    if (name == "--help" || arg == "-h")
        action = CommandAction::Help;
    else if (name == "--version")
        action = CommandAction::Version;
    else
        return false;
    if (name.size() != arg.size())
        result = failure("option '" + std::string(name) + "' takes no value");
    else
        result.action = action;
    return true;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    CommandLine result;
    bool optionsEnded = false;
    for (int i = 1; i < argc && argv && argv[i]; ++i) {
        std::string_view arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!readOption(arg, result))
                return failure("unknown option '" + std::string(arg) + "'");
            if (result.action != CommandAction::Run)
                return result;
        } else if (arg.empty()) {
            // An empty name would read as "no file given" and be dropped silently.
            return failure("the FILE name is empty");
        } else if (!result.file.empty()) {
            return failure("only one FILE may be given, but '" + std::string(arg) + "' follows '" +
                           result.file + "'");
        } else {
            result.file = arg;
        }
    }
    return result;
}

const char* helpText()
{
    return "Usage: reverse [-h|--help] [--version] [FILE]\n"
           "Tavix Reversi: Reversi (Othello) against a friend or seven computer levels.\n"
           "\n"
           "  FILE       a game record (GGF or transcript) to open in record mode\n"
           "  -h, --help print this help and exit\n"
           "  --version  print the version and exit\n"
           "\n"
           "The manual page reverse(6) lists the keys and the files the game keeps.\n";
}

const char* versionText()
{
    return "reverse (Tavix Reversi) " REVERSE_VERSION "\n"
           "Copyright (c) 2026 the Tavix Reversi developers.\n"
           "This is free software under the MIT License.\n";
}

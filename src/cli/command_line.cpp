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

// "--lang en", "--lang=en": the value, from the next argument when it is
// not attached; nullptr when there is none.
const char* languageValue(std::string_view arg, int& i, int argc, const char* const* argv)
{
    if (arg.size() > 6 && arg[6] == '=')
        return argv[i] + 7;
    if (arg.size() > 6 || i + 1 >= argc || !argv[i + 1])
        return nullptr;
    return argv[++i];
}

// Reads --lang and its value at argv[i], moving i past the value; false
// when the argument is no --lang. A fault is put in result.
bool readLanguage(std::string_view arg, int& i, int argc, const char* const* argv, CommandLine& result)
{
    if (arg.substr(0, arg.find('=')) != "--lang")
        return false;
    const char* value = languageValue(arg, i, argc, argv);
    Language language;
    if (!value)
        result = failure("option '--lang' needs a language: ja or en");
    else if (!languageFromCode(value, language))
        result = failure("unknown language '" + std::string(value) + "' for --lang: choose ja or en");
    else
        result.language = value;
    return true;
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

// After --help or --version, only a --lang before "--" is read.
CommandLine readLanguageAfter(int from, int argc, const char* const* argv, CommandLine result)
{
    for (int i = from; i < argc && argv[i] && std::string_view(argv[i]) != "--"; ++i)
        if (readLanguage(argv[i], i, argc, argv, result) && result.action == CommandAction::Error)
            break;
    return result;
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
            if (readLanguage(arg, i, argc, argv, result)) {
                if (result.action == CommandAction::Error)
                    return result;
                continue;
            }
            if (!readOption(arg, result))
                return failure("unknown option '" + std::string(arg) + "'");
            if (result.action != CommandAction::Run)
                return readLanguageAfter(i + 1, argc, argv, result);
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

Language chosenLanguage(const CommandLine& commandLine)
{
    Language language;
    if (languageFromCode(commandLine.language, language))
        return language;
    return languageOfEnvironment();
}

const char* helpText()
{
    return uiText(TextId::HelpText);
}

const char* versionText()
{
    return "reverse (Tavix Reversi) " REVERSE_VERSION "\n"
           "Copyright (c) 2026 the Tavix Reversi developers.\n"
           "This is free software under the MIT License.\n";
}

#include <gtest/gtest.h>

#include <vector>

#include "cli/command_line.h"

namespace {

CommandLine parse(const std::vector<const char*>& args)
{
    std::vector<const char*> argv{"reverse"};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    return parseCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
}

} // namespace

TEST(CommandLine, TakesAtMostOneFileOperandAndOptionsEndAtDoubleDash)
{
    CommandLine none = parse({});
    EXPECT_EQ(none.action, CommandAction::Run);
    EXPECT_EQ(none.file, "");
    EXPECT_EQ(parse({"game.ggf"}).file, "game.ggf");
    EXPECT_EQ(parse({"-"}).file, "-");
    CommandLine dashed = parse({"--", "--help"});
    EXPECT_EQ(dashed.action, CommandAction::Run);
    EXPECT_EQ(dashed.file, "--help");
    CommandLine english = parse({"--lang", "en", "game.ggf"});
    EXPECT_EQ(english.language, "en");
    EXPECT_EQ(english.file, "game.ggf");
    EXPECT_EQ(parse({"--lang=ja"}).language, "ja");
    EXPECT_EQ(parse({"--", "--lang=ja"}).file, "--lang=ja");
}

TEST(CommandLine, HelpAndVersionActWhereTheyStand)
{
    EXPECT_EQ(parse({"--help"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"-h", "--bogus"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"--version"}).action, CommandAction::Version);
    EXPECT_EQ(parse({"a.ggf", "--version", "--bogus"}).action, CommandAction::Version);
    EXPECT_EQ(parse({"--bogus", "--help"}).action, CommandAction::Error);
    // The help comes in the language asked for wherever --lang stands.
    const CommandLine help = parse({"--help", "--bogus", "--lang", "en"});
    EXPECT_EQ(help.action, CommandAction::Help);
    EXPECT_EQ(help.language, "en");
    EXPECT_EQ(parse({"--version", "--", "--lang=en"}).language, "");
}

TEST(CommandLine, FaultsGiveOneLineThatNamesTheCulprit)
{
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases{
        {{"--bogus"}, "'--bogus'"},
        {{"-hv"}, "'-hv'"},
        {{"--help=all"}, "'--help'"},
        {{"a.ggf", "b.ggf"}, "'b.ggf'"},
        {{""}, "empty"},
        {{"--versio"}, "'--versio'"},
        {{"--lang", "fr"}, "'fr'"},
        {{"--lang"}, "'--lang'"},
        {{"--help", "--lang=EN"}, "'EN'"},
        {{"--language=en"}, "'--language=en'"},
    };
    for (const auto& [args, culprit] : cases) {
        CommandLine result = parse(args);
        EXPECT_EQ(result.action, CommandAction::Error) << culprit;
        EXPECT_NE(result.error.find(culprit), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

// The first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set decides;
// --lang overrides the locale.
TEST(CommandLine, LanguageComesFromTheLocaleUnlessGiven)
{
    const Language ja = Language::Japanese, en = Language::English;
    const struct {
        const char *language, *all, *messages, *lang;
        Language expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, ja},
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", ja},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", en},
        {nullptr, nullptr, nullptr, "C.UTF-8", ja},
        {nullptr, nullptr, nullptr, "POSIX", ja},
        {nullptr, nullptr, nullptr, "jam_XX", en},
        {nullptr, "de_DE", nullptr, "ja_JP", en},
        {"", "", "fr_FR.UTF-8", "ja_JP", en},
        {"", nullptr, "ja", "en_GB", ja},
        {"en_GB:ja", "ja_JP.UTF-8", nullptr, nullptr, en},
        {":ja:en", nullptr, nullptr, "en_US", ja},
    };
    for (const auto& c : cases)
        EXPECT_EQ(languageOfLocale(c.language, c.all, c.messages, c.lang), c.expected)
            << (c.language ? c.language : "-") << " " << (c.all ? c.all : "-") << " "
            << (c.messages ? c.messages : "-") << " " << (c.lang ? c.lang : "-");
    EXPECT_EQ(chosenLanguage(parse({"--lang", "en"})), en);
    EXPECT_EQ(chosenLanguage(parse({"--lang", "ja"})), ja);
}

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
}

TEST(CommandLine, HelpAndVersionActWhereTheyStand)
{
    EXPECT_EQ(parse({"--help"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"-h", "--bogus"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"--version"}).action, CommandAction::Version);
    EXPECT_EQ(parse({"a.ggf", "--version", "--bogus"}).action, CommandAction::Version);
    EXPECT_EQ(parse({"--bogus", "--help"}).action, CommandAction::Error);
}

TEST(CommandLine, FaultsGiveOneLineThatNamesTheCulprit)
{
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases{
        {{"--bogus"}, "'--bogus'"},      {{"-hv"}, "'-hv'"}, {{"--help=all"}, "'--help'"},
        {{"a.ggf", "b.ggf"}, "'b.ggf'"}, {{""}, "empty"},    {{"--versio"}, "'--versio'"},
    };
    for (const auto& [args, culprit] : cases) {
        CommandLine result = parse(args);
        EXPECT_EQ(result.action, CommandAction::Error) << culprit;
        EXPECT_NE(result.error.find(culprit), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

using Mode = CommandLine::Mode;

CommandLine parse(std::vector<std::string_view> arguments) {
    arguments.insert(arguments.begin(), "vantorel");
    return CommandLine::parse(arguments);
}

TEST(CommandLine, ModesDirectoriesAndLevelsAreRead) {
    struct Case {
        std::vector<std::string_view> arguments;
        Mode mode;
        std::string directory;
        std::optional<LogLevel> level;
    };
    const Case cases[] = {
        {{}, Mode::automatic, "", std::nullopt},
        {{"--dir", "build/world"}, Mode::automatic, "build/world", std::nullopt},
        {{"--tour"}, Mode::tour, "", std::nullopt},
        {{"--tour", "out"}, Mode::tour, "out", std::nullopt},
        {{"--tour", "--log-level", "info"}, Mode::tour, "", LogLevel::info},
        {{"--log-level=DEBUG", "--playground"}, Mode::playground, "", LogLevel::debug},
        {{"--gallery", "pictures", "--log-level", "error"},
         Mode::gallery,
         "pictures",
         LogLevel::error},
        {{"--playground", "--dir", "w", "--playground"}, Mode::playground, "w", std::nullopt},
        {{"-h"}, Mode::help, "", std::nullopt},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.arguments);
        SCOPED_TRACE(testing::PrintToString(
            std::vector<std::string>(c.arguments.begin(), c.arguments.end())));
        EXPECT_EQ(line.error, "");
        EXPECT_EQ(line.mode, c.mode);
        EXPECT_EQ(line.directory, c.directory);
        EXPECT_EQ(line.logLevel, c.level);
    }
}

TEST(CommandLine, MalformedArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--gallery"},
        {"--gallery", "--tour"},
        {"--dir"},
        {"--log-level"},
        {"--log-level", "verbose"},
        {"--log-level="},
        {"--tour", "a", "--playground"},
        {"--tour", "a", "--dir", "b"},
        {"--frobnicate"},
        {"stray"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(
            testing::PrintToString(std::vector<std::string>(arguments.begin(), arguments.end())));
        EXPECT_NE(parse(arguments).error, "");
    }
    // Null entries in argv are skipped rather than read.
    const char* argv[] = {"vantorel", nullptr, "--tour"};
    EXPECT_EQ(CommandLine::parse(3, argv).mode, Mode::tour);
}

TEST(CommandLine, TheFlagOutranksTheEnvironmentWhichOutranksTheDefault) {
    const CommandLine none = parse({});
    EXPECT_EQ(none.effectiveLogLevel(nullptr, LogLevel::info), LogLevel::info);
    EXPECT_EQ(none.effectiveLogLevel("debug", LogLevel::info), LogLevel::debug);
    EXPECT_EQ(none.effectiveLogLevel("Error", LogLevel::debug), LogLevel::error);
    // An unknown value in the environment is no reason to refuse to start.
    EXPECT_EQ(none.effectiveLogLevel("loud", LogLevel::info), LogLevel::info);
    EXPECT_EQ(none.effectiveLogLevel("", LogLevel::info), LogLevel::info);
    EXPECT_EQ(parse({"--log-level", "error"}).effectiveLogLevel("debug", LogLevel::info),
              LogLevel::error);
}

TEST(CommandLine, WithoutAModeTheDisplayDecides) {
    EXPECT_EQ(parse({}).resolvedMode(true), Mode::playground);
    EXPECT_EQ(parse({}).resolvedMode(false), Mode::tour);
    EXPECT_EQ(parse({"--tour"}).resolvedMode(true), Mode::tour);
    EXPECT_EQ(parse({"--playground"}).resolvedMode(false), Mode::playground);
}

}  // namespace
}  // namespace vantorel

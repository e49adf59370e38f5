#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vantorel {
namespace {

using Mode = CommandLine::Mode;

// The arguments after the program's name, separated by spaces.
CommandLine parse(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words{"vantorel"};
    for (std::string word; in >> word;)
        words.push_back(word);
    return CommandLine::parse(std::vector<std::string_view>(words.begin(), words.end()));
}

TEST(CommandLine, ModesDirectoriesAndLevelsAreRead) {
    const struct {
        const char* arguments;
        Mode mode;
        std::string directory;
        std::optional<LogLevel> level;
    } cases[] = {
        {"", Mode::automatic, "", std::nullopt},
        {"--dir build/world", Mode::automatic, "build/world", std::nullopt},
        {"--tour", Mode::tour, "", std::nullopt},
        {"--tour out", Mode::tour, "out", std::nullopt},
        {"--tour --log-level info", Mode::tour, "", LogLevel::info},
        {"--log-level=DEBUG --playground", Mode::playground, "", LogLevel::debug},
        {"--gallery pictures --log-level error", Mode::gallery, "pictures", LogLevel::error},
        {"--playground --dir w --playground", Mode::playground, "w", std::nullopt},
        {"-h", Mode::help, "", std::nullopt},
        {"--world w.json --playground", Mode::playground, "", std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandLine line = parse(c.arguments);
        EXPECT_EQ(line.error, "");
        EXPECT_EQ(line.mode, c.mode);
        EXPECT_EQ(line.directory, c.directory);
        EXPECT_EQ(line.logLevel, c.level);
    }
    EXPECT_EQ(parse("--music-player mpv --real-widgets").musicPlayer, "mpv");
    const CommandLine real = parse("--real-widgets --calendars c --tasks t");
    EXPECT_EQ(real.calendars + " " + real.tasks, "c t");
}

TEST(CommandLine, MalformedArgumentsAreRefusedWithAReason) {
    for (const char* arguments :
         {"--gallery", "--gallery --tour", "--dir", "--log-level", "--log-level verbose",
          "--log-level=", "--tour a --playground", "--tour a --dir b", "--frobnicate", "stray",
          "--world", "--world --playground", "--music-player", "--tour --real-widgets",
          "--music-player mpv --gallery g", "--calendars c", "--real-widgets --tasks",
          "--tour --real-widgets --calendars c"})
        EXPECT_NE(parse(arguments).error, "") << arguments;
    // Null entries in argv are skipped rather than read.
    const char* argv[] = {"vantorel", nullptr, "--tour"};
    EXPECT_EQ(CommandLine::parse(3, argv).mode, Mode::tour);
}

TEST(CommandLine, TheFlagOutranksTheEnvironmentWhichOutranksTheDefaultAndTheDisplayPicksTheMode) {
    const CommandLine none = parse("");
    EXPECT_EQ(none.effectiveLogLevel(nullptr, LogLevel::info), LogLevel::info);
    EXPECT_EQ(none.effectiveLogLevel("Error", LogLevel::debug), LogLevel::error);
    // An unknown value in the environment is no reason to refuse to start.
    EXPECT_EQ(none.effectiveLogLevel("loud", LogLevel::info), LogLevel::info);
    EXPECT_EQ(parse("--log-level error").effectiveLogLevel("debug", LogLevel::info),
              LogLevel::error);
    EXPECT_EQ(none.resolvedMode(true), Mode::playground);
    EXPECT_EQ(none.resolvedMode(false), Mode::tour);
    EXPECT_EQ(parse("--tour").resolvedMode(true), Mode::tour);
}

}  // namespace
}  // namespace vantorel

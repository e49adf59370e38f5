#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Logger.h"

namespace vantorel {

// What the vantorel command was asked to do.
struct CommandLine {
    enum class Mode {
        // The playground where a display exists, the tour where none does.
        automatic,
        playground,
        // The user's own X11 session instead of the simulated desktop.
        x11,
        tour,
        gallery,
        help,
    };

    // The environment variable that sets the log level when --log-level does not.
    static constexpr const char* kLogLevelVariable = "VANTOREL_LOG_LEVEL";

    Mode mode = Mode::automatic;
    // Where the simulated world's folders and the tour's pictures go (the gallery's pictures for
    // --gallery); empty for the default.
    std::string directory;
    std::optional<LogLevel> logLevel;
    // --allow-network: no filter against network sockets (a remote X display needs one).
    bool allowNetwork = false;
    // A world (JSON) for the playground instead of the embedded default; empty for the default.
    std::string world;
    // --real-widgets: the playground's media widget asks the players on the session bus instead
    // of the world's simulated ones.
    bool realWidgets = false;
    // --music-player: the MPRIS player that stands for Music; empty for the first one found.
    std::string musicPlayer;
    // --calendars, --tasks: the vdir roots of the real calendars and task lists; empty for the
    // default ones.
    std::string calendars;
    std::string tasks;
    // Why the arguments were refused; empty when they were not.
    std::string error;

    // argv[0] is the program; every other argument is looked at.
    static CommandLine parse(const std::vector<std::string_view>& arguments);
    static CommandLine parse(int argc, const char* const* argv);

    // "debug", "info" or "error", in any case; nullopt for anything else.
    static std::optional<LogLevel> parseLogLevel(std::string_view text);
    // The flag, else the environment's value (nullptr: unset; an unknown value is ignored), else
    // the fallback.
    LogLevel effectiveLogLevel(const char* environmentValue, LogLevel fallback) const;

    // The mode once automatic is resolved: the playground needs a display.
    Mode resolvedMode(bool hasDisplay) const;

    static const char* usage();
};

}  // namespace vantorel

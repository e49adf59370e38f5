#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace vantorel {
namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

}  // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv) {
    std::vector<std::string_view> arguments;
    for (int i = 0; i < argc; ++i) {
        if (argv[i]) arguments.emplace_back(argv[i]);
    }
    return parse(arguments);
}

CommandLine CommandLine::parse(const std::vector<std::string_view>& arguments) {
    CommandLine line;
    bool modeGiven = false;
    const auto fail = [&line](std::string message) {
        if (line.error.empty()) line.error = std::move(message);
    };
    const auto setMode = [&](Mode wanted, std::string_view name) {
        if (modeGiven && line.mode != wanted) fail("--" + std::string(name) + " with another mode");
        modeGiven = true;
        line.mode = wanted;
    };
    const auto setDirectory = [&](std::string_view value) {
        if (!line.directory.empty() && line.directory != value) fail("two directories given");
        line.directory = std::string(value);
    };

    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool hasNext = i + 1 < arguments.size() && !isOption(arguments[i + 1]);
        // The option's value, or none (and the reason) when the next argument is not one.
        const auto valueOf = [&](std::string_view what) -> std::optional<std::string_view> {
            if (hasNext) return arguments[++i];
            fail(std::string(argument) + " needs " + std::string(what));
            return std::nullopt;
        };
        if (argument == "--help" || argument == "-h") {
            setMode(Mode::help, "help");
        } else if (argument == "--playground") {
            setMode(Mode::playground, "playground");
        } else if (argument == "--tour") {
            setMode(Mode::tour, "tour");
            if (hasNext) setDirectory(arguments[++i]);
        } else if (argument == "--gallery") {
            setMode(Mode::gallery, "gallery");
            if (const auto directory = valueOf("a directory")) setDirectory(*directory);
        } else if (argument == "--dir") {
            if (const auto directory = valueOf("a directory")) setDirectory(*directory);
        } else if (argument == "--desktop") {
            const std::string_view value = hasNext ? arguments[++i] : std::string_view();
            if (value == "x11") {
                setMode(Mode::x11, "desktop x11");
            } else if (value == "simulated") {
                setMode(Mode::playground, "desktop simulated");
            } else {
                fail("--desktop needs x11 or simulated");
            }
        } else if (argument == "--allow-network") {
            line.allowNetwork = true;
        } else if (argument == "--world") {
            if (const auto file = valueOf("a file")) line.world = std::string(*file);
        } else if (argument == "--real-widgets") {
            line.realWidgets = true;
        } else if (argument == "--music-player") {
            if (const auto name = valueOf("a player's bus name"))
                line.musicPlayer = std::string(*name);
        } else if (argument == "--calendars") {
            if (const auto directory = valueOf("a directory")) line.calendars = *directory;
        } else if (argument == "--tasks") {
            if (const auto directory = valueOf("a directory")) line.tasks = *directory;
        } else if (argument == "--log-level" || argument.rfind("--log-level=", 0) == 0) {
            std::string_view value;
            if (argument.size() > std::string_view("--log-level").size()) {
                value = argument.substr(std::string_view("--log-level=").size());
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            line.logLevel = parseLogLevel(value);
            if (!line.logLevel) {
                fail("unknown log level \"" + std::string(value) + "\" (debug, info or error)");
            }
        } else {
            fail("unknown argument \"" + std::string(argument) + "\"");
        }
    }
    if (line.mode == Mode::gallery && line.directory.empty()) fail("--gallery needs a directory");
    // The tour and the gallery draw the same pictures on every machine.
    if ((line.realWidgets || !line.musicPlayer.empty()) &&
        (line.mode == Mode::tour || line.mode == Mode::gallery))
        fail("the real players are for the playground");
    if ((!line.calendars.empty() || !line.tasks.empty()) && !line.realWidgets)
        fail("--calendars and --tasks go with --real-widgets");
    return line;
}

std::optional<LogLevel> CommandLine::parseLogLevel(std::string_view text) {
    const std::string value = lowered(text);
    if (value == "debug") return LogLevel::debug;
    if (value == "info") return LogLevel::info;
    if (value == "error") return LogLevel::error;
    return std::nullopt;
}

LogLevel CommandLine::effectiveLogLevel(const char* environmentValue, LogLevel fallback) const {
    if (logLevel) return *logLevel;
    if (environmentValue) {
        if (auto level = parseLogLevel(environmentValue)) return *level;
    }
    return fallback;
}

CommandLine::Mode CommandLine::resolvedMode(bool hasDisplay) const {
    if (mode != Mode::automatic) return mode;
    return hasDisplay ? Mode::playground : Mode::tour;
}

const char* CommandLine::usage() {
    return "Usage: vantorel [--playground | --desktop x11|simulated | --tour [DIR] |\n"
           "                --gallery DIR] [--dir DIR] [--world FILE]\n"
           "                [--real-widgets [--music-player NAME] [--calendars DIR]\n"
           "                 [--tasks DIR]]\n"
           "                [--log-level debug|info|error] [--allow-network]\n"
           "  (no mode)          the playground where a display exists, else the tour\n"
           "  --playground       Vantorel on the simulated desktop, drawn as a window\n"
           "  --desktop x11      Vantorel over this X11 session's own windows (needs a window\n"
           "                     manager that follows the EWMH hints); Alt+Tab switches\n"
           "  --desktop simulated  the same as --playground\n"
           "  --tour [DIR]       drive Vantorel over the simulated desktop by a script, print\n"
           "                     its log and write a picture of the screen at each step to DIR\n"
           "  --gallery DIR      draw every panel and window in each of its states as PNG files\n"
           "  --dir DIR          where the simulated world's folders (and the tour's pictures)\n"
           "                     go; default: a folder in the temporary directory\n"
           "  --world FILE       the playground's world, a JSON file like data/worlds/*.json\n"
           "  --real-widgets     the playground's widgets show your own: Music and Spotify\n"
           "                     the players on the session bus (MPRIS), Calendar and\n"
           "                     Reminders your vdir calendars and task lists\n"
           "  --music-player NAME  the MPRIS player that stands for Music (\"mpv\" or a whole\n"
           "                     bus name); default: the first player other than Spotify\n"
           "  --calendars DIR    with --real-widgets, the calendars: one vdir folder per\n"
           "                     calendar; default: $XDG_DATA_HOME/vantorel/calendars\n"
           "  --tasks DIR        with --real-widgets, the task lists, likewise; default:\n"
           "                     $XDG_DATA_HOME/vantorel/tasks\n"
           "  --log-level LEVEL  debug lines are off unless asked for, here or with\n"
           "                     VANTOREL_LOG_LEVEL=debug\n"
           "  --allow-network    let the program open network sockets (a remote X display);\n"
           "                     without it, new IPv4, IPv6 and packet sockets are refused\n";
}

}  // namespace vantorel

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/CommandLine.h"
#include "app/Gallery.h"
#include "app/Tour.h"
#include "app/X11Application.h"
#include "app/playground/Playground.h"
#include "platform/linux/NetworkLockdown.h"

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

// The tour and the gallery need no network at any point, so the filter goes in before they start.
void lockDownNetwork(const vantorel::CommandLine& line) {
    if (line.allowNetwork) return;
    if (const auto problem = vantorel::NetworkLockdown::install()) {
        std::cerr << "vantorel: network access stays open (" << *problem << ")\n";
    }
}

// The given directory made absolute, or a folder of that name in the temporary directory.
std::string directoryOr(const std::string& given, const char* fallback) {
    std::error_code ec;
    if (!given.empty()) {
        const auto absolute = std::filesystem::absolute(given, ec);
        return (ec ? std::filesystem::path(given) : absolute).lexically_normal().string();
    }
    const auto temporary = std::filesystem::temp_directory_path(ec);
    return ((ec ? std::filesystem::path("/tmp") : temporary) / fallback).string();
}

}  // namespace

int main(int argc, char** argv) {
    using vantorel::CommandLine;
    const CommandLine line = CommandLine::parse(argc, argv);
    if (!line.error.empty()) {
        std::cerr << "vantorel: " << line.error << "\n" << CommandLine::usage();
        return 2;
    }
    const char* levelVariable = std::getenv(CommandLine::kLogLevelVariable);
    switch (line.resolvedMode(hasDisplay())) {
        case CommandLine::Mode::help:
            std::cout << CommandLine::usage();
            return 0;
        case CommandLine::Mode::gallery:
            lockDownNetwork(line);
            return vantorel::Gallery(std::cout, line.directory).run(argc, argv);
        case CommandLine::Mode::tour:
            // Chosen for want of a display: the real players have nowhere to show.
            if (line.realWidgets || !line.musicPlayer.empty()) {
                std::cerr << "vantorel: the real players are for the playground, which needs a "
                             "display (DISPLAY or WAYLAND_DISPLAY)\n";
                return 2;
            }
            lockDownNetwork(line);
            // The tour is there to be read: its debug lines are on unless told otherwise.
            return vantorel::Tour(std::cout, directoryOr(line.directory, "vantorel-tour"),
                                  line.effectiveLogLevel(levelVariable, vantorel::LogLevel::debug))
                .run(argc, argv);
        case CommandLine::Mode::x11:
            return vantorel::X11Application(
                       std::cerr, line.effectiveLogLevel(levelVariable, vantorel::LogLevel::info),
                       line.allowNetwork)
                .run(argc, argv);
        case CommandLine::Mode::playground:
        case CommandLine::Mode::automatic:
            break;
    }
    // Qt would abort on a display it cannot reach; say what to do instead.
    if (!hasDisplay() && !std::getenv("QT_QPA_PLATFORM")) {
        std::cerr << "vantorel: the playground needs a display (DISPLAY or WAYLAND_DISPLAY); "
                     "without one, run the tour: vantorel --tour [DIR]\n";
        return 2;
    }
    return vantorel::Playground(std::cerr, directoryOr(line.directory, "vantorel-playground"),
                                line.effectiveLogLevel(levelVariable, vantorel::LogLevel::info),
                                line.allowNetwork, line.world, line.realWidgets, line.musicPlayer,
                                line.calendars, line.tasks)
        .run(argc, argv);
}

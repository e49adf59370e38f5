#pragma once

#include <ostream>
#include <string>

#include "platform/Logger.h"

namespace vantorel {

// Runs the application on the default simulated world, driven by a script on virtual time:
// the pointer rests on tiles, sweeps the Dock, enters and leaves panels and clicks cards. Prints
// the log and writes a picture of the whole simulated screen, panels included, at each step —
// what a person would see happen, without a display.
class Tour {
public:
    // root: where the world's folders and the pictures go; level: the lowest level printed.
    Tour(std::ostream& out, std::string root, LogLevel level = LogLevel::debug)
        : out_(out), root_(std::move(root)), level_(level) {}
    // Creates the application object itself; 0 on success, otherwise the reason was printed.
    int run(int argc, char** argv);

private:
    std::ostream& out_;
    std::string root_;
    LogLevel level_;
};

}  // namespace vantorel

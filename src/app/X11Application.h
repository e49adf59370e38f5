#pragma once

#include <ostream>

#include "platform/Logger.h"

namespace vantorel {

// Vantorel over the user's own X11 session: the same application as on the simulated desktop,
// with the window list, actions, key tap and capture of the real windows. Needs an X server
// with a window manager that follows the extended hints.
class X11Application {
public:
    X11Application(std::ostream& out, LogLevel level, bool allowNetwork)
        : out_(out), level_(level), allowNetwork_(allowNetwork) {}
    // Creates the application object itself and runs until quit; the exit status (2 when the
    // session cannot serve).
    int run(int argc, char** argv);

private:
    std::ostream& out_;
    LogLevel level_;
    bool allowNetwork_;
};

}  // namespace vantorel

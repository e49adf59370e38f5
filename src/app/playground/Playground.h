#pragma once

#include <ostream>
#include <string>

#include "platform/Logger.h"

namespace vantorel {

// Vantorel on the simulated desktop, drawn as a real window: the real pointer over it is the
// simulated pointer, and the panels are real floating windows placed over it. The application's
// own settings and login item are the real ones of this user.
class Playground {
public:
    // root: where the world's folders are created; level: the lowest level logged;
    // allowNetwork: no filter against network sockets once started; worldFile: the world to
    // run, empty for the embedded default; realWidgets: the media widget asks the players on the
    // session bus, musicPlayer being the one for Music (empty: the first found).
    Playground(std::ostream& out, std::string root, LogLevel level, bool allowNetwork = false,
               std::string worldFile = {}, bool realWidgets = false, std::string musicPlayer = {})
        : out_(out),
          root_(std::move(root)),
          level_(level),
          allowNetwork_(allowNetwork),
          worldFile_(std::move(worldFile)),
          realWidgets_(realWidgets),
          musicPlayer_(std::move(musicPlayer)) {}
    // Creates the application object itself and runs until quit; the exit status.
    int run(int argc, char** argv);

private:
    std::ostream& out_;
    std::string root_;
    LogLevel level_;
    bool allowNetwork_;
    std::string worldFile_;
    bool realWidgets_;
    std::string musicPlayer_;
};

}  // namespace vantorel

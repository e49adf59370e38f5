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
    // session bus, musicPlayer being the one for Music (empty: the first found), and the
    // calendar and reminders widgets read the vdir roots calendars and tasks (empty: the
    // default ones).
    Playground(std::ostream& out, std::string root, LogLevel level, bool allowNetwork = false,
               std::string worldFile = {}, bool realWidgets = false, std::string musicPlayer = {},
               std::string calendars = {}, std::string tasks = {})
        : out_(out),
          root_(std::move(root)),
          level_(level),
          allowNetwork_(allowNetwork),
          worldFile_(std::move(worldFile)),
          realWidgets_(realWidgets),
          musicPlayer_(std::move(musicPlayer)),
          calendars_(std::move(calendars)),
          tasks_(std::move(tasks)) {}
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
    std::string calendars_;
    std::string tasks_;
};

}  // namespace vantorel

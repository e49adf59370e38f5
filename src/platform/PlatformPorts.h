#pragma once

namespace vantorel {

class Accessibility;
class Collation;
class EventStore;
class FileResources;
class KeyEvents;
class Logger;
class PermissionServices;
class Pointer;
class Scheduler;
class Screens;
class ScreenCapture;
class Scripting;
class UserCalendar;
class UserDefaults;
class WindowServer;
class Workspace;

// The ports one platform provides, handed to the core by whoever builds it. A plain bundle of
// references: the platform outlives everything that uses it.
struct PlatformPorts {
    Accessibility& accessibility;
    Workspace& workspace;
    Screens& screens;
    Pointer& pointer;
    UserDefaults& defaults;
    FileResources& files;
    Collation& collation;
    Scheduler& scheduler;
    Logger& logger;
    WindowServer& windowServer;
    KeyEvents& keyEvents;
    PermissionServices& permissionServices;
    ScreenCapture& capture;
    Scripting& scripting;
    EventStore& eventStore;
    UserCalendar& userCalendar;

    // The same platform with another script runner in front of its players.
    PlatformPorts withScripting(Scripting& runner) const {
        return {accessibility, workspace, screens,    pointer,      defaults,  files,
                collation,     scheduler, logger,     windowServer, keyEvents, permissionServices,
                capture,       runner,    eventStore, userCalendar};
    }
};

}  // namespace vantorel

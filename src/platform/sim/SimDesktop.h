#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformPorts.h"
#include "platform/sim/ManualScheduler.h"
#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimCollation.h"
#include "platform/sim/SimEventStore.h"
#include "platform/sim/SimFileResources.h"
#include "platform/sim/SimKeyEvents.h"
#include "platform/sim/SimPermissionServices.h"
#include "platform/sim/SimPointer.h"
#include "platform/sim/SimScreenCapture.h"
#include "platform/sim/SimScreens.h"
#include "platform/sim/SimScripting.h"
#include "platform/sim/SimUserCalendar.h"
#include "platform/sim/SimUserDefaults.h"
#include "platform/sim/SimWindowServer.h"
#include "platform/sim/SimWindows.h"
#include "platform/sim/SimWorkspace.h"

namespace vantorel {

struct SimAppSpec {
    std::string name;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> bundlePath;
    std::int64_t activationPolicy = RunningApplication::kPolicyRegular;
    ImageRef icon;
};

// One tile of the simulated Dock, as its accessibility element will present it.
struct SimDockTileSpec {
    enum class Kind { application, separator, folder };
    Kind kind = Kind::application;
    std::string title;
    // The "AXURL" value, if the tile has one; a text that is not a valid URL is presented as a
    // string, as a misbehaving Dock might.
    std::optional<std::string> url;
};

// A small, faithful model of the desktop the system runs on: screens, processes, the Dock with
// its accessibility tree and preferences, the pointer, the defaults store and virtual time.
// The members are the ports; the methods are the control side a test or a script drives.
class SimDesktop {
public:
    static constexpr const char* kDockBundleIdentifier = "com.apple.dock";
    static constexpr const char* kDockDomain = "com.apple.dock";

    SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    ManualScheduler scheduler;
    MemoryLogger logger;
    SimAccessibility accessibility;
    SimWorkspace workspace;
    SimScreens screens;
    SimPointer pointer;
    SimUserDefaults defaults;
    SimFileResources files;
    SimCollation collation;
    SimWindowServer windowServer;
    // The processes' windows, in both the accessibility and the window-server view.
    SimWindows windows{accessibility, workspace, windowServer};
    SimKeyEvents keyEvents{scheduler};
    SimPermissionServices permissionServices{scheduler};
    // Stills and streams of the windows above.
    SimScreenCapture capture{scheduler, windows, windowServer};
    // The media players, answering scripts.
    SimScripting scripting;
    SimUserCalendar userCalendar{scheduler};
    // Calendars and reminders, under the privacy services' authorisation.
    SimEventStore eventStore{permissionServices, userCalendar, scheduler};

    PlatformPorts ports();

    // Makes the owner of the front on-screen window the frontmost application, as a desktop
    // looks once its windows are laid out.
    void activateFrontWindowOwner();

    // The user's Screen Recording choice: both the capture and the permission probe obey it.
    void setScreenRecordingGranted(bool granted) {
        capture.setScreenRecordingGranted(granted);
        permissionServices.setScreenRecordingAllowed(granted);
    }

    // Processes.
    ProcessId launch(const SimAppSpec& spec);
    void terminate(ProcessId pid);
    // Opens a window of a running process; 0 when the process is not running.
    WindowId addWindow(ProcessId pid, const SimWindowSpec& spec) { return windows.add(pid, spec); }

    // Screens; the first is the primary one. Frames in global bottom-left coordinates.
    void setScreens(std::vector<Rect> frames);
    double primaryHeight();

    // The Dock.
    void setDockTiles(std::vector<SimDockTileSpec> tiles);
    const std::vector<SimDockTileSpec>& dockTiles() const { return tiles_; }
    void setDockOrientation(const std::string& orientation);
    void setDockTileSize(double size);
    // Launches the Dock process (a new process id each time) and builds its tree.
    void launchDock();
    void quitDock();
    void restartDock();
    std::optional<ProcessId> dockPid() const { return dockPid_; }
    std::shared_ptr<SimAXNode> dockRoot() const { return dockRoot_; }
    std::shared_ptr<SimAXNode> dockList() const { return dockList_; }
    std::shared_ptr<SimAXNode> dockTile(std::size_t index) const;
    // The tile's frame in accessibility coordinates (top-left origin, y downward).
    Rect dockTileFrame(std::size_t index) const;
    // Appends a record to the Dock's "persistent-others", as the Dock does for a folder tile.
    void addPersistentFolder(const std::string& label, const std::string& urlString);
    SimDefaultsSuite& dockDefaults() { return defaults.domain(kDockDomain); }

    // The pointer, given in accessibility coordinates (what tiles report).
    void movePointerAX(Point ax, bool overOwnWindow = false);
    // A solid-colour square icon, enough to tell applications apart.
    static ImageRef makeIcon(std::uint32_t argb, int side = 64);

private:
    std::vector<Rect> layoutTiles();
    void rebuildDockTree();

    ProcessId nextPid_ = 300;
    std::optional<ProcessId> dockPid_;
    std::shared_ptr<SimAXNode> dockRoot_;
    std::shared_ptr<SimAXNode> dockList_;
    std::vector<std::shared_ptr<SimAXNode>> tileNodes_;
    std::vector<SimDockTileSpec> tiles_;
    std::vector<Rect> tileFrames_;
    double tileSize_ = 64;
};

}  // namespace vantorel

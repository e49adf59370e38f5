#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "app/AppRetainer.h"
#include "app/LaunchAtLogin.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/Logger.h"
#include "platform/PlatformPorts.h"
#include "preview/PreviewPanel.h"
#include "switcher/SwitcherPanel.h"

namespace vantorel {

class Executor;
class LoginItems;

// The application: the shared permissions, launch-at-login switch and preferences, and the
// start-up sequence that creates and starts the coordinator. Construction only queues the
// sequence on the main thread; it runs once the run loop turns. Main thread only.
class VantorelApp {
public:
    // Set by the welcome flow once it has been shown to the end.
    static constexpr std::string_view kDidShowWelcomeKey = "didShowWelcome";

    // The ports, the login items, the executors and whatever the factories capture must outlive
    // the application.
    VantorelApp(const PlatformPorts& ports, LoginItems& loginItems, Executor& captureExecutor,
                Executor& folderExecutor, PanelFactories panels);
    ~VantorelApp();
    VantorelApp(const VantorelApp&) = delete;
    VantorelApp& operator=(const VantorelApp&) = delete;

    PermissionsManager& permissions() { return permissions_; }
    LaunchAtLogin& launchAtLogin() { return launch_; }
    Preferences& preferences() { return preferences_; }
    // Null until the start-up sequence has created it.
    AppCoordinator* coordinator() const { return retainer_.coordinator.get(); }
    // Null until the start-up sequence has created it.
    WelcomeController* welcome() const { return retainer_.welcome.get(); }

    // Stops the live captures and hides the panels, as the program ends.
    void stop();

    // Whether the welcome window is due: "didShowWelcome" is not true in the store.
    bool welcomeDue() const;

    // The switcher panel's window, handed to the coordinator; set before the run loop turns.
    SwitcherPanel::SurfaceFactory makeSwitcherSurface;

    // The welcome window; set before the run loop turns. Unset, the welcome has no window.
    WelcomeController::WindowFactory makeWelcomeWindow;

    // Called once the coordinator has been created and started.
    std::function<void(AppCoordinator&)> onStarted;

private:
    void startUp();
    void finishStartUp();

    PlatformPorts ports_;
    Executor& captureExecutor_;
    Executor& folderExecutor_;
    PanelFactories panels_;
    Log log_;
    PermissionsManager permissions_;
    LaunchAtLogin launch_;
    Preferences preferences_;
    // After what the coordinator refers to, so that it goes first.
    AppRetainer retainer_;
    // Work queued for later holds this weakly and does nothing once the application is gone.
    std::shared_ptr<VantorelApp*> self_;
};

}  // namespace vantorel

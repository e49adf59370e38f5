#include "app/VantorelApp.h"

#include "platform/DefaultsValue.h"
#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"

namespace vantorel {

VantorelApp::VantorelApp(const PlatformPorts& ports, LoginItems& loginItems,
                         Executor& captureExecutor, Executor& folderExecutor, PanelFactories panels)
    : ports_(ports),
      captureExecutor_(captureExecutor),
      folderExecutor_(folderExecutor),
      panels_(std::move(panels)),
      log_(ports.logger, "app"),
      permissions_(ports),
      launch_(loginItems, ports.logger),
      preferences_(ports.defaults.standard(), ports.logger),
      self_(std::make_shared<VantorelApp*>(this)) {
    std::weak_ptr<VantorelApp*> weak = self_;
    ports_.scheduler.post([weak] {
        if (auto self = weak.lock()) (*self)->startUp();
    });
}

VantorelApp::~VantorelApp() = default;

void VantorelApp::stop() {
    if (retainer_.coordinator) retainer_.coordinator->stop();
}

bool VantorelApp::welcomeDue() const {
    const auto value = ports_.defaults.standard().object(kDidShowWelcomeKey);
    // Anything but a boolean true, a missing key included, means it was never finished.
    const bool* shown = value ? value->as<bool>() : nullptr;
    return !(shown && *shown);
}

void VantorelApp::startUp() {
    retainer_.welcome =
        std::make_unique<WelcomeController>(permissions_, ports_.defaults.standard(),
                                            ports_.scheduler, ports_.logger, makeWelcomeWindow);
    if (welcomeDue()) retainer_.welcome->show();
    // Untrusted, this shows the system's prompt at every launch.
    permissions_.checkAccessibility(true);
    std::weak_ptr<VantorelApp*> weak = self_;
    permissions_.refreshScreenRecording([weak] {
        if (auto self = weak.lock()) (*self)->finishStartUp();
    });
}

void VantorelApp::finishStartUp() {
    permissions_.refreshCalendarStatus();
    permissions_.refreshRemindersStatus();
    // Missing permissions do not stop anything here: the coordinator waits for Accessibility
    // itself.
    retainer_.coordinator = std::make_unique<AppCoordinator>(
        ports_, permissions_, preferences_, captureExecutor_, folderExecutor_, panels_);
    retainer_.coordinator->makeSwitcherSurface = makeSwitcherSurface;
    retainer_.coordinator->start();
    if (onStarted) onStarted(*retainer_.coordinator);
}

}  // namespace vantorel

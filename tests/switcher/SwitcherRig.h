#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"
#include "switcher/WindowSwitcher.h"
#include "windows/ThumbnailService.h"

namespace vantorel {

// A simulated desktop with a few applications and a switcher over it whose panel is a
// simulated one; keys are typed through the desktop's keyboard, so they pass the tap.
struct SwitcherRig {
    SwitcherRig() { desktop.setScreens({Rect(0, 0, 1440, 900)}); }

    ProcessId launch(const std::string& name, int windows, std::vector<int> minimised = {}) {
        const ProcessId pid = desktop.launch(
            SimAppSpec{name, "com.example." + name, "/Applications/" + name + ".app",
                       RunningApplication::kPolicyRegular, SimDesktop::makeIcon(0xff3366cc)});
        for (int i = 0; i < windows; ++i) {
            SimWindowSpec spec;
            spec.title = name + " " + std::to_string(i + 1);
            spec.frame = Rect(100.0 + 40 * i, 100.0 + 30 * i, 800, 600);
            spec.minimized = std::find(minimised.begin(), minimised.end(), i) != minimised.end();
            desktop.addWindow(pid, spec);
        }
        return pid;
    }

    WindowSwitcher& switcher() {
        if (!switcher_) {
            switcher_ = std::make_unique<WindowSwitcher>(
                desktop.ports(), thumbnails, [this](SwitcherState& state) {
                    auto made = std::make_unique<SimPanelSurface>(desktop.scheduler, [&state] {
                        return Size{220.0 * static_cast<double>(state.items().size()), 240};
                    });
                    surface = made.get();
                    return made;
                });
        }
        return *switcher_;
    }

    void settle() {
        for (int i = 0; i < 100; ++i) {
            desktop.scheduler.runDue();
            if (executor.drain() == 0) break;
        }
    }
    // A key-down with the modifiers held; true when swallowed.
    bool key(KeyCode code, EventFlags flags = 0) {
        return desktop.keyEvents.type(kEventTypeKeyDown, code, flags);
    }
    bool modifiers(EventFlags flags) {
        return desktop.keyEvents.type(kEventTypeFlagsChanged, 0, flags);
    }

    SimDesktop desktop;
    ManualExecutor executor;
    ThumbnailService thumbnails{desktop.ports(), executor};
    std::unique_ptr<WindowSwitcher> switcher_;
    SimPanelSurface* surface = nullptr;
};

// Where the first log line starting with `prefix` is; past the end when there is none.
inline std::size_t lineIndex(const MemoryLogger& logger, const std::string& prefix) {
    const auto& lines = logger.lines();
    return static_cast<std::size_t>(
        std::find_if(lines.begin(), lines.end(),
                     [&](const auto& line) { return line.message.rfind(prefix, 0) == 0; }) -
        lines.begin());
}

inline constexpr EventFlags kOption = kEventFlagMaskAlternate;
inline constexpr EventFlags kShift = kEventFlagMaskShift;

}  // namespace vantorel

// The whole coordinator on a simulated desktop the input describes: screens, applications and
// their windows (both views, malformed window-server entries included), the Dock's tiles and
// preferences, stored preferences of any type, then pointer moves, time, card actions, Dock
// restarts and preference changes. After every step the panel's cards have distinct ids, no
// live capture runs without a shown preview, the capture session never goes back and the armed
// timers stay bounded.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/AppCoordinator.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"

namespace {

using namespace vantorel;
using namespace std::chrono_literals;

double number(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return in.ConsumeBool() ? 1e300 : -1e300;
        case 2:
            return in.ConsumeFloatingPoint<double>();
        default:
            return in.ConsumeIntegralInRange(-200, 2000);
    }
}

Rect rect(FuzzedDataProvider& in) {
    return Rect(number(in), number(in), number(in), number(in));
}

std::string text(FuzzedDataProvider& in) {
    static const char* const kWords[] = {"",
                                         "file:///Applications/A.app/",
                                         "file:///tmp/",
                                         "bottom",
                                         "left",
                                         "right",
                                         "x y",
                                         "%zz",
                                         "com.a",
                                         "AXStandardWindow",
                                         "AXDialog",
                                         "grid",
                                         "large"};
    if (in.ConsumeBool()) return kWords[in.ConsumeIntegralInRange<std::size_t>(0, 12)];
    return in.ConsumeRandomLengthString(24);
}

DefaultsValue defaultsValue(FuzzedDataProvider& in, int depth = 0) {
    switch (in.ConsumeIntegralInRange(0, depth > 2 ? 3 : 5)) {
        case 0:
            return in.ConsumeBool();
        case 1:
            return in.ConsumeIntegral<std::int64_t>();
        case 2:
            return number(in);
        case 3:
            return text(in);
        case 4: {
            DefaultsArray array;
            for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
                array.push_back(defaultsValue(in, depth + 1));
            return array;
        }
        default: {
            DefaultsDictionary dictionary;
            for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
                dictionary[text(in)] = defaultsValue(in, depth + 1);
            return dictionary;
        }
    }
}

WindowServerValue serverValue(FuzzedDataProvider& in, int depth = 0) {
    switch (in.ConsumeIntegralInRange(0, depth > 1 ? 3 : 4)) {
        case 0:
            return in.ConsumeBool();
        case 1:
            return in.ConsumeIntegralInRange<std::int64_t>(-2, 400);
        case 2:
            return number(in);
        case 3:
            return text(in);
        default: {
            WindowServerDictionary dictionary;
            static const char* const kKeys[] = {"kCGWindowOwnerPID",
                                                "kCGWindowLayer",
                                                "kCGWindowNumber",
                                                "kCGWindowBounds",
                                                "kCGWindowName",
                                                "X",
                                                "Y",
                                                "Width",
                                                "Height"};
            for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n)
                dictionary[kKeys[in.ConsumeIntegralInRange(0, 8)]] = serverValue(in, depth + 1);
            return dictionary;
        }
    }
}

class Run {
public:
    explicit Run(FuzzedDataProvider& in) : in_(in) {
        std::vector<Rect> screens;
        for (int n = in.ConsumeIntegralInRange(0, 2); n > 0; --n)
            screens.push_back(rect(in));
        if (in.ConsumeBool()) desktop_.setScreens(screens);
        for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n)
            launch();
        for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
            desktop_.windowServer.add(in.ConsumeIntegralInRange<WindowNumber>(0, 120),
                                      {serverValue(in), in.ConsumeBool(), false});
        }
        std::vector<SimDockTileSpec> tiles;
        for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n) {
            tiles.push_back({static_cast<SimDockTileSpec::Kind>(in.ConsumeIntegralInRange(0, 2)),
                             text(in), in.ConsumeBool() ? std::optional(text(in)) : std::nullopt});
        }
        desktop_.setDockTiles(tiles);
        desktop_.setDockTileSize(number(in));
        for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
            static const char* const kDockKeys[] = {"orientation", "persistent-others", "autohide"};
            desktop_.dockDefaults().setObject(kDockKeys[in.ConsumeIntegralInRange(0, 2)],
                                              defaultsValue(in));
        }
        static const char* const kKeys[] = {"showDelayMS",    "hideDelayMS",  "liveThumbnails",
                                            "previewLayout",  "previewSize",  "compactThreshold",
                                            "didShowWelcome", "altTabEnabled"};
        for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
            desktop_.defaults.standard().setObject(kKeys[in.ConsumeIntegralInRange(0, 7)],
                                                   defaultsValue(in));
        }
        desktop_.launchDock();
        desktop_.accessibility.setTrusted(in.ConsumeBool() || in.ConsumeBool());
        preferences_ = std::make_unique<Preferences>(desktop_.defaults.standard(), desktop_.logger);
        permissions_.checkAccessibility(false);
        PanelFactories panels;
        panels.preview = [this](PreviewState& state) {
            auto made = std::make_unique<SimPanelSurface>(desktop_.scheduler, [&state] {
                return Size{300.0 * static_cast<double>(state.cards().size()), 220};
            });
            surface_ = made.get();
            return made;
        };
        panels.folder = [this](FolderState& state) {
            return std::make_unique<SimPanelSurface>(desktop_.scheduler, [&state] {
                return Size{100.0 * static_cast<double>(state.entries().size()), 150};
            });
        };
        // One manual executor plays both actors: the fuzzer drains it between steps.
        coordinator_ = std::make_unique<AppCoordinator>(
            desktop_.ports(), permissions_, *preferences_, executor_, executor_, panels);
        coordinator_->start();
        settle();
    }

    void step() {
        switch (in_.ConsumeIntegralInRange(0, 11)) {
            case 0:
            case 1: {
                const auto count = desktop_.dockTiles().size();
                const Rect tile = desktop_.dockTileFrame(
                    count ? in_.ConsumeIntegralInRange<std::size_t>(0, count - 1) : 0);
                desktop_.movePointerAX(tile.center());
                break;
            }
            case 2:
                desktop_.movePointerAX({number(in_), number(in_)}, in_.ConsumeBool());
                break;
            case 3:
                desktop_.scheduler.advance(
                    std::chrono::milliseconds(in_.ConsumeIntegralInRange(0, 2000)));
                break;
            case 4:
            case 5: {
                const auto& cards = coordinator_->panel().state().cards();
                if (cards.empty()) break;
                const WindowInfo window =
                    cards[in_.ConsumeIntegralInRange<std::size_t>(0, cards.size() - 1)].window;
                PreviewState& state = coordinator_->panel().state();
                switch (in_.ConsumeIntegralInRange(0, 2)) {
                    case 0:
                        state.onActivate(window);
                        break;
                    case 1:
                        state.onClose(window);
                        break;
                    default:
                        state.onMinimizeToggle(window);
                }
                break;
            }
            case 6:
                if (surface_) {
                    if (in_.ConsumeBool()) {
                        surface_->pointerEntered();
                    } else {
                        surface_->pointerLeft();
                    }
                }
                break;
            case 7:
                desktop_.restartDock();
                break;
            case 8:
                changePreference();
                break;
            case 9:
                launch();
                break;
            case 10: {
                const auto apps = desktop_.workspace.runningApplications();
                if (!apps.empty()) {
                    desktop_.terminate(
                        apps[in_.ConsumeIntegralInRange<std::size_t>(0, apps.size() - 1)]
                            .processIdentifier);
                }
                break;
            }
            default:
                desktop_.accessibility.setTrusted(in_.ConsumeBool());
        }
        settle();
        check();
    }

private:
    void launch() {
        const ProcessId pid = desktop_.launch(
            SimAppSpec{text(in_), in_.ConsumeBool() ? std::optional(text(in_)) : std::nullopt,
                       std::nullopt, in_.ConsumeIntegralInRange<std::int64_t>(0, 2), nullptr});
        for (int n = in_.ConsumeIntegralInRange(0, 4); n > 0; --n) {
            SimWindowSpec spec;
            spec.title = text(in_);
            spec.frame = rect(in_);
            spec.minimized = in_.ConsumeBool();
            spec.subrole = text(in_);
            spec.onScreen = in_.ConsumeBool() || in_.ConsumeBool();
            spec.hasWindowServerEntry = !in_.ConsumeBool() || in_.ConsumeBool();
            if (in_.ConsumeBool()) spec.serverBounds = rect(in_);
            desktop_.addWindow(pid, spec);
        }
    }
    void changePreference() {
        Preferences& p = *preferences_;
        switch (in_.ConsumeIntegralInRange(0, 5)) {
            case 0:
                p.setPreviewLayout(static_cast<PreviewLayout>(in_.ConsumeIntegralInRange(0, 3)));
                break;
            case 1:
                p.setPreviewSize(static_cast<PreviewSize>(in_.ConsumeIntegralInRange(0, 2)));
                break;
            case 2:
                p.setLiveThumbnails(in_.ConsumeBool());
                break;
            case 3:
                p.setCompactThreshold(in_.ConsumeIntegral<std::int64_t>());
                break;
            case 4:
                p.setShowDelayMS(number(in_));
                break;
            default:
                p.setHideDelayMS(number(in_));
        }
    }
    void settle() {
        for (int i = 0; i < 100; ++i) {
            desktop_.scheduler.runDue();
            if (executor_.drain() == 0) break;
        }
    }
    void check() {
        std::set<std::uint32_t> ids;
        for (const auto& card : coordinator_->panel().state().cards()) {
            if (!ids.insert(card.id).second) __builtin_trap();
        }
        const bool shown = surface_ && surface_->isVisible();
        if (!desktop_.capture.runningStreams().empty() && !shown) __builtin_trap();
        const auto session = coordinator_->thumbnails().session();
        if (session < session_) __builtin_trap();
        session_ = session;
        if (desktop_.scheduler.pendingCount() > 64) __builtin_trap();
    }

    FuzzedDataProvider& in_;
    SimDesktop desktop_;
    ManualExecutor executor_;
    PermissionsManager permissions_{desktop_.ports()};
    std::unique_ptr<Preferences> preferences_;
    std::unique_ptr<AppCoordinator> coordinator_;
    SimPanelSurface* surface_ = nullptr;
    std::uint64_t session_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Run run(in);
    for (int n = 0; n < 200 && in.remaining_bytes() > 0; ++n)
        run.step();
    return 0;
}

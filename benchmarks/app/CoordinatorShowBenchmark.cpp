#include "app/AppCoordinator.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "preview/PreviewPanelSurface.h"

#include <QCoreApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <string>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

// Two applications of `windows` windows each on the simulated desktop, and the coordinator
// with the real preview panel.
struct World {
    explicit World(int windows) : appearance(nullptr) {
        appearance.setReduceMotionOverride(false);
        appearance.setReduceTransparencyOverride(false);
        desktop.logger.setMinimum(LogLevel::info);
        desktop.launchDock();
        for (int a = 0; a < 2; ++a) {
            const std::string name = a == 0 ? "Safari" : "Notes";
            const ProcessId pid = desktop.launch(
                SimAppSpec{name, "com.example." + name, "/Applications/" + name + ".app",
                           RunningApplication::kPolicyRegular, SimDesktop::makeIcon(0xff3366cc)});
            for (int i = 0; i < windows; ++i) {
                SimWindowSpec spec;
                spec.title = name + " window " + std::to_string(i);
                spec.frame = Rect(60.0 + 20 * i, 80.0 + 15 * i, 900, 640);
                desktop.addWindow(pid, spec);
            }
            items.push_back(DockItem::app(*desktop.workspace.application(pid), name,
                                          Rect(700.0 + 70 * a, 1049, 64, 64)));
        }
        permissions.checkAccessibility(false);
        PanelFactories panels;
        panels.preview = [this](PreviewState& state) {
            auto surface = makePreviewPanelSurface(state, appearance, SymbolTable::shared());
            window = &static_cast<QtPanelSurface*>(surface.get())->window();
            window->setAttribute(Qt::WA_DontShowOnScreen);
            return surface;
        };
        coordinator = std::make_unique<AppCoordinator>(desktop.ports(), permissions, preferences,
                                                       executor, executor, panels);
    }

    Appearance appearance;
    SimDesktop desktop;
    ManualExecutor executor;
    PermissionsManager permissions{desktop.ports()};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    std::unique_ptr<AppCoordinator> coordinator;
    std::vector<DockItem> items;
    QWidget* window = nullptr;
};

// The show path once the delay has passed, hovering from one application to the next while the
// panel is up: enumerate the windows, fill the state, fit, lay out and place the real panel, and
// with `paint` draw its first frame too (every view in sight). The thumbnail job it starts is
// only queued here; capture is measured on its own.
void showPreview(benchmark::State& state, bool paint) {
    World world(static_cast<int>(state.range(0)));
    auto& onShow = world.coordinator->hover().onShow;
    onShow(world.items[1]);
    std::size_t next = 0;
    for (auto _ : state) {
        onShow(world.items[next]);
        if (paint) benchmark::DoNotOptimize(world.window->grab());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        next = 1 - next;
    }
    state.counters["cards"] =
        static_cast<double>(world.coordinator->panel().state().cards().size());
}

void BM_ShowPreview_LaidOut(benchmark::State& state) {
    showPreview(state, false);
}
BENCHMARK(BM_ShowPreview_LaidOut)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_ShowPreview_FirstFramePainted(benchmark::State& state) {
    showPreview(state, true);
}
BENCHMARK(BM_ShowPreview_FirstFramePainted)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
}  // namespace vantorel

#include "app/AppCoordinator.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "preview/PreviewPanelSurface.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <string>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "app_benchmarks";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
}

// Two applications of ten windows each on the simulated desktop, and the coordinator with the
// real preview panel.
struct World {
    World() : appearance(nullptr) {
        ensureApplication();
        appearance.setReduceMotionOverride(false);
        appearance.setReduceTransparencyOverride(false);
        desktop.logger.setMinimum(LogLevel::info);
        desktop.launchDock();
        for (int a = 0; a < 2; ++a) {
            const std::string name = a == 0 ? "Safari" : "Notes";
            const ProcessId pid = desktop.launch(
                SimAppSpec{name, "com.example." + name, "/Applications/" + name + ".app",
                           RunningApplication::kPolicyRegular, SimDesktop::makeIcon(0xff3366cc)});
            for (int i = 0; i < 10; ++i) {
                SimWindowSpec spec;
                spec.title = name + " window " + std::to_string(i);
                spec.frame = Rect(60.0 + 20 * i, 80.0 + 15 * i, 900, 640);
                desktop.addWindow(pid, spec);
            }
            items.push_back(DockItem::app(*desktop.workspace.application(pid), name,
                                          Rect(700.0 + 70 * a, 1049, 64, 64)));
        }
        permissions.checkAccessibility(false);
        coordinator = std::make_unique<AppCoordinator>(
            desktop.ports(), permissions, preferences, executor, [this](PreviewState& state) {
                auto surface = makePreviewPanelSurface(state, appearance, SymbolTable::shared());
                static_cast<QtPanelSurface*>(surface.get())
                    ->window()
                    .setAttribute(Qt::WA_DontShowOnScreen);
                return surface;
            });
    }

    Appearance appearance;
    SimDesktop desktop;
    ManualExecutor executor;
    PermissionsManager permissions{desktop.ports()};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    std::unique_ptr<AppCoordinator> coordinator;
    std::vector<DockItem> items;
};

// The show path once the delay has passed, hovering from one application to the next while the
// panel is up: enumerate ten windows, fill the state, fit, lay out and place the real panel.
// The thumbnail job it starts is only queued here; capture is measured on its own.
void BM_ShowPreviewAfterDelay_10Windows(benchmark::State& state) {
    World world;
    auto& onShow = world.coordinator->hover().onShow;
    onShow(world.items[1]);
    std::size_t next = 0;
    for (auto _ : state) {
        onShow(world.items[next]);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        next = 1 - next;
    }
    state.counters["cards"] =
        static_cast<double>(world.coordinator->panel().state().cards().size());
}
BENCHMARK(BM_ShowPreviewAfterDelay_10Windows)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantorel

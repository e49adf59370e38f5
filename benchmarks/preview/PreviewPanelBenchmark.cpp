#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimScreens.h"
#include "preview/PreviewPanel.h"
#include "preview/PreviewPanelSurface.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

// One application object for the whole run, on the offscreen platform unless told otherwise.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "preview_benchmarks";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
}

std::vector<WindowInfo> windows(int count, std::uint32_t firstID) {
    std::vector<WindowInfo> out;
    for (int i = 0; i < count; ++i) {
        WindowInfo window;
        window.id = firstID + static_cast<std::uint32_t>(i);
        window.cgWindowID = window.id;
        window.title = "Document " + std::to_string(i) + " — project notes";
        window.isMinimized = i % 7 == 3;
        window.ownerPID = 700;
        out.push_back(window);
    }
    return out;
}

// The real panel window and views, shown, with the production log level.
struct Panel {
    Panel() : appearance(nullptr) {
        ensureApplication();
        appearance.setReduceMotionOverride(false);
        appearance.setReduceTransparencyOverride(false);
        screens.setScreens({{{0, 0, 1728, 1117}, {0, 70, 1728, 1015}}});
        logger.setMinimum(LogLevel::info);
        panel = std::make_unique<PreviewPanel>(screens, logger, [this](PreviewState& state) {
            auto surface = makePreviewPanelSurface(state, appearance, SymbolTable::shared());
            window = &static_cast<QtPanelSurface*>(surface.get())->window();
            return surface;
        });
        window->setAttribute(Qt::WA_DontShowOnScreen);
    }

    Appearance appearance;
    SimScreens screens;
    MemoryLogger logger;
    QWidget* window = nullptr;
    std::unique_ptr<PreviewPanel> panel;
};

const Rect kTile(832, 1040, 64, 56);

// Hovering from one application to another: the state is re-filled with other windows and the
// same panel is fitted to the new cards, placed and laid out.
void updateAndLayOut(benchmark::State& state, PreviewLayout layout, int count) {
    Panel panel;
    PreviewState& model = panel.panel->state();
    model.setLayout(layout);
    model.setCompactThreshold(count);
    const std::vector<WindowInfo> apps[] = {windows(count, 1000), windows(count, 5000)};
    model.update("Preview", nullptr, apps[1]);
    panel.panel->show(DockEdge::bottom, kTile);

    int next = 0;
    for (auto _ : state) {
        model.update("Preview", nullptr, apps[next]);
        panel.panel->show(DockEdge::bottom, kTile);
        // Views retired by the update go now, as they would when the event loop resumes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        next = 1 - next;
    }
    benchmark::DoNotOptimize(panel.window->size());
    state.counters["cards"] = count;
}

void BM_UpdateAndLayOut_Row10(benchmark::State& state) {
    updateAndLayOut(state, PreviewLayout::automatic, 10);
}
BENCHMARK(BM_UpdateAndLayOut_Row10)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_UpdateAndLayOut_Grid40(benchmark::State& state) {
    updateAndLayOut(state, PreviewLayout::grid, 40);
}
BENCHMARK(BM_UpdateAndLayOut_Grid40)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same application enumerated again: every card keeps its view.
void BM_RefillSameWindows_Grid40(benchmark::State& state) {
    Panel panel;
    PreviewState& model = panel.panel->state();
    model.setLayout(PreviewLayout::grid);
    const std::vector<WindowInfo> same = windows(40, 1000);
    model.update("Preview", nullptr, same);
    panel.panel->show(DockEdge::bottom, kTile);
    for (auto _ : state) {
        model.update("Preview", nullptr, same);
        panel.panel->show(DockEdge::bottom, kTile);
    }
    benchmark::DoNotOptimize(panel.window->size());
}
BENCHMARK(BM_RefillSameWindows_Grid40)->Unit(benchmark::kMicrosecond)->UseRealTime();

// For scale: drawing one frame of the ten-card row, which happens after the layout.
void BM_Paint_Row10(benchmark::State& state) {
    Panel panel;
    PreviewState& model = panel.panel->state();
    model.setCompactThreshold(10);
    model.update("Preview", nullptr, windows(10, 1000));
    panel.panel->show(DockEdge::bottom, kTile);
    for (auto _ : state) {
        benchmark::DoNotOptimize(panel.window->grab());
    }
}
BENCHMARK(BM_Paint_Row10)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantorel

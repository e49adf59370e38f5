#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimScreens.h"
#include "preview/CardCollectionView.h"
#include "preview/PreviewPanel.h"
#include "preview/PreviewPanelSurface.h"

#include <QCoreApplication>
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

// Cards: how many the state holds, and how many views were built for them (those in sight).
void countCards(benchmark::State& state, const Panel& panel, int cards) {
    state.counters["cards"] = cards;
    const auto* collection = panel.window->findChild<CardCollectionView*>();
    state.counters["views"] = collection ? collection->builtViewCount() : 0;
}

// Hovering from one application to another: the state is re-filled with other windows and the
// same panel is fitted to the new cards, placed and laid out. Only the cards in sight get views.
void updateAndLayOut(benchmark::State& state, PreviewLayout layout) {
    const int count = static_cast<int>(state.range(0));
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
    countCards(state, panel, count);
}

void BM_UpdateAndLayOut_Row_CardsInSight(benchmark::State& state) {
    updateAndLayOut(state, PreviewLayout::automatic);
}
BENCHMARK(BM_UpdateAndLayOut_Row_CardsInSight)
    ->Arg(10)
    ->Arg(40)
    ->Arg(200)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_UpdateAndLayOut_Grid_CardsInSight(benchmark::State& state) {
    updateAndLayOut(state, PreviewLayout::grid);
}
BENCHMARK(BM_UpdateAndLayOut_Grid_CardsInSight)
    ->Arg(10)
    ->Arg(40)
    ->Arg(200)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The same application enumerated again: every card keeps its view.
void BM_RefillSameWindows_Grid_CardsInSight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Panel panel;
    PreviewState& model = panel.panel->state();
    model.setLayout(PreviewLayout::grid);
    const std::vector<WindowInfo> same = windows(count, 1000);
    model.update("Preview", nullptr, same);
    panel.panel->show(DockEdge::bottom, kTile);
    for (auto _ : state) {
        model.update("Preview", nullptr, same);
        panel.panel->show(DockEdge::bottom, kTile);
    }
    benchmark::DoNotOptimize(panel.window->size());
    countCards(state, panel, count);
}
BENCHMARK(BM_RefillSameWindows_Grid_CardsInSight)
    ->Arg(10)
    ->Arg(40)
    ->Arg(200)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Drawing one whole frame of the panel, every view in sight, after the layout.
void BM_Paint_Row(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Panel panel;
    PreviewState& model = panel.panel->state();
    model.setCompactThreshold(count);
    model.update("Preview", nullptr, windows(count, 1000));
    panel.panel->show(DockEdge::bottom, kTile);
    for (auto _ : state) {
        benchmark::DoNotOptimize(panel.window->grab());
    }
    countCards(state, panel, count);
}
BENCHMARK(BM_Paint_Row)->Arg(10)->Arg(40)->Arg(200)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantorel

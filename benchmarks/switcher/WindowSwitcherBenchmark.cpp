#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "switcher/SwitcherPanelSurface.h"
#include "switcher/WindowSwitcher.h"
#include "windows/ThumbnailService.h"

#include <QCoreApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"
#include "switcher/SwitcherView.h"

namespace vantorel {
namespace {

constexpr int kApplications = 40;

// 40 applications sharing `windows` windows, an armed switcher with its real panel window
// (not shown on a display) and the production log level. Captures never run: the capture
// tasks of each opening are cancelled before the main thread gets to them.
struct Desk {
    explicit Desk(int windows) : appearance(nullptr) {
        appearance.setReduceMotionOverride(false);
        appearance.setReduceTransparencyOverride(false);
        desktop.logger.setMinimum(LogLevel::info);
        std::vector<ProcessId> pids;
        for (int a = 0; a < kApplications; ++a) {
            SimAppSpec spec;
            spec.name = "App " + std::to_string(a);
            spec.icon = SimDesktop::makeIcon(0xff2060a0u + static_cast<std::uint32_t>(a));
            pids.push_back(desktop.launch(spec));
        }
        for (int w = 0; w < windows; ++w) {
            SimWindowSpec spec;
            spec.title = "Document " + std::to_string(w);
            // Far apart, so that no two windows' centres are mistaken for each other.
            spec.frame = Rect((w % 40) * 97.0, (w / 40) * 61.0, 640, 400);
            desktop.addWindow(pids[static_cast<std::size_t>(w % kApplications)], spec);
        }
        desktop.activateFrontWindowOwner();
        switcher = std::make_unique<WindowSwitcher>(
            desktop.ports(), thumbnails, [this](SwitcherState& state) {
                auto surface = makeSwitcherPanelSurface(state, appearance, SymbolTable::shared());
                window = &static_cast<QtPanelSurface*>(surface.get())->window();
                window->setAttribute(Qt::WA_DontShowOnScreen);
                view = static_cast<SwitcherView*>(window->view());
                return surface;
            });
        switcher->start();
    }
    void optionTab() { desktop.keyEvents.type(kEventTypeKeyDown, WindowSwitcher::kTab, kOption); }
    void closeAndDrain() {
        desktop.keyEvents.type(kEventTypeKeyDown, WindowSwitcher::kEscape, kOption);
        desktop.scheduler.runDue();
        QCoreApplication::processEvents();
    }

    static constexpr EventFlags kOption = kEventFlagMaskAlternate;
    SimDesktop desktop;
    ManualExecutor executor;
    ThumbnailService thumbnails{desktop.ports(), executor};
    Appearance appearance;
    FloatingPanelWindow* window = nullptr;
    SwitcherView* view = nullptr;
    std::unique_ptr<WindowSwitcher> switcher;
};

// The Option-Tab key-down through the tap to the panel enumerated, laid out, centred and
// ordered front. Only the cards in sight are built.
void BM_SwitcherKeyToPanelFront_CardsInSight(benchmark::State& state) {
    Desk desk(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        desk.optionTab();
        benchmark::DoNotOptimize(desk.window->isVisible());
        state.PauseTiming();
        desk.closeAndDrain();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

// The same, to the panel's first frame painted.
void BM_SwitcherKeyToFirstFrame_CardsInSight(benchmark::State& state) {
    Desk desk(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        desk.optionTab();
        benchmark::DoNotOptimize(desk.window->grab());
        state.PauseTiming();
        desk.closeAndDrain();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

// One more Tab while open: the highlight moves, the strip scrolls the new card to the centre
// (its spring run to the end) building the cards coming into sight, and the frame is painted.
void BM_SwitcherStepScrollToFirstFrame_CardsInSight(benchmark::State& state) {
    Desk desk(static_cast<int>(state.range(0)));
    desk.optionTab();
    for (auto _ : state) {
        desk.optionTab();
        desk.view->finishAnimations();
        benchmark::DoNotOptimize(desk.window->grab());
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_SwitcherKeyToPanelFront_CardsInSight)
    ->Arg(20)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SwitcherKeyToFirstFrame_CardsInSight)
    ->Arg(20)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SwitcherStepScrollToFirstFrame_CardsInSight)
    ->Arg(20)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace vantorel

#include <benchmark/benchmark.h>

#include <string>

#include "dock/DockObserver.h"
#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

constexpr int kTiles = 40;

// A Dock of 40 running applications on the simulated desktop.
struct FortyTileDesktop {
    FortyTileDesktop() {
        desktop.logger.setMinimum(LogLevel::info);
        desktop.setDockTileSize(40);
        desktop.launchDock();
        std::vector<SimDockTileSpec> tiles;
        for (int i = 0; i < kTiles; ++i) {
            const std::string name = "App " + std::to_string(i);
            const std::string path = "/Applications/" + name + ".app";
            desktop.launch(SimAppSpec{name, "com.example.app" + std::to_string(i), path,
                                      RunningApplication::kPolicyRegular, nullptr});
            tiles.push_back({SimDockTileSpec::Kind::application, name, "file://" + path});
        }
        desktop.setDockTiles(std::move(tiles));
    }
    SimDesktop desktop;
};

// The mouse-moved path with a warm cache: every event lands on the same tile, so the refresh is
// rate-limited and no report is made. This is what runs at pointer rate.
void BM_MouseMovedOverOneTile(benchmark::State& state) {
    FortyTileDesktop world;
    DockObserver observer(world.desktop.ports());
    observer.start();
    const Rect frame = world.desktop.dockTileFrame(kTiles - 1);  // the last tile: a full scan
    const double height = world.desktop.primaryHeight();
    double dx = 0;
    for (auto _ : state) {
        dx = dx > 10 ? 0 : dx + 1;
        world.desktop.pointer.moveTo({frame.minX() + 5 + dx, height - frame.center().y});
    }
    benchmark::DoNotOptimize(observer.currentHover());
}
BENCHMARK(BM_MouseMovedOverOneTile);

// Every event changes the hovered tile: the worst case, building and reporting an item.
void BM_MouseMovedAcrossTiles(benchmark::State& state) {
    FortyTileDesktop world;
    DockObserver observer(world.desktop.ports());
    int reports = 0;
    observer.onHoverChange = [&](const std::optional<DockItem>&) { ++reports; };
    observer.start();
    const double height = world.desktop.primaryHeight();
    int i = 0;
    for (auto _ : state) {
        const Rect frame = world.desktop.dockTileFrame(static_cast<std::size_t>(i));
        i = (i + 1) % kTiles;
        world.desktop.pointer.moveTo({frame.center().x, height - frame.center().y});
    }
    benchmark::DoNotOptimize(reports);
}
BENCHMARK(BM_MouseMovedAcrossTiles);

// A full rebuild of the 40-tile cache from the accessibility tree.
void BM_RefreshFortyTiles(benchmark::State& state) {
    FortyTileDesktop world;
    DockObserver observer(world.desktop.ports());
    observer.start();
    for (auto _ : state) {
        observer.refreshTiles(true);
        benchmark::DoNotOptimize(observer.cachedTiles().data());
    }
}
BENCHMARK(BM_RefreshFortyTiles);

}  // namespace
}  // namespace vantorel

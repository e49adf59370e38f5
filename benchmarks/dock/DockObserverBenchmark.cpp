#include <benchmark/benchmark.h>

#include <string>

#include "AllocationCounter.h"
#include "dock/DockObserver.h"
#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

// A Dock of `count` running applications on the simulated desktop, 40 points a tile.
struct TiledDesktop {
    explicit TiledDesktop(int count) {
        desktop.logger.setMinimum(LogLevel::info);
        desktop.setScreens({Rect(0, 0, 8000, 1117)});
        desktop.setDockTileSize(40);
        desktop.launchDock();
        std::vector<SimDockTileSpec> tiles;
        for (int i = 0; i < count; ++i) {
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

void countAllocations(benchmark::State& state, std::uint64_t before) {
    state.counters["allocations/event"] = benchmark::Counter(
        static_cast<double>(allocationCount() - before) / static_cast<double>(state.iterations()));
}

// The mouse-moved path with a warm cache, from the pointer's event to the hovered tile: every
// event lands on the same tile (the last: a full scan), so the refresh is rate-limited and no
// report is made. This is what runs at pointer rate.
void BM_MouseMovedOverOneTile(benchmark::State& state) {
    const int tiles = static_cast<int>(state.range(0));
    TiledDesktop world(tiles);
    DockObserver observer(world.desktop.ports());
    observer.start();
    const Rect frame = world.desktop.dockTileFrame(static_cast<std::size_t>(tiles - 1));
    const double height = world.desktop.primaryHeight();
    double dx = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        dx = dx > 10 ? 0 : dx + 1;
        world.desktop.pointer.moveTo({frame.minX() + 5 + dx, height - frame.center().y});
    }
    countAllocations(state, before);
    if (!observer.currentHover()) state.SkipWithError("the pointer was not over a tile");
}
BENCHMARK(BM_MouseMovedOverOneTile)->Arg(10)->Arg(40)->Arg(100);

// Every event changes the hovered tile: the worst case, building and reporting an item.
void BM_MouseMovedAcrossTiles(benchmark::State& state) {
    const int tiles = static_cast<int>(state.range(0));
    TiledDesktop world(tiles);
    DockObserver observer(world.desktop.ports());
    int reports = 0;
    observer.onHoverChange = [&](const std::optional<DockItem>&) { ++reports; };
    observer.start();
    const double height = world.desktop.primaryHeight();
    int i = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        const Rect frame = world.desktop.dockTileFrame(static_cast<std::size_t>(i));
        i = (i + 1) % tiles;
        world.desktop.pointer.moveTo({frame.center().x, height - frame.center().y});
    }
    countAllocations(state, before);
    if (reports == 0) state.SkipWithError("no hover was reported");
}
BENCHMARK(BM_MouseMovedAcrossTiles)->Arg(10)->Arg(40)->Arg(100);

// The cache refresh when its interval has passed and the Dock is as it was.
void BM_RefreshTiles(benchmark::State& state) {
    TiledDesktop world(static_cast<int>(state.range(0)));
    DockObserver observer(world.desktop.ports());
    observer.start();
    for (auto _ : state) {
        observer.refreshTiles(true);
        benchmark::DoNotOptimize(observer.cachedTiles().data());
    }
    if (observer.cachedTiles().size() != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("not every tile was read");
}
BENCHMARK(BM_RefreshTiles)->Arg(10)->Arg(40)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel

#include "app/Tour.h"

#include <chrono>

#include "app/DefaultWorld.h"
#include "dock/DockObserver.h"
#include "platform/linux/FileSystemResources.h"
#include "platform/linux/StreamLogger.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// A pointer event every 16 ms, as a mouse moving at 60 Hz delivers them.
constexpr Duration kEventInterval = 16ms;
constexpr double kStep = 12;

}  // namespace

int Tour::run() {
    std::string error;
    const auto world = SimWorld::parse(defaultWorldJson(), &error);
    if (!world) {
        out_ << "The default world is broken: " << error << "\n";
        return 1;
    }
    if (!world->createFolders(root_, &error)) {
        out_ << "Could not create the tour's folders: " << error << "\n";
        return 1;
    }

    SimDesktop desktop;
    FileSystemResources realFiles;
    desktop.files.setFallback(&realFiles);
    StreamLogger printer(out_, LogLevel::debug, [&desktop] { return desktop.scheduler.now(); });
    desktop.logger.setForward(&printer);
    world->build(desktop, root_);

    out_ << "Tour of the simulated desktop; its folders are in " << root_ << "\n";
    DockObserver observer(desktop.ports());
    observer.start();

    auto moveTo = [&](Point ax) {
        desktop.scheduler.advance(kEventInterval);
        desktop.movePointerAX(ax);
    };

    const auto& tiles = desktop.dockTiles();
    if (tiles.empty()) return 0;
    const Rect first = desktop.dockTileFrame(0);
    const Rect last = desktop.dockTileFrame(tiles.size() - 1);
    const double row = first.center().y;

    out_ << "-- The pointer comes down onto the Dock and sweeps across it\n";
    for (double y = row - 200; y < row; y += kStep * 4)
        moveTo({first.minX() - 40, y});
    for (double x = first.minX() - 40; x <= last.maxX() + 40; x += kStep)
        moveTo({x, row});

    out_ << "-- It rests on Safari for a second, then leaves the Dock upward\n";
    const Point safari = desktop.dockTileFrame(1).center();
    moveTo(safari);
    for (int i = 0; i < 60; ++i)
        moveTo({safari.x + (i % 2), safari.y});
    for (double y = safari.y; y > safari.y - 240; y -= kStep * 2)
        moveTo({safari.x, y});

    out_ << "-- It visits the two folders and the stack that cannot be resolved\n";
    for (std::size_t i = tiles.size() - 3; i < tiles.size(); ++i) {
        desktop.scheduler.advance(400ms);
        moveTo(desktop.dockTileFrame(i).center());
    }
    moveTo({last.maxX() + 300, row - 300});
    out_ << "-- Tour finished\n";
    return 0;
}

}  // namespace vantorel

// A world file through the simulated desktop's loader, the desktop it builds, and the window
// enumeration over it: ids stay unique whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"
#include "windows/WindowService.h"

namespace {

void requireUniqueIds(const std::vector<vantorel::WindowInfo>& windows) {
    std::set<std::uint32_t> ids;
    for (const auto& window : windows) {
        if (!ids.insert(window.id).second) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantorel;
    std::string error;
    const auto world =
        SimWorld::parse(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (!world) return 0;
    SimDesktop desktop;
    world->build(desktop, "/nonexistent");
    desktop.activateFrontWindowOwner();
    const WindowService service(desktop.ports());
    requireUniqueIds(service.allWindows());
    for (const auto& app : desktop.workspace.runningApplications())
        requireUniqueIds(service.windows(app));
    return 0;
}

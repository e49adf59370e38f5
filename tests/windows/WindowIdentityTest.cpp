#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"
#include "windows/WindowService.h"

namespace vantorel {
namespace {

// Ids key cards and live captures: one enumeration never holds the same id twice, whatever the
// hashes of minimised windows or a malformed window list make of them.
TEST(WindowIdentityTest, ClashingIdsMoveToTheNextFreeOneAndNumbersStayForCapture) {
    SimDesktop desktop;
    const ProcessId pid = desktop.launch({"Editor", "com.example.editor", {}, 0, nullptr});
    // The entry is kept under `key` and names itself `number`: a malformed list may repeat one.
    const auto open = [&](double x, bool minimized, WindowNumber number, WindowNumber key) {
        SimWindowSpec spec;
        spec.frame = Rect(x, 100, 300, 200);
        spec.minimized = minimized;
        spec.hasWindowServerEntry = false;
        const auto desc = SimWindowServer::describe(pid, "", number, 0, spec.frame, "");
        if (number) desktop.windowServer.add(key, {desc, true, false});
        return desktop.windows.node(desktop.addWindow(pid, spec));
    };
    const auto hashed = static_cast<std::uint32_t>(
        desktop.accessibility.hash(AXElement(open(0, true, 0, 0))) & 0xffff);
    open(400, false, hashed, hashed);          // the minimised window's hash as a window number,
    open(800, false, hashed + 1, hashed + 1);  // and the one after it
    open(1200, false, 70000, 70000);           // a number listed twice
    open(1600, false, 70000, 70001);
    const WindowService service(desktop.ports());
    for (const auto& windows :
         {service.windows(*desktop.workspace.application(pid)), service.allWindows()}) {
        std::vector<std::pair<std::uint32_t, WindowNumber>> ids;
        for (const auto& w : windows)
            ids.emplace_back(w.id, w.cgWindowID);
        EXPECT_EQ(ids, (decltype(ids){{hashed + 2, 0},
                                      {hashed, hashed},
                                      {hashed + 1, hashed + 1},
                                      {70000, 70000},
                                      {(70000 + 1) & 0xffff, 70000}}));
    }
}

}  // namespace
}  // namespace vantorel

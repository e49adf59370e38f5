#include "dock/DockEdge.h"

#include <gtest/gtest.h>

#include "platform/sim/SimUserDefaults.h"

namespace vantorel {
namespace {

TEST(DockEdge, IsReadAfreshEachTimeAndAnythingButLeftOrRightIsTheBottom) {
    SimUserDefaults defaults;
    auto& dock = defaults.domain("com.apple.dock");
    EXPECT_EQ(currentDockEdge(defaults), DockEdge::bottom);  // absent
    const std::pair<DefaultsValue, DockEdge> cases[] = {{"left", DockEdge::left},
                                                        {"right", DockEdge::right},
                                                        {"Left", DockEdge::bottom},
                                                        {1, DockEdge::bottom},
                                                        {"left", DockEdge::left}};
    for (const auto& [value, edge] : cases) {
        dock.setObject("orientation", value);
        EXPECT_EQ(currentDockEdge(defaults), edge);
    }
    defaults.setUnopenable("com.apple.dock", true);
    EXPECT_EQ(currentDockEdge(defaults), DockEdge::bottom);
}

}  // namespace
}  // namespace vantorel

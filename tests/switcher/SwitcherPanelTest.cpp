#include "switcher/SwitcherPanel.h"

#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"

namespace vantorel {
namespace {

std::vector<SwitcherState::Item> items(const std::vector<std::uint32_t>& ids) {
    std::vector<SwitcherState::Item> out(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        out[i].id = ids[i];
    return out;
}

TEST(SwitcherStateTest, TheSelectionIsClampedAndThumbnailsGoToTheFirstMatchingCard) {
    struct Case {
        std::vector<std::uint32_t> ids;
        int requested;
        int selected;
    };
    for (const Case& c : {Case{{1, 2, 3, 4, 5}, 7, 4}, Case{{1, 2, 3, 4, 5}, -1, 0}, Case{{}, 3, 0},
                          Case{{1, 2}, 1, 1}}) {
        SCOPED_TRACE(c.requested);
        SwitcherState state;
        state.setItems(items(c.ids), c.requested);
        EXPECT_EQ(state.selectedIndex(), c.selected);
    }

    SwitcherState state;
    int notices = 0;
    auto subscription = state.observe([&](const SwitcherState::Change&) { ++notices; });
    state.setItems(items({7, 8, 7}), 0);
    state.setSelectedIndex(3);
    EXPECT_EQ(state.selectedItem(), nullptr);
    notices = 0;
    state.setThumbnail(SimDesktop::makeIcon(0xff00ff00), 99);
    EXPECT_EQ(notices, 0);
    state.setThumbnail(SimDesktop::makeIcon(0xff00ff00), 7);
    EXPECT_NE(state.items()[0].thumbnail, nullptr);
    EXPECT_EQ(state.items()[2].thumbnail, nullptr);
    EXPECT_EQ(notices, 1);
}

TEST(SwitcherPanelTest, CentresOnTheScreenUnderThePointerAndCapsItsWidth) {
    // Two screens side by side, each with room for a menu bar.
    struct PanelCase {
        const char* name;
        Point pointer;
        bool screens;
        bool mainScreen;
        Point expectedCentre;
        double expectedMaxWidth;
    };
    const ScreenInfo primary{Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)};
    const ScreenInfo wide{Rect(1440, 0, 4000, 1800), Rect(1440, 0, 4000, 1775)};
    const PanelCase cases[] = {
        {"pointer on the secondary screen", {2000, 500}, true, true, {3440, 887.5}, 1280},
        // 4000 − 160 is past the widest the panel ever gets.
        {"the wide screen is the main one", {2000, 500}, true, false, {3440, 887.5}, 2600},
        {"pointer outside every screen", {-500, -500}, true, true, {720, 437.5}, 1280},
        {"no screen list, a main screen", {10, 10}, false, true, {720, 437.5}, 1280},
        {"no screen at all", {10, 10}, false, false, {150, 120}, 1440},
    };
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimDesktop desktop;
        desktop.screens.setScreens(c.screens ? std::vector<ScreenInfo>{primary, wide}
                                             : std::vector<ScreenInfo>{});
        desktop.screens.setMainScreen(c.mainScreen ? std::optional<ScreenInfo>(primary)
                                      : c.screens  ? std::optional<ScreenInfo>(wide)
                                                   : std::nullopt);
        desktop.pointer.moveTo(c.pointer);
        SimPanelSurface* surface = nullptr;
        double width = 300;
        SwitcherPanel panel(
            desktop.screens, desktop.pointer, desktop.logger, [&](SwitcherState& state) {
                auto made = std::make_unique<SimPanelSurface>(desktop.scheduler, [&state, &width] {
                    return Size{std::min(width, state.maxWidth()), 240};
                });
                surface = made.get();
                return made;
            });
        panel.show();
        EXPECT_TRUE(surface->isVisible());
        EXPECT_EQ(panel.state().maxWidth(), c.expectedMaxWidth);
        EXPECT_EQ(surface->frame().center(), c.expectedCentre);
        EXPECT_EQ(surface->orderFronts(), 1);
        // Refitting to more cards keeps the centre.
        width = 600;
        panel.refit();
        EXPECT_EQ(surface->frame().center(), c.expectedCentre);
        panel.orderOut();
        EXPECT_FALSE(panel.isVisible());
    }
}

}  // namespace
}  // namespace vantorel

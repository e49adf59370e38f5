#include "switcher/SwitcherPanel.h"

#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"

namespace vantorel {
namespace {

std::vector<SwitcherState::Item> items(std::initializer_list<std::uint32_t> ids) {
    std::vector<SwitcherState::Item> out;
    for (const std::uint32_t id : ids) {
        SwitcherState::Item item;
        item.id = id;
        item.appName = "App";
        out.push_back(item);
    }
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
        std::vector<SwitcherState::Item> list;
        for (const auto id : c.ids)
            list.push_back(items({id}).front());
        state.setItems(list, c.requested);
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

TEST(SwitcherStateTest, AWindowWithoutTitleShowsItsApplicationName) {
    SwitcherState::Item item;
    item.appName = "Notes";
    EXPECT_EQ(item.displayTitle(), "Notes");
    item.window.title = "Shopping";
    EXPECT_EQ(item.displayTitle(), "Shopping");
}

// Two screens side by side; the second's visible frame leaves room for a menu bar.
struct PanelCase {
    const char* name;
    Point pointer;
    bool screens;
    bool mainScreen;
    Point expectedCentre;
    double expectedMaxWidth;
};

TEST(SwitcherPanelTest, CentresOnTheScreenUnderThePointerAndCapsItsWidth) {
    const ScreenInfo primary{Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)};
    const ScreenInfo wide{Rect(1440, 0, 3200, 1800), Rect(1440, 0, 3200, 1775)};
    const PanelCase cases[] = {
        {"pointer on the secondary screen", {2000, 500}, true, true, {3040, 887.5}, 1280},
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
                                                   : std::nullopt);
        desktop.pointer.moveTo(c.pointer);
        SimPanelSurface* surface = nullptr;
        SwitcherPanel panel(
            desktop.screens, desktop.pointer, desktop.logger, [&](SwitcherState& state) {
                auto made = std::make_unique<SimPanelSurface>(desktop.scheduler, [&state] {
                    return Size{std::min(300.0, state.maxWidth()), 240};
                });
                surface = made.get();
                return made;
            });
        panel.show();
        EXPECT_TRUE(surface->isVisible());
        EXPECT_EQ(panel.state().maxWidth(), c.expectedMaxWidth);
        EXPECT_EQ(surface->frame().center(), c.expectedCentre);
        EXPECT_EQ(surface->orderFronts(), 1);
    }
}

TEST(SwitcherPanelTest, RefitKeepsTheCentreAndTheWidthCapFollowsTheMainScreen) {
    SimDesktop desktop;
    desktop.setScreens({Rect(0, 0, 4000, 2000)});
    double width = 400;
    SimPanelSurface* surface = nullptr;
    SwitcherPanel panel(desktop.screens, desktop.pointer, desktop.logger, [&](SwitcherState&) {
        auto made = std::make_unique<SimPanelSurface>(desktop.scheduler, [&width] {
            return Size{width, 200};
        });
        surface = made.get();
        return made;
    });
    panel.show();
    const Point centre = surface->frame().center();
    width = 900;
    panel.refit();
    EXPECT_EQ(surface->frame().center(), centre);
    EXPECT_EQ(surface->frame().width(), 900);
    // 4000 − 160 is past the widest the panel ever gets.
    EXPECT_EQ(panel.state().maxWidth(), SwitcherPanel::kWidestContent);
    panel.orderOut();
    EXPECT_FALSE(panel.isVisible());
}

}  // namespace
}  // namespace vantorel

#include "platform/sim/SimWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

// The simulated desktop must disagree between its two window views exactly where the platform
// does, or the enumeration tests built on it prove nothing.
class SimWindowsTest : public testing::Test {
protected:
    SimWindowsTest() {
        pid = desktop.launch(SimAppSpec{"Safari", "com.apple.Safari", {}, 0, nullptr});
        SimWindowSpec spec;
        spec.title = "Apple";
        spec.frame = Rect(100, 100, 800, 600);
        front = desktop.addWindow(pid, spec);
        spec.title = "Export";
        spec.subrole = "AXDialog";
        dialog = desktop.addWindow(pid, spec);
    }

    std::vector<WindowNumber> listed(WindowServer::Options options) {
        std::vector<WindowNumber> out;
        const auto list = desktop.windowServer.copyWindowInfo(options, 0);
        for (const auto& value : *list) {
            const auto& entry = *value.as<WindowServerDictionary>();
            out.push_back(
                static_cast<WindowNumber>(*entry.at("kCGWindowNumber").as<std::int64_t>()));
        }
        return out;
    }
    std::vector<WindowNumber> onScreen() {
        return listed(WindowServer::kOptionOnScreenOnly |
                      WindowServer::kOptionExcludeDesktopElements);
    }
    std::vector<AXElement> axWindows() {
        std::vector<AXElement> out;
        const auto result = desktop.accessibility.copyAttributeValue(
            desktop.accessibility.createApplication(pid), "AXWindows");
        for (const auto& value : *result.value->as<AXArray>())
            out.push_back(*value.as<AXElement>());
        return out;
    }
    AXElement element(WindowId id) { return desktop.windows.node(id)->element(); }

    SimDesktop desktop;
    ProcessId pid = 0;
    WindowId front = 0;
    WindowId dialog = 0;
};

TEST_F(SimWindowsTest, BothViewsDescribeTheSameWindowAndDesktopElementsLeaveOnlyWhenAsked) {
    const auto list = desktop.windowServer.copyWindowInfo(1, 0);
    const auto& entry = *list->front().as<WindowServerDictionary>();
    EXPECT_EQ(*entry.at("kCGWindowOwnerPID").as<std::int64_t>(), pid);
    EXPECT_EQ(*entry.at("kCGWindowLayer").as<std::int64_t>(), 0);
    EXPECT_EQ(*entry.at("kCGWindowName").as<std::string>(), "Apple");
    EXPECT_EQ(*entry.at("kCGWindowOwnerName").as<std::string>(), "Safari");
    const auto& bounds = *entry.at("kCGWindowBounds").as<WindowServerDictionary>();
    EXPECT_EQ(*bounds.at("Width").as<double>(), 800);

    auto& ax = desktop.accessibility;
    EXPECT_EQ(axWindows(), (std::vector<AXElement>{element(front), element(dialog)}));
    EXPECT_EQ(*ax.copyAttributeValue(element(front), "AXRole").value->as<std::string>(),
              "AXWindow");
    EXPECT_EQ(*ax.copyAttributeValue(element(front), "AXPosition").value->as<Point>(),
              (Point{100, 100}));
    // A standard window has a close button, a dialog a cancel button instead.
    EXPECT_TRUE(ax.copyAttributeValue(element(front), "AXCloseButton").value);
    EXPECT_EQ(ax.copyAttributeValue(element(dialog), "AXCloseButton").error,
              AXError::attributeUnsupported);
    EXPECT_TRUE(ax.copyAttributeValue(element(dialog), "AXCancelButton").value);

    const WindowNumber wallpaper = desktop.windowServer.allocateNumber();
    desktop.windowServer.add(wallpaper,
                             {SimWindowServer::describe(pid, "Dock", wallpaper, -2147483624,
                                                        Rect(0, 0, 1728, 1117), "Wallpaper"),
                              true, true});
    EXPECT_EQ(listed(WindowServer::kOptionOnScreenOnly),
              (std::vector<WindowNumber>{front, dialog, wallpaper}));
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{front, dialog}));
}

TEST_F(SimWindowsTest, MinimisedHiddenAndOtherSpaceWindowsLeaveOnlyTheOnScreenList) {
    SimWindowSpec spec;
    spec.title = "Elsewhere";
    spec.onScreen = false;
    const auto elsewhere = desktop.addWindow(pid, spec);
    spec = {};
    spec.title = "Colors";
    spec.subrole = "AXFloatingWindow";
    spec.layer = 3;
    const auto palette = desktop.addWindow(pid, spec);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{front, dialog, palette}));
    EXPECT_EQ(listed(WindowServer::kOptionAll),
              (std::vector<WindowNumber>{front, dialog, elsewhere, palette}));

    // Minimising through the accessibility interface, as window actions do.
    auto& ax = desktop.accessibility;
    EXPECT_EQ(ax.setAttributeValue(element(front), "AXMinimized", AXValue{true}), AXError::success);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{dialog, palette}));
    EXPECT_EQ(*ax.copyAttributeValue(element(front), "AXMinimized").value->as<bool>(), true);
    EXPECT_EQ(ax.setAttributeValue(element(front), "AXMinimized", AXValue{std::string("no")}),
              AXError::illegalArgument);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{dialog, palette}));
    // A restored window comes back in front, in both views.
    ax.setAttributeValue(element(dialog), "AXMinimized", AXValue{true});
    ax.setAttributeValue(element(dialog), "AXMinimized", AXValue{false});
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{dialog, palette}));
    EXPECT_EQ(axWindows().front(), element(dialog));

    // A hidden application keeps its accessibility windows but shows none.
    desktop.windows.setApplicationHidden(pid, true);
    EXPECT_TRUE(onScreen().empty());
    EXPECT_EQ(axWindows().size(), 4u);
    desktop.windows.setApplicationHidden(pid, false);
    desktop.windows.setOnScreen(elsewhere, true);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{dialog, elsewhere, palette}));

    desktop.windowServer.setFailing(true);
    EXPECT_FALSE(desktop.windowServer.copyWindowInfo(1, 0));
}

TEST_F(SimWindowsTest, ButtonsRaiseAndQuittingActOnTheWindows) {
    auto& ax = desktop.accessibility;
    EXPECT_EQ(ax.performAction(element(dialog), "AXRaise"), AXError::success);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{dialog, front}));
    EXPECT_EQ(axWindows().front(), element(dialog));

    const auto closeButton =
        *ax.copyAttributeValue(element(front), "AXCloseButton").value->as<AXElement>();
    const auto held = element(front);
    EXPECT_EQ(ax.performAction(closeButton, "AXPress"), AXError::success);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{dialog}));
    EXPECT_EQ(axWindows(), (std::vector<AXElement>{element(dialog)}));
    // Handles kept from before answer like those of a closed window.
    EXPECT_EQ(ax.copyAttributeValue(held, "AXTitle").error, AXError::invalidUIElement);
    EXPECT_EQ(ax.performAction(closeButton, "AXPress"), AXError::invalidUIElement);

    const auto cancel =
        *ax.copyAttributeValue(element(dialog), "AXCancelButton").value->as<AXElement>();
    EXPECT_EQ(ax.performAction(cancel, "AXPress"), AXError::success);
    EXPECT_EQ(desktop.windows.count(), 0u);

    // A quitting process takes its windows along.
    const auto other = desktop.launch(SimAppSpec{"Notes", "com.apple.Notes", {}, 0, nullptr});
    const auto note = desktop.addWindow(other, SimWindowSpec{});
    const auto kept = desktop.addWindow(pid, SimWindowSpec{});
    const auto heldKept = element(kept);
    desktop.terminate(pid);
    EXPECT_EQ(onScreen(), (std::vector<WindowNumber>{note}));
    EXPECT_EQ(desktop.accessibility.copyAttributeValue(heldKept, "AXTitle").error,
              AXError::invalidUIElement);
    EXPECT_EQ(desktop.addWindow(pid, SimWindowSpec{}), 0u);
}

}  // namespace
}  // namespace vantorel

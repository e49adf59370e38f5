#include <gtest/gtest.h>

#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Rig.h"
#include "windows/WindowService.h"

namespace vantorel {
namespace {

// Clients write names in every form: UTF-8, Latin-1 only, or a broken UTF-8 one beside a
// legacy name.
TEST(X11PropertiesTest, NamesAreAlwaysValidTextPreferringTheUtf8One) {
    struct Case {
        std::optional<std::string_view> utf8, legacy;
        bool latin1;
        std::string expected;
    } cases[] = {
        {"Fenêtre ✓", "ignored", true, "Fenêtre ✓"},
        {std::nullopt, "Caf\xe9", true, "Café"},
        {"\xff\xfe", "Plain", true, "Plain"},
        {"", "Legacy", false, "Legacy"},
        {"\xc0\xaf", std::nullopt, false, ""},                    // overlong: not UTF-8
        {"\xed\xa0\x80", "x", false, "x"},                        // a surrogate
        {std::nullopt, "\xe9t\xe9", false, "\xc3\xa9t\xc3\xa9"},  // legacy not UTF-8: Latin-1
        {std::string_view("Name\0", 5), std::nullopt, false, "Name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(X11Properties::windowName(c.utf8, c.legacy, c.latin1), c.expected);
    }
}

TEST(X11PropertiesTest, ClassesAndFrameExtentsRefuseMalformedValues) {
    EXPECT_EQ(X11Properties::windowClass(std::string_view("xterm\0XTerm\0", 12))->className,
              "XTerm");
    EXPECT_EQ(X11Properties::windowClass(std::string_view("xterm\0XTerm", 11))->instance, "xterm");
    for (const std::string_view bad :
         {std::string_view("XTerm"), std::string_view("a\0", 2), std::string_view("a\0b\0c", 5)}) {
        EXPECT_FALSE(X11Properties::windowClass(bad)) << bad;
    }
    const std::uint32_t good[] = {1, 1, 20, 5};
    EXPECT_EQ(X11Properties::frameExtents(good)->top, 20);
    const std::uint32_t three[] = {1, 1, 20};
    const std::uint32_t huge[] = {1, 0xFFFFFFFF, 20, 5};
    EXPECT_FALSE(X11Properties::frameExtents(three));
    EXPECT_FALSE(X11Properties::frameExtents(huge));
}

class X11DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rig.session.skipReason.empty()) GTEST_SKIP() << rig.session.skipReason;
    }
    X11Rig rig;
};

TEST_F(X11DesktopTest, ListsClientsFrontToBackWithNamesOwnersAndPairedFrames) {
    struct Client {
        std::string cls, utf8, latin1, expected;
        xcb_window_t id = XCB_NONE;
    } clients[] = {{"Alpha", "Ünïcødé ✓ 窓", "-", "Ünïcødé ✓ 窓"},
                   {"Beta", "-", "Café crème", "Café crème"},
                   {"Gamma", "\xff broken", "Fallback", "Fallback"}};
    for (auto& c : clients) {
        c.id = rig.open(c.cls, c.utf8, c.latin1);
        ASSERT_NE(c.id, XCB_NONE) << c.cls;
    }
    rig.desktop->refresh();
    const auto& windows = rig.desktop->windows();
    ASSERT_EQ(windows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& expected = clients[2 - i];  // the last opened is in front
        SCOPED_TRACE(expected.cls);
        EXPECT_EQ(windows[i].id, expected.id);
        EXPECT_EQ(windows[i].name, expected.expected);
        EXPECT_EQ(windows[i].className, expected.cls);
        EXPECT_GT(windows[i].pid, 0);
        // The frame includes openbox's title bar.
        EXPECT_GT(windows[i].frame.height(), 200);
    }
    // The accessibility and window-server views describe one rectangle, so every window pairs.
    const auto paired = WindowService(rig.ports()).allWindows();
    ASSERT_EQ(paired.size(), 3u);
    for (const auto& w : paired) {
        EXPECT_NE(w.cgWindowID, 0u) << w.title;
        EXPECT_EQ(rig.desktop->application(w.ownerPID)->bundleIdentifier,
                  rig.find(w.cgWindowID)->className);
    }
}

TEST_F(X11DesktopTest, ActionsAndActivationsGoThroughTheWindowManager) {
    const xcb_window_t first = rig.open("First", "first");
    const xcb_window_t second = rig.open("Second", "second");
    ASSERT_TRUE(rig.find(first) && rig.find(second)) << first << " " << second;
    std::vector<std::optional<RunningApplication>> told;
    auto token = rig.desktop->addActivationObserver([&](const auto& app) { told.push_back(app); });
    Accessibility& ax = *rig.desktop;
    const AXElement app = ax.createApplication(rig.find(first)->pid);
    const AXResult windows = ax.copyAttributeValue(app, "AXWindows");
    const auto* list = windows.value->as<AXArray>();
    ASSERT_EQ(list->size(), 1u);
    const AXElement window = *list->front().as<AXElement>();

    EXPECT_EQ(ax.performAction(window, "AXRaise"), AXError::success);
    ASSERT_TRUE(rig.activeIs(first));
    const ProcessId firstPid = rig.find(first)->pid;
    EXPECT_TRUE(rig.session.waitFor([&] {
        return !told.empty() && told.back() && told.back()->processIdentifier == firstPid;
    }));
    // The None a window manager writes between two activations is not an application.
    for (const auto& named : told)
        EXPECT_TRUE(named.has_value());

    EXPECT_EQ(ax.setAttributeValue(window, "AXMinimized", AXValue{true}), AXError::success);
    EXPECT_TRUE(rig.session.waitFor([&] { return rig.find(first)->minimized; }));
    const auto onScreen = rig.desktop->copyWindowInfo(WindowServer::kOptionOnScreenOnly, 0);
    EXPECT_EQ(onScreen->size(), 1u);
    EXPECT_EQ(*ax.copyAttributeValue(window, "AXMinimized").value->as<bool>(), true);

    EXPECT_EQ(ax.setAttributeValue(window, "AXMinimized", AXValue{false}), AXError::success);
    EXPECT_TRUE(rig.session.waitFor([&] { return !rig.find(first)->minimized; }));
    EXPECT_TRUE(rig.activeIs(first));

    const AXResult button = ax.copyAttributeValue(window, "AXCloseButton");
    EXPECT_EQ(ax.performAction(*button.value->as<AXElement>(), "AXPress"), AXError::success);
    EXPECT_TRUE(rig.session.waitFor([&] { return rig.find(first) == nullptr; }));
    EXPECT_NE(rig.find(second), nullptr);
    // The window is gone: its element is no longer valid, and nothing is sent for it.
    EXPECT_EQ(ax.performAction(window, "AXRaise"), AXError::invalidUIElement);
    EXPECT_EQ(ax.setAttributeValue(window, "AXMinimized", AXValue{std::string("yes")}),
              AXError::illegalArgument);
}

}  // namespace
}  // namespace vantorel

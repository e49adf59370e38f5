#include "app/MenuBarContent.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Item = MenuBarContent::Item;
using Kind = Item::Kind;
using Action = Item::Action;
using Status = PermissionsManager::Status;

// Brings the manager's two observed statuses to the given values the way the platform would.
// Screen Recording stays undetermined only while it has never been probed.
void setStatuses(SimDesktop& desktop, PermissionsManager& permissions, Status accessibility,
                 Status screenRecording) {
    desktop.accessibility.setTrusted(accessibility == Status::granted);
    permissions.checkAccessibility(accessibility == Status::denied);
    if (screenRecording != Status::notDetermined) {
        desktop.permissionServices.setScreenRecordingAllowed(screenRecording == Status::granted);
        permissions.refreshScreenRecording();
        desktop.scheduler.runDue();
    }
    ASSERT_EQ(permissions.accessibility(), accessibility);
    ASSERT_EQ(permissions.screenRecording(), screenRecording);
}

// The menu as a person reads it: "-" for the divider, a disabled button in brackets.
std::vector<std::string> rendered(const MenuBarContent& content) {
    std::vector<std::string> out;
    for (const Item& item : content.items()) {
        if (item.kind == Kind::divider) {
            out.push_back("-");
        } else {
            out.push_back(item.enabled || item.kind == Kind::label ? item.title
                                                                   : "[" + item.title + "]");
        }
    }
    return out;
}

class MenuBarContentTest : public testing::Test {
protected:
    void setStatuses(Status accessibility, Status screenRecording) {
        vantorel::setStatuses(desktop, permissions, accessibility, screenRecording);
    }

    SimDesktop desktop;
    PermissionsManager permissions{desktop.ports()};
    MenuBarContent content{permissions};
};

TEST(MenuBarContent, ItemsFollowEveryCombinationOfAccessibilityAndScreenRecording) {
    const std::vector<std::string> tail = {"-", "[Welcome to Vantorel…]", "[Settings…]",
                                           "[Quit Vantorel]"};
    const Status all[] = {Status::granted, Status::denied, Status::notDetermined};
    for (const Status accessibility : all) {
        for (const Status screenRecording : all) {
            SCOPED_TRACE(std::string(PermissionsManager::toString(accessibility)) + " / " +
                         std::string(PermissionsManager::toString(screenRecording)));
            SimDesktop desktop;
            PermissionsManager permissions(desktop.ports());
            MenuBarContent content(permissions);
            setStatuses(desktop, permissions, accessibility, screenRecording);
            std::vector<std::string> expected;
            if (accessibility != Status::granted) expected.push_back("Enable Accessibility…");
            if (screenRecording != Status::granted) {
                expected.push_back("Enable Screen Recording…");
            }
            if (accessibility == Status::granted && screenRecording == Status::granted) {
                expected.push_back("Vantorel is active");
            }
            expected.insert(expected.end(), tail.begin(), tail.end());
            EXPECT_EQ(rendered(content), expected);
        }
    }
}

TEST_F(MenuBarContentTest, TheLabelIsInertAndQuitCarriesItsShortcut) {
    setStatuses(Status::granted, Status::granted);
    content.quit = [] {};
    const auto items = content.items();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].kind, Kind::label);
    EXPECT_EQ(items[0].symbol, "checkmark.circle");
    EXPECT_EQ(items[0].action, Action::none);
    EXPECT_FALSE(items[0].enabled);
    EXPECT_EQ(items[4].title, "Quit Vantorel");
    EXPECT_EQ(items[4].shortcut, "Ctrl+Q");
    EXPECT_TRUE(items[4].enabled);
}

TEST_F(MenuBarContentTest, ButtonsOpenTheirPaneAndWindowItemsWorkOnlyOnceTheirWindowExists) {
    setStatuses(Status::denied, Status::denied);
    content.trigger(Action::enableAccessibility);
    content.trigger(Action::enableScreenRecording);
    EXPECT_EQ(desktop.permissionServices.openedPanes(),
              (std::vector<std::string>{"Privacy_Accessibility", "Privacy_ScreenCapture"}));

    // No window behind them yet: present, disabled, and triggering them does nothing.
    content.trigger(Action::showWelcome);
    content.trigger(Action::openSettings);
    content.trigger(Action::quit);

    int welcome = 0, settings = 0, quits = 0;
    content.showWelcome = [&] { ++welcome; };
    content.openSettings = [&] { ++settings; };
    content.quit = [&] { ++quits; };
    for (const Item& item : content.items()) {
        if (item.kind == Kind::button) {
            EXPECT_TRUE(item.enabled) << item.title;
        }
    }
    content.trigger(Action::showWelcome);
    content.trigger(Action::openSettings);
    content.trigger(Action::quit);
    EXPECT_EQ(welcome, 1);
    EXPECT_EQ(settings, 1);
    EXPECT_EQ(quits, 1);

    // An item that is not in the menu cannot be triggered: granted, the buttons are gone.
    setStatuses(Status::granted, Status::granted);
    content.trigger(Action::enableAccessibility);
    content.trigger(Action::none);
    EXPECT_EQ(desktop.permissionServices.openedPanes().size(), 2u);
}

TEST_F(MenuBarContentTest, ChangesOfTheTwoObservedStatusesAloneAskForARebuild) {
    int changes = 0;
    content.onChange = [&] { ++changes; };
    setStatuses(Status::granted, Status::notDetermined);
    EXPECT_EQ(changes, 1);
    permissions.checkAccessibility(false);  // still granted: no change, no rebuild
    EXPECT_EQ(changes, 1);
    setStatuses(Status::granted, Status::granted);
    EXPECT_EQ(changes, 2);

    desktop.permissionServices.setAuthorizationStatus(EventEntityType::event,
                                                      SimPermissionServices::kFullAccess);
    permissions.refreshCalendarStatus();
    EXPECT_EQ(permissions.calendar(), Status::granted);
    EXPECT_EQ(changes, 2);

    // A menu that is gone hears nothing.
    auto shortLived = std::make_unique<MenuBarContent>(permissions);
    int lateChanges = 0;
    shortLived->onChange = [&] { ++lateChanges; };
    shortLived.reset();
    setStatuses(Status::denied, Status::granted);
    EXPECT_EQ(lateChanges, 0);
    EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace vantorel

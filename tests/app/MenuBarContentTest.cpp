#include "app/MenuBarContent.h"

#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Item = MenuBarContent::Item;
using Kind = Item::Kind;
using Action = Item::Action;
using Status = PermissionsManager::Status;
using Lines = std::vector<std::string>;

struct Menu {
    // Brings the two observed statuses to these values the way the platform would. Screen
    // Recording stays undetermined only while it has never been probed.
    void setStatuses(Status accessibility, Status screenRecording) {
        desktop.accessibility.setTrusted(accessibility == Status::granted);
        permissions.checkAccessibility(accessibility == Status::denied);
        if (screenRecording != Status::notDetermined) {
            desktop.permissionServices.setScreenRecordingAllowed(screenRecording ==
                                                                 Status::granted);
            permissions.refreshScreenRecording();
            desktop.scheduler.runDue();
        }
        ASSERT_EQ(permissions.accessibility(), accessibility);
        ASSERT_EQ(permissions.screenRecording(), screenRecording);
    }
    // The menu as a person reads it: "-" for the divider, a disabled button in brackets, a
    // label with its symbol (and "!" if it could be acted on).
    Lines rendered() const {
        Lines out;
        for (const Item& item : content.items()) {
            std::string text = item.kind == Kind::divider ? "-" : item.title;
            if (!item.symbol.empty()) text += " (" + item.symbol + ")";
            if (!item.shortcut.empty()) text += " " + item.shortcut;
            if (item.kind == Kind::button && !item.enabled) text = "[" + text + "]";
            if (item.kind == Kind::label && (item.enabled || item.action != Action::none))
                text += "!";
            out.push_back(text);
        }
        return out;
    }

    SimDesktop desktop;
    PermissionsManager permissions{desktop.ports()};
    MenuBarContent content{permissions};
};

class MenuBarContentTest : public testing::Test, protected Menu {};

TEST(MenuBarContent, ItemsFollowEveryCombinationOfAccessibilityAndScreenRecording) {
    const Status all[] = {Status::granted, Status::denied, Status::notDetermined};
    for (const Status accessibility : all) {
        for (const Status screenRecording : all) {
            SCOPED_TRACE(std::string(PermissionsManager::toString(accessibility)) + " / " +
                         std::string(PermissionsManager::toString(screenRecording)));
            Menu menu;
            menu.setStatuses(accessibility, screenRecording);
            Lines expected;
            if (accessibility != Status::granted) expected.push_back("Enable Accessibility…");
            if (screenRecording != Status::granted) expected.push_back("Enable Screen Recording…");
            if (accessibility == Status::granted && screenRecording == Status::granted)
                expected.push_back("Vantorel is active (checkmark.circle)");
            expected.insert(expected.end(), {"-", "[Welcome to Vantorel…]", "[Settings…]",
                                             "[Quit Vantorel Ctrl+Q]"});
            EXPECT_EQ(menu.rendered(), expected);
        }
    }
}

TEST_F(MenuBarContentTest, ButtonsOpenTheirPaneAndWindowItemsWorkOnlyOnceTheirWindowExists) {
    setStatuses(Status::denied, Status::denied);
    content.trigger(Action::enableAccessibility);
    content.trigger(Action::enableScreenRecording);
    EXPECT_EQ(desktop.permissionServices.openedPanes(),
              (Lines{"Privacy_Accessibility", "Privacy_ScreenCapture"}));

    // No window behind them yet: present, disabled, and triggering them does nothing.
    const Action windowItems[] = {Action::showWelcome, Action::openSettings, Action::quit};
    for (const Action action : windowItems)
        content.trigger(action);
    int calls = 0;
    content.showWelcome = [&] { calls += 1; };
    content.openSettings = [&] { calls += 10; };
    content.quit = [&] { calls += 100; };
    for (const Action action : windowItems)
        content.trigger(action);
    EXPECT_EQ(calls, 111);
    EXPECT_EQ(rendered().back(), "Quit Vantorel Ctrl+Q");

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
    permissions.checkAccessibility(false);  // still granted: no change, no rebuild
    EXPECT_EQ(changes, 1);
    setStatuses(Status::granted, Status::granted);
    EXPECT_EQ(changes, 2);
    desktop.permissionServices.setAuthorizationStatus(EventEntityType::event,
                                                      SimPermissionServices::kFullAccess);
    permissions.refreshCalendarStatus();
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

#include "app/MenuBarMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolButton>

#include <cstdint>

#include <gtest/gtest.h>

#include "app/MenuBarContent.h"
#include "app/MenuBarExtra.h"
#include "platform/qt/SymbolTable.h"
#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

class MenuBarMenuTest : public testing::Test {
protected:
    // The menu as Qt shows it: "-" for a separator, a disabled action in brackets.
    static QStringList shown(const QMenu& menu) {
        QStringList out;
        for (const QAction* action : menu.actions()) {
            out << (action->isSeparator() ? QStringLiteral("-")
                    : action->isEnabled() ? action->text()
                                          : QStringLiteral("[%1]").arg(action->text()));
        }
        return out;
    }
    static QAction* actionNamed(const QMenu& menu, const char* text) {
        for (QAction* action : menu.actions()) {
            if (action->text() == QString::fromUtf8(text)) return action;
        }
        return nullptr;
    }
    void grantAccessibility() {
        desktop.accessibility.setTrusted(true);
        permissions.checkAccessibility(false);
    }

    SimDesktop desktop;
    PermissionsManager permissions{desktop.ports()};
    MenuBarContent content{permissions};
    SymbolTable symbols{SymbolTable::defaultFontFile()};
};

TEST_F(MenuBarMenuTest, TheQMenuFollowsTheStatusesWithoutBeingAsked) {
    MenuBarMenu menu(content, symbols);
    EXPECT_EQ(shown(*menu.menu()),
              (QStringList{"Enable Accessibility…", "Enable Screen Recording…", "-",
                           "[Welcome to Vantorel…]", "[Settings…]", "[Quit Vantorel]"}));
    grantAccessibility();
    permissions.refreshScreenRecording();
    desktop.scheduler.runDue();
    EXPECT_EQ(shown(*menu.menu()),
              (QStringList{"[Vantorel is active]", "-", "[Welcome to Vantorel…]", "[Settings…]",
                           "[Quit Vantorel]"}));
    EXPECT_FALSE(menu.menu()->actions().front()->icon().isNull());  // the "checkmark.circle"
}

TEST_F(MenuBarMenuTest, ActionsDoWhatTheirItemsDoOnceTheEventLoopTurns) {
    int quits = 0;
    content.quit = [&] { ++quits; };
    MenuBarMenu menu(content, symbols);
    QAction* quit = actionNamed(*menu.menu(), "Quit Vantorel");
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    actionNamed(*menu.menu(), "Enable Screen Recording…")->trigger();
    quit->trigger();
    // Queued, so that a rebuild can never delete the action that is still emitting.
    EXPECT_TRUE(desktop.permissionServices.openedPanes().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.permissionServices.openedPanes(),
              std::vector<std::string>{"Privacy_ScreenCapture"});
    EXPECT_EQ(quits, 1);

    // An action triggered just before its item went away does nothing.
    actionNamed(*menu.menu(), "Enable Accessibility…")->trigger();
    grantAccessibility();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.permissionServices.openedPanes().size(), 1u);
    EXPECT_EQ(actionNamed(*menu.menu(), "Enable Accessibility…"), nullptr);
}

TEST_F(MenuBarMenuTest, WithoutATrayTheSameMenuHangsFromAButtonAndTheIconFollowsTheHost) {
    MenuBarExtra extra(content, symbols);
    // Offscreen, like Xvfb, there is no tray host.
    EXPECT_FALSE(extra.showInTray());
    EXPECT_EQ(extra.trayIcon(), nullptr);
    QWidget window;
    QToolButton* button = extra.makeButton(&window);
    EXPECT_EQ(button->menu(), extra.menu());
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Vantorel"));
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->popupMode(), QToolButton::InstantPopup);

    extra.trayHostChanged(0);
    EXPECT_EQ(extra.trayIcon(), nullptr);
    // A host that starts later, goes away, another that takes over, and a second one replacing it.
    for (const std::uint64_t next : {5u, 0u, 7u, 9u}) {
        extra.trayHostChanged(next);
        ASSERT_NE(extra.trayIcon(), nullptr);
        EXPECT_EQ(extra.trayIcon()->isVisible(), next != 0) << next;
    }
}

TEST_F(MenuBarMenuTest, CtrlQQuitsOnceFromAnyWindowItWasBoundTo) {
    int quits = 0;
    content.quit = [&] { ++quits; };
    MenuBarExtra extra(content, symbols);
    QWidget desktopWindow, panel;
    extra.makeButton(&desktopWindow);
    extra.bindShortcuts(&desktopWindow);
    extra.bindShortcuts(&panel);
    grantAccessibility();  // a rebuild keeps the one binding
    desktopWindow.show();
    panel.show();
    for (QWidget* window : {&desktopWindow, &panel}) {
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(quits, 2);
}

}  // namespace
}  // namespace vantorel

// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "platform/DefaultsValue.h"
#include "platform/sim/SimDesktop.h"

#include "settings/WelcomeView.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/qt/QStringPrinter.h"
#include "platform/qt/SymbolTable.h"
#include "settings/PermissionControl.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Permission = PermissionsManager::Permission;

// The controller with its real window on the offscreen platform.
class WelcomeViewTest : public testing::Test {
protected:
    WelcomeViewTest() { controller.show(); }
    WelcomeView* view() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* welcome = qobject_cast<WelcomeView*>(widget)) return welcome;
        }
        return nullptr;
    }
    void press(int times) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(view(), Qt::Key_Return);
    }
    bool shown() { return view() && view()->isVisible(); }
    std::optional<DefaultsValue> didShowWelcome() {
        return desktop.defaults.standardDomain().object("didShowWelcome");
    }

    SimDesktop desktop;
    PermissionsManager permissions{desktop.ports()};
    Appearance appearance{nullptr};
    WelcomeController controller{permissions, desktop.defaults.standard(), desktop.scheduler,
                                 desktop.logger,
                                 WelcomeView::factory(appearance, SymbolTable::shared())};
};

TEST_F(WelcomeViewTest, ReturnWalksToGetStartedWhichAloneRecordsTheWelcome) {
    WelcomeView* first = view();
    ASSERT_TRUE(shown());
    EXPECT_FALSE(first->backButton()->isVisible());
    press(3);
    first->close();  // the close button; shown again, it is the same window on the same page
    controller.show();
    EXPECT_EQ(view(), first);
    EXPECT_TRUE(first->page(3)->isVisible() && !first->page(0)->isVisible());
    press(2);
    EXPECT_EQ(first->primaryButton()->text(), QStringLiteral("Get Started"));
    EXPECT_TRUE(first->backButton()->isVisible());
    EXPECT_FALSE(didShowWelcome());
    QTest::mouseClick(first->primaryButton(), Qt::LeftButton);
    EXPECT_EQ(didShowWelcome(), DefaultsValue(true));
    EXPECT_FALSE(shown());
}

TEST_F(WelcomeViewTest, AccessibilityGrantedOnThePermissionsPageShowsWithinTheRecheck) {
    desktop.accessibility.setTrusted(false);
    permissions.checkAccessibility(false);
    press(4);
    PermissionControl* row = view()->permissionControl(Permission::accessibility);
    EXPECT_FALSE(row->isGranted());
    row->button()->click();  // opens System Settings, never prompts
    EXPECT_EQ(desktop.permissionServices.openedPanes(),
              std::vector<std::string>{"Privacy_Accessibility"});
    desktop.accessibility.setTrusted(true);
    desktop.scheduler.advance(1500ms);
    EXPECT_TRUE(row->isGranted());
    EXPECT_EQ(desktop.accessibility.promptCount(), 0);
    QTest::mouseClick(view()->backButton(), Qt::LeftButton);
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
}

// Each page in its place, told by its title and how its text begins.
TEST_F(WelcomeViewTest, PagesReadAsWritten) {
    const std::pair<const char*, const char*> pages[] = {
        {"Welcome to Vantorel", "Liquid Glass window previews"},
        {"Peek at any window", "Hover a Dock icon to see live previews"},
        {"Switch with ⌥Tab", "Hold Option and tap Tab"},
        {"It lives in your menu bar", "Vantorel has no Dock icon"},
        {"Two quick permissions", "Vantorel needs these"},
        {"You're all set", "Hover a Dock icon to try it."}};
    for (int step = 0; step <= WelcomeController::kLast; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(view()->titleLabel(step)->text(), QString::fromUtf8(pages[step].first));
        EXPECT_TRUE(
            view()->textLabel(step)->text().startsWith(QString::fromUtf8(pages[step].second)));
        EXPECT_EQ(view()->subtitleLabel(step) != nullptr, step == WelcomeController::kLast);
    }
    EXPECT_EQ(view()->subtitleLabel(WelcomeController::kLast)->text(), QStringLiteral("Enjoy 💎"));
    QStringList rows;
    for (const QLabel* label : view()->page(4)->findChildren<QLabel*>())
        rows << label->text();
    EXPECT_TRUE(rows.contains("Read the Dock and control windows"));
    EXPECT_TRUE(rows.contains("Capture window previews"));
    EXPECT_EQ(view()->permissionControl(Permission::screenRecording)->button()->text(), "Enable");
    EXPECT_EQ(view()->windowTitle(), QStringLiteral("Welcome to Vantorel"));
}

}  // namespace
}  // namespace vantorel

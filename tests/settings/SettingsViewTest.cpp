// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/LaunchAtLogin.h"
#include "app/Preferences.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoginItems.h"

#include "settings/SettingsView.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/qt/QStringPrinter.h"
#include "platform/qt/SymbolTable.h"
#include "settings/PermissionControl.h"

namespace vantorel {
namespace {

using Permission = PermissionsManager::Permission;
using Answer = SimPermissionServices::UserAnswer;

class SettingsViewTest : public testing::Test {
protected:
    SettingsViewTest() {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
    }
    QStringList items(QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    // A picker's name is its choice; what it is for comes from the label it is labelled by.
    static QString heard(QWidget* widget) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        if (!qobject_cast<QComboBox*>(widget)) return control->text(QAccessible::Name);
        const auto labels = control->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    }
    // What a screen reader hears of each control, in Tab order from the first.
    QStringList tabOrder() {
        QStringList names;
        QWidget* first = view.toggle(QStringLiteral("Open Vantorel at login"));
        QWidget* at = first;
        do {
            const bool inner = qobject_cast<QAbstractSpinBox*>(at->parentWidget()) ||
                               qobject_cast<QAbstractScrollArea*>(at);
            if (at->isVisible() && (at->focusPolicy() & Qt::TabFocus) && !inner) names << heard(at);
            at = at->nextInFocusChain();
        } while (at != first && names.size() < 40);
        return names;
    }

    SimDesktop desktop;
    PermissionsManager permissions{desktop.ports()};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    SimLoginItems loginItems;
    LaunchAtLogin launch{loginItems, desktop.logger};
    Appearance appearance{nullptr};
    SettingsView view{preferences,           permissions, launch,
                      {"1.2", std::nullopt}, appearance,  SymbolTable::shared()};
};

TEST_F(SettingsViewTest, DelaySlidersMoveInStepsToTheirEndsAndSayHowLong) {
    const struct {
        bool show;
        Qt::Key key;
        double value;
    } cases[] = {{true, Qt::Key_End, 500},
                 {true, Qt::Key_Home, 0},
                 {true, Qt::Key_Right, 10},
                 {false, Qt::Key_End, 700},
                 {false, Qt::Key_Left, 690}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        QTest::keyClick(c.show ? view.showDelaySlider() : view.hideDelaySlider(), c.key);
        EXPECT_EQ(c.show ? preferences.showDelayMS() : preferences.hideDelayMS(), c.value);
        EXPECT_EQ((c.show ? view.showDelayText() : view.hideDelayText())->text(),
                  QStringLiteral("%1 ms").arg(c.value));
    }
    view.showDelaySlider()->setValue(257);  // a drag between steps lands on the nearest
    EXPECT_EQ(preferences.showDelayMS(), 260.0);
    EXPECT_EQ(SettingsView::delayText(std::nan("")), QStringLiteral("0 ms"));
}

TEST_F(SettingsViewTest, TheStepperStopsAtTwoAndTwenty) {
    for (const auto& [key, bound] : {std::pair{Qt::Key_Down, 2}, std::pair{Qt::Key_Up, 20}}) {
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(view.compactStepper(), key);
        EXPECT_EQ(preferences.compactThreshold(), bound);
        EXPECT_EQ(view.compactStepper()->text(), QStringLiteral("%1 windows").arg(bound));
    }
}

TEST_F(SettingsViewTest, PickersListEveryCaseInOrderAndWriteTheChosenOne) {
    EXPECT_EQ(items(view.layoutPicker()),
              (QStringList{"Automatic", "Grid", "Compact list", "Large preview"}));
    EXPECT_EQ(items(view.sizePicker()), (QStringList{"Small", "Medium", "Large"}));
    EXPECT_EQ(items(view.sortPicker()), (QStringList{"Name", "Date modified", "Kind"}));
    view.layoutPicker()->setCurrentIndex(2);
    view.sizePicker()->setCurrentIndex(0);
    view.sortPicker()->setCurrentIndex(1);
    EXPECT_EQ(preferences.previewLayout(), PreviewLayout::list);
    EXPECT_EQ(preferences.previewSize(), PreviewSize::small);
    EXPECT_EQ(preferences.folderSort(), FolderSort::dateModified);
    EXPECT_EQ(desktop.defaults.standardDomain().object("previewLayout"), DefaultsValue("list"));
}

TEST_F(SettingsViewTest, EnableAsksForCalendarsOrRemindersAndOpensSettingsOnlyWhenRefused) {
    const auto event = EventEntityType::event, reminder = EventEntityType::reminder;
    const struct {
        Permission permission;
        EventEntityType type;
        Answer answer;
        std::vector<std::string> panes;
    } cases[] = {{Permission::calendar, event, Answer::grant, {}},
                 {Permission::calendar, event, Answer::refuse, {"Privacy_Calendars"}},
                 {Permission::reminders, reminder, Answer::fail, {"Privacy_Reminders"}},
                 {Permission::accessibility, event, Answer::grant, {"Privacy_Accessibility"}},
                 {Permission::screenRecording, event, Answer::grant, {"Privacy_ScreenCapture"}}};
    for (const auto& c : cases) {
        SimDesktop fresh;
        fresh.permissionServices.setUserAnswer(c.type, c.answer);
        PermissionsManager asked(fresh.ports());
        SettingsView settings(preferences, asked, launch, {}, appearance, SymbolTable::shared());
        PermissionControl* control = settings.permissionControl(c.permission);
        const bool asks =
            c.permission == Permission::calendar || c.permission == Permission::reminders;
        QTest::keyClick(control->button(), Qt::Key_Return);
        fresh.scheduler.runDue();
        EXPECT_EQ(fresh.permissionServices.requestCount(c.type), asks ? 1u : 0u);
        EXPECT_EQ(fresh.permissionServices.openedPanes(), c.panes);
        EXPECT_EQ(control->isGranted(), c.panes.empty());
    }
}

TEST_F(SettingsViewTest, TheLoginToggleShowsTheRealStateAfterAChangeAndOnEachShow) {
    QCheckBox* login = view.toggle(QStringLiteral("Open Vantorel at login"));
    loginItems.failWith("Operation not permitted");
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_FALSE(login->isChecked());
    loginItems.failWith(std::nullopt);
    QTest::keyClick(login, Qt::Key_Space);
    EXPECT_TRUE(login->isChecked());
    EXPECT_EQ(loginItems.status(), LoginItems::Status::enabled);

    // Changed elsewhere while the window was away: showing it again reads the system.
    view.close();
    loginItems.setStatus(LoginItems::Status::notRegistered);
    desktop.permissionServices.setAuthorizationStatus(EventEntityType::event, 3);
    view.present();
    EXPECT_FALSE(login->isChecked());
    EXPECT_TRUE(view.permissionControl(Permission::calendar)->isGranted());
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.isVisible());
}

// The texts a user reads and a screen reader hears, in order; Tab reaches every control.
TEST_F(SettingsViewTest, SectionsControlsAndTextsAreThoseOfTheForm) {
    QStringList sections;
    for (const QGroupBox* box : view.findChildren<QGroupBox*>())
        sections << box->title();
    EXPECT_EQ(sections, (QStringList{"General", "Behavior", "Appearance", "Folder Pop", "Calendar",
                                     "Reminders", "Media", "Permissions", "About"}));
    EXPECT_EQ(tabOrder(),
              (QStringList{"Open Vantorel at login", "⌥Tab window switcher", "Live thumbnails",
                           "Show delay", "Hide delay", "Layout", "Preview size",
                           "Compact list above", "Preview Dock folders on hover", "Sort by",
                           "Show today's events on Calendar hover", "Calendar access: Enable…",
                           "Show due reminders on Reminders hover", "Reminders access: Enable…",
                           "Show now-playing on Music/Spotify hover", "Accessibility: Enable…",
                           "Screen Recording: Enable…"}));
    EXPECT_EQ(view.focusWidget(), view.toggle("Open Vantorel at login"));  // Space works at once
    // Heard as it reads, not by its row's name.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view.versionText())->text(QAccessible::Name),
              QStringLiteral("1.2 (—)"));
    // Each control carries its own help, told by how it begins.
    const std::pair<QWidget*, const char*> help[] = {
        {view.toggle("Open Vantorel at login"), "Start Vantorel automatically"},
        {view.toggle("Live thumbnails"), "Update previews a few times a second"},
        {view.layoutPicker(), "How the preview panel arranges"},
        {view.compactStepper(), "In Automatic layout, switch"},
        {view.toggle("Preview Dock folders on hover"), "Hover a folder or stack"},
        {view.toggle("Show today's events on Calendar hover"), "Hover the Calendar icon"},
        {view.toggle("Show due reminders on Reminders hover"), "Hover the Reminders icon"},
        {view.toggle("Show now-playing on Music/Spotify hover"), "Hover the Music or Spotify"}};
    for (const auto& [widget, text] : help) {
        ASSERT_NE(widget, nullptr) << text;
        EXPECT_TRUE(widget->toolTip().startsWith(QString::fromUtf8(text))) << text;
    }
    QStringList labels;
    for (const QLabel* label : view.findChildren<QLabel*>())
        if (label->wordWrap() || label->buddy()) labels << label->text();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_TRUE(labels.takeLast().startsWith("Liquid Glass window previews for your Dock"));
    EXPECT_EQ(labels,
              (QStringList{"Show delay", "Hide delay", "Layout", "Preview size",
                           "Compact list above", "Sort by", "Calendar access", "Reminders access",
                           "Accessibility", "Screen Recording", "Version"}));
}

}  // namespace
}  // namespace vantorel

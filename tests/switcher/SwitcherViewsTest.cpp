#include "switcher/SwitcherState.h"

#include <QAccessible>
#include <QApplication>

#include <gtest/gtest.h>

#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/SymbolTable.h"
#include "switcher/SwitcherCard.h"
#include "switcher/SwitcherView.h"

namespace vantorel {
namespace {

std::vector<SwitcherState::Item> makeItems(int count) {
    std::vector<SwitcherState::Item> items;
    for (int i = 0; i < count; ++i) {
        SwitcherState::Item item;
        item.id = static_cast<std::uint32_t>(100 + i);
        item.appName = i % 2 ? "Mail" : "Notes";
        // Every third window has no title of its own.
        item.window.title = i % 3 == 0 ? "" : "Window " + std::to_string(i);
        items.push_back(item);
    }
    return items;
}

struct ViewRig {
    explicit ViewRig(bool reduceMotion) : appearance(nullptr) {
        appearance.setReduceMotionOverride(reduceMotion);
        appearance.setReduceTransparencyOverride(false);
        view.setAttribute(Qt::WA_DontShowOnScreen);
    }
    void open(int count, int selection, double maxWidth = 1440) {
        state.setMaxWidth(maxWidth);
        state.setItems(makeItems(count), selection);
        view.resize(view.sizeHint());
        view.show();
        QApplication::processEvents();
        view.finishAnimations();
    }
    // The selected card's centre, relative to the strip's centre; whole pixels apart at most.
    double selectedOffCentre() {
        SwitcherCard* card = view.cardAt(state.selectedIndex());
        if (!card) return 1e9;
        return card->geometry().center().x() - card->parentWidget()->width() / 2.0;
    }

    SwitcherState state;
    Appearance appearance;
    SwitcherView view{state, appearance, SymbolTable::shared(), QSizeF(196, 122)};
};

TEST(SwitcherViewsTest, CardsAreLabelledAppAndTitleAndTheSelectedOneSaysSo) {
    for (const bool reduceMotion : {false, true}) {
        SCOPED_TRACE(reduceMotion ? "reduce motion" : "motion");
        ViewRig rig(reduceMotion);
        rig.open(3, 1);
        const QString expected[] = {"Notes: Notes", "Mail: Window 1", "Notes: Window 2"};
        for (int i = 0; i < 3; ++i) {
            SwitcherCard* card = rig.view.cardAt(i);
            ASSERT_NE(card, nullptr);
            QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(card);
            ASSERT_NE(a11y, nullptr);
            EXPECT_EQ(a11y->text(QAccessible::Name), expected[i]);
            EXPECT_EQ(a11y->role(), QAccessible::Button);
            EXPECT_EQ(a11y->state().selected, i == 1);
            const double scale = i == 1 && !reduceMotion ? SwitcherCard::kSelectedScale : 1.0;
            EXPECT_DOUBLE_EQ(card->scale(), scale);
        }
        EXPECT_EQ(rig.view.caption(), "Window 1");
        rig.state.setSelectedIndex(0);
        rig.view.finishAnimations();
        // A window without a title shows its application's name.
        EXPECT_EQ(rig.view.caption(), "Notes");
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(rig.view.cardAt(0))->state().selected);
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(rig.view.cardAt(1))->state().selected);
    }
}

TEST(SwitcherViewsTest, AFullStripIsCappedBuildsOnlyTheCardsInSightAndCentresTheSelection) {
    struct Case {
        int count;
        int selection;
        bool centred;
    };
    // The first and last cards cannot be centred: the strip stops at its ends.
    for (const Case& c : {Case{40, 20, true}, Case{40, 39, false}, Case{7, 3, true}}) {
        SCOPED_TRACE(std::to_string(c.count) + " cards, selection " + std::to_string(c.selection));
        ViewRig rig(false);
        rig.open(c.count, c.selection, 1280);
        EXPECT_LE(rig.view.sizeHint().width(), 1280);
        EXPECT_LT(rig.view.builtCardCount(), 9);
        EXPECT_EQ(std::abs(rig.selectedOffCentre()) < 2, c.centred);
        ASSERT_NE(rig.view.cardAt(c.selection), nullptr);
        EXPECT_TRUE(rig.view.cardAt(c.selection)->isVisible());
    }
    // Stepping on scrolls with the selection.
    ViewRig rig(false);
    rig.open(40, 20, 1280);
    rig.state.setSelectedIndex(30);
    rig.view.finishAnimations();
    EXPECT_LT(std::abs(rig.selectedOffCentre()), 2);
    EXPECT_EQ(rig.view.cardAt(20), nullptr);
}

}  // namespace
}  // namespace vantorel

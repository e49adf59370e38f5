#include "switcher/WindowSwitcher.h"

#include <gtest/gtest.h>

#include "switcher/SwitcherRig.h"

namespace vantorel {
namespace {

constexpr KeyCode kLetterA = 0;

// One event typed and what must follow: whether it was swallowed, whether the switcher is
// open, and (while open) the highlighted card.
struct Press {
    EventType type;
    KeyCode key;
    EventFlags flags;
    bool swallowed;
    bool open;
    int selection = -1;
};

Press down(KeyCode key, EventFlags flags, bool swallowed, bool open, int selection = -1) {
    return {kEventTypeKeyDown, key, flags, swallowed, open, selection};
}
Press mods(EventFlags flags, bool open, int selection = -1) {
    return {kEventTypeFlagsChanged, 0, flags, false, open, selection};
}

struct KeyCase {
    const char* name;
    int windows;
    std::vector<Press> presses;
};

TEST(WindowSwitcherTest, KeysMoveTheHighlightOpenAndCloseAsTheyShould) {
    constexpr auto tab = WindowSwitcher::kTab;
    const KeyCase cases[] = {
        {"one window anywhere: nothing shown, the Tab swallowed",
         1,
         {mods(kOption, false), down(tab, kOption, true, false), mods(0, false)}},
        {"the first Option-Tab highlights the second card",
         3,
         {mods(kOption, false), down(tab, kOption, true, true, 1)}},
        {"Option-Shift-Tab first highlights the last card",
         3,
         {mods(kOption | kShift, false), down(tab, kOption | kShift, true, true, 2)}},
        {"with three cards four Tabs wrap around",
         3,
         {down(tab, kOption, true, true, 1), down(tab, kOption, true, true, 2),
          down(tab, kOption, true, true, 0), down(tab, kOption, true, true, 1),
          down(tab, kOption, true, true, 2)}},
        {"Left on the first card goes to the last, Right comes back",
         3,
         {down(tab, kOption, true, true, 1),
          down(WindowSwitcher::kLeftArrow, kOption, true, true, 0),
          down(WindowSwitcher::kLeftArrow, kOption, true, true, 2),
          down(WindowSwitcher::kRightArrow, kOption, true, true, 0)}},
        {"Shift released alone does nothing; Option released commits",
         3,
         {down(tab, kOption | kShift, true, true, 2), mods(kOption, true, 2), mods(0, false)}},
        {"a letter while open is swallowed and passes again once closed",
         3,
         {down(tab, kOption, true, true, 1), down(kLetterA, kOption, true, true, 1),
          down(WindowSwitcher::kEscape, kOption, true, false), down(kLetterA, 0, false, false)}},
        {"Escape and Tab pass while closed; Return and keypad Enter commit",
         3,
         {down(WindowSwitcher::kEscape, 0, false, false), down(tab, 0, false, false),
          down(tab, kOption, true, true, 1), down(WindowSwitcher::kReturn, kOption, true, false),
          down(tab, kOption, true, true, 1),
          down(WindowSwitcher::kKeypadEnter, kOption, true, false)}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        SwitcherRig rig;
        rig.launch("Solo", c.windows);
        rig.switcher().start();
        for (std::size_t i = 0; i < c.presses.size(); ++i) {
            SCOPED_TRACE("press " + std::to_string(i));
            const Press& p = c.presses[i];
            const std::size_t delivered = rig.desktop.keyEvents.delivered().size();
            EXPECT_EQ(rig.desktop.keyEvents.type(p.type, p.key, p.flags), p.swallowed);
            // What is swallowed never reaches the front application.
            EXPECT_EQ(rig.desktop.keyEvents.delivered().size(), delivered + (p.swallowed ? 0 : 1));
            EXPECT_EQ(rig.switcher().isOpen(), p.open);
            EXPECT_EQ(rig.surface->isVisible(), p.open);
            if (p.selection >= 0) {
                EXPECT_EQ(rig.switcher().panel().state().selectedIndex(), p.selection);
            }
        }
    }
}

TEST(WindowSwitcherTest, OrderIsMostRecentlyActivatedFirstThenTheServiceOrder) {
    SwitcherRig rig;
    const ProcessId a = rig.launch("A", 1);
    const ProcessId b = rig.launch("B", 2);
    const ProcessId c = rig.launch("C", 2);
    rig.launch("D", 1);
    rig.desktop.workspace.setFrontmost(a);
    rig.switcher().start();
    rig.desktop.workspace.activate(b);
    rig.desktop.workspace.activate(c);
    rig.key(WindowSwitcher::kTab, kOption);
    std::vector<std::string> titles;
    for (const auto& item : rig.switcher().panel().state().items())
        titles.push_back(item.displayTitle());
    // The service lists the front application first, then the others as launched; D was never
    // activated: last, with the service's order among windows of one application.
    EXPECT_EQ(titles, (std::vector<std::string>{"C 1", "C 2", "B 1", "B 2", "A 1", "D 1"}));
    EXPECT_EQ(rig.desktop.logger.count("Switcher: open with 6 windows"), 1u);
}

TEST(WindowSwitcherTest, CommitRestoresAMinimisedWindowFirstThenActivatesIt) {
    for (const bool minimised : {false, true}) {
        SCOPED_TRACE(minimised ? "minimised" : "on screen");
        SwitcherRig rig;
        const ProcessId front = rig.launch("Front", 1);
        const ProcessId mail =
            rig.launch("Mail", 1, minimised ? std::vector<int>{0} : std::vector<int>{});
        rig.desktop.workspace.setFrontmost(front);
        rig.switcher().start();
        rig.modifiers(kOption);
        rig.key(WindowSwitcher::kTab, kOption);
        ASSERT_EQ(rig.switcher().panel().state().selectedItem()->appName, "Mail");
        const WindowInfo chosen = rig.switcher().panel().state().selectedItem()->window;
        rig.modifiers(0);
        rig.settle();

        EXPECT_EQ(rig.desktop.workspace.frontmostApplication()->processIdentifier, mail);
        EXPECT_EQ(rig.switcher().activation().order().front(), mail);
        const auto at = [&](const std::string& line) {
            return lineIndex(rig.desktop.logger, line);
        };
        const auto focused = at("Focused window " + std::to_string(chosen.cgWindowID));
        const auto committed = at("Switcher: committed Mail");
        EXPECT_LT(focused, committed);
        EXPECT_LT(committed, rig.desktop.logger.lines().size());
        if (minimised) {
            EXPECT_LT(at("Restored window " + std::to_string(chosen.cgWindowID)), focused);
        }
        for (const WindowInfo& window : WindowService(rig.desktop.ports()).allWindows())
            EXPECT_FALSE(window.ownerPID == mail && window.isMinimized);
    }
}

TEST(WindowSwitcherTest, ArmsOnceWithAccessibilityAndFreshAfterAStop) {
    SwitcherRig rig;
    rig.launch("A", 2);
    rig.desktop.accessibility.setTrusted(false);
    rig.switcher().start();
    EXPECT_EQ(
        rig.desktop.logger.count("Switcher: could not create event tap (Accessibility required)"),
        1u);
    EXPECT_FALSE(rig.key(WindowSwitcher::kTab, kOption));
    EXPECT_FALSE(rig.switcher().activation().isStarted());

    rig.desktop.accessibility.setTrusted(true);
    rig.switcher().start();
    rig.switcher().start();
    EXPECT_EQ(rig.desktop.keyEvents.tapsCreated(), 1u);
    EXPECT_EQ(rig.desktop.logger.count("Switcher: ⌥Tab window switcher armed"), 1u);
    EXPECT_EQ(rig.desktop.workspace.activationObserverCount(), 1u);
    EXPECT_TRUE(rig.key(WindowSwitcher::kTab, kOption));

    rig.switcher().stop();
    EXPECT_FALSE(rig.switcher().isOpen());
    EXPECT_EQ(rig.desktop.keyEvents.tapCount(), 0u);
    EXPECT_EQ(rig.desktop.workspace.activationObserverCount(), 0u);
    EXPECT_FALSE(rig.key(WindowSwitcher::kTab, kOption));

    rig.switcher().start();
    EXPECT_EQ(rig.desktop.keyEvents.tapsCreated(), 2u);
    EXPECT_EQ(rig.desktop.keyEvents.tapCount(), 1u);
}

TEST(WindowSwitcherTest, ATapTheSystemSwitchedOffIsSwitchedOnByTheNextEvent) {
    for (const EventType reason :
         {kEventTypeTapDisabledByTimeout, kEventTypeTapDisabledByUserInput}) {
        SCOPED_TRACE(reason);
        SwitcherRig rig;
        rig.launch("A", 2);
        rig.switcher().start();
        rig.desktop.keyEvents.disableTaps(reason);
        EXPECT_EQ(rig.desktop.keyEvents.enabledTapCount(), 0u);
        EXPECT_TRUE(rig.key(WindowSwitcher::kTab, kOption));
        EXPECT_EQ(rig.desktop.keyEvents.enabledTapCount(), 1u);
        EXPECT_TRUE(rig.switcher().isOpen());
    }
}

TEST(WindowSwitcherTest, EachCardGetsOneStillUnlessTheSwitcherClosesFirst) {
    for (const bool closeAtOnce : {false, true}) {
        SCOPED_TRACE(closeAtOnce ? "closed at once" : "left open");
        SwitcherRig rig;
        rig.launch("A", 2);
        rig.launch("B", 1);
        rig.switcher().start();
        rig.key(WindowSwitcher::kTab, kOption);
        if (closeAtOnce) rig.key(WindowSwitcher::kEscape, kOption);
        rig.settle();
        for (const auto& item : rig.switcher().panel().state().items())
            EXPECT_EQ(item.thumbnail != nullptr, !closeAtOnce) << item.displayTitle();
        EXPECT_EQ(rig.desktop.logger.count("Switcher: cancelled"), closeAtOnce ? 1u : 0u);
    }
}

}  // namespace
}  // namespace vantorel

#include "switcher/WindowSwitcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>

#include "switcher/SwitcherRig.h"

namespace vantorel {
namespace {

// A script of typed events, each "keys=outcome". Keys: "⌥" and "⇧" held, then a key name; with
// no key name, only the modifiers change. Outcome: "s" swallowed or "p" passed, then the
// highlighted card while the switcher is open (no digit: closed).
TEST(WindowSwitcherTest, KeysMoveTheHighlightOpenAndCloseAsTheyShould) {
    using W = WindowSwitcher;
    const std::map<std::string, KeyCode> keys = {
        {"Tab", W::kTab},         {"Left", W::kLeftArrow}, {"Right", W::kRightArrow},
        {"Esc", W::kEscape},      {"Return", W::kReturn},  {"Enter", W::kKeypadEnter},
        {"A", 0 /* the letter */}};
    const std::pair<int, const char*> cases[] = {
        {1, "⌥=p ⌥Tab=s =p"},  // one window anywhere: nothing shown, the Tab swallowed
        {3, "⌥=p ⌥Tab=s1"},    // the first Option-Tab highlights the second card
        {3, "⌥⇧=p ⌥⇧Tab=s2"},  // Option-Shift-Tab first highlights the last card
        {3, "⌥Tab=s1 ⌥Tab=s2 ⌥Tab=s0 ⌥Tab=s1 ⌥Tab=s2"},  // four Tabs wrap around
        {3, "⌥Tab=s1 ⌥Left=s0 ⌥Left=s2 ⌥Right=s0"},
        {3, "⌥⇧Tab=s2 ⌥=p2 =p"},  // Shift released alone does nothing; Option released commits
        {3, "⌥⇧Tab=s2 ⇧=p"},      // even while Shift is still held
        {3, "⌥Tab=s1 ⌥A=s1 ⌥Esc=s A=p"},  // a letter is swallowed while open, passes once closed
        {3, "Esc=p Tab=p ⌥Tab=s1 ⌥Return=s ⌥Tab=s1 ⌥Enter=s"},
    };
    for (const auto& [windows, script] : cases) {
        SCOPED_TRACE(script);
        SwitcherRig rig;
        rig.launch("Solo", windows);
        rig.switcher().start();
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            SCOPED_TRACE(step);
            const auto equals = step.find('=');
            std::string key = step.substr(0, equals);
            EventFlags flags = 0;
            for (const auto& [symbol, mask] : {std::pair{"⌥", kOption}, {"⇧", kShift}}) {
                if (!key.starts_with(symbol)) continue;
                flags |= mask;
                key.erase(0, std::strlen(symbol));
            }
            const std::string outcome = step.substr(equals + 1);
            const std::size_t delivered = rig.desktop.keyEvents.delivered().size();
            const bool swallowed =
                key.empty() ? rig.modifiers(flags) : rig.key(keys.at(key), flags);
            EXPECT_EQ(swallowed, outcome[0] == 's');
            // What is swallowed never reaches the front application.
            EXPECT_EQ(rig.desktop.keyEvents.delivered().size(), delivered + (swallowed ? 0 : 1));
            EXPECT_EQ(rig.switcher().isOpen(), outcome.size() > 1);
            EXPECT_EQ(rig.surface->isVisible(), outcome.size() > 1);
            if (outcome.size() > 1) {
                EXPECT_EQ(rig.switcher().panel().state().selectedIndex(), outcome[1] - '0');
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

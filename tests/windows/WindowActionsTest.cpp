#include "windows/WindowActions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using std::chrono::milliseconds;
using Lines = std::vector<std::string>;

class WindowActionsTest : public testing::Test {
public:
    WindowActionsTest() {
        pid = desktop.launch(SimAppSpec{"Preview", "com.apple.Preview", {}, 0, nullptr});
        other = desktop.launch(SimAppSpec{"Notes", "com.apple.Notes", {}, 0, nullptr});
    }

    WindowId open(const std::string& subrole, bool minimized = false, ProcessId owner = 0) {
        SimWindowSpec spec;
        spec.title = "Document";
        spec.frame = Rect(100, 100, 600, 400);
        spec.subrole = subrole;
        spec.minimized = minimized;
        return desktop.addWindow(owner ? owner : pid, spec);
    }
    // The window as the enumeration would have listed it.
    WindowInfo info(WindowId id) {
        const SimWindow* w = desktop.windows.find(id);
        return WindowInfo{
            id, id, w->node->element(), w->spec.title, w->spec.frame, w->spec.minimized, w->pid};
    }
    std::shared_ptr<SimAXNode> node(WindowId id) { return desktop.windows.node(id); }
    std::shared_ptr<SimAXNode> button(WindowId id) { return desktop.windows.find(id)->button; }
    // A button that closes nothing, so the chain can be watched moving past it.
    std::shared_ptr<SimAXNode> plantButton(WindowId id, const std::string& attribute,
                                           AXError pressResult, int* presses = nullptr) {
        auto b = desktop.accessibility.newNode();
        b->set("AXRole", AXValue{std::string("AXButton")});
        b->setAction("AXPress", [pressResult, presses] {
            if (presses) ++*presses;
            return pressResult;
        });
        node(id)->set(attribute, AXValue{b->element()});
        return b;
    }
    Lines lines() { return desktop.logger.messages("windows"); }
    std::vector<ProcessId> activations() { return desktop.workspace.activations(); }
    const std::vector<SimKeyEvents::Posted>& keys() { return desktop.keyEvents.posted(); }
    void advance(milliseconds ms) { desktop.scheduler.advance(ms); }
    static std::string number(WindowId id) { return std::to_string(id); }

    SimDesktop desktop;
    ProcessId pid = 0;
    ProcessId other = 0;
    WindowActions actions{desktop.ports()};
};

TEST_F(WindowActionsTest, ButtonsThatWorkCloseTheWindowWithOneLineAndNothingElse) {
    struct Case {
        const char* subrole;
        std::string (*line)(WindowId);
    };
    const Case cases[] = {
        {"AXStandardWindow", [](WindowId id) { return "Closed window " + number(id); }},
        {"AXDialog", [](WindowId id) { return "Dismissed window " + number(id) + " via Cancel"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subrole);
        desktop.logger.clear();
        const WindowId id = open(c.subrole);
        actions.close(info(id));
        EXPECT_EQ(desktop.windows.find(id), nullptr);
        EXPECT_EQ(lines(), Lines{c.line(id)});
        advance(milliseconds(1000));
        EXPECT_TRUE(activations().empty());
        EXPECT_TRUE(keys().empty());
        EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
        EXPECT_EQ(lines().size(), 1u);
    }
}

TEST_F(WindowActionsTest, CloseButtonThatCannotBePressedFallsThroughToCancel) {
    struct Case {
        const char* name;
        std::function<void(WindowActionsTest&, WindowId)> spoil;
    };
    const Case cases[] = {
        {"placeholder string",
         [](WindowActionsTest& t, WindowId id) {
             t.node(id)->set("AXCloseButton", AXValue{std::string("AXCloseButton")});
         }},
        {"null element",
         [](WindowActionsTest& t, WindowId id) {
             t.node(id)->set("AXCloseButton", AXValue{AXElement{}});
         }},
        {"array of the button",
         [](WindowActionsTest& t, WindowId id) {
             t.node(id)->set("AXCloseButton", AXValue{AXArray{AXValue{t.button(id)->element()}}});
         }},
        {"success without a value",
         [](WindowActionsTest& t, WindowId id) {
             t.node(id)->setResult("AXCloseButton", AXResult{AXError::success, std::nullopt});
         }},
        {"read fails",
         [](WindowActionsTest& t, WindowId id) {
             t.node(id)->setResult("AXCloseButton", AXResult::failed(AXError::cannotComplete));
         }},
        {"press fails",
         [](WindowActionsTest& t, WindowId id) {
             t.button(id)->setAction("AXPress", [] { return AXError::cannotComplete; });
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.logger.clear();
        const WindowId id = open("AXStandardWindow");
        c.spoil(*this, id);
        int cancelPresses = 0;
        plantButton(id, "AXCancelButton", AXError::success, &cancelPresses);
        actions.close(info(id));
        EXPECT_EQ(cancelPresses, 1);
        EXPECT_EQ(lines(), Lines{"Dismissed window " + number(id) + " via Cancel"});
    }
}

TEST_F(WindowActionsTest, NeitherButtonLogsTheDiagnosticActivatesTheOwnerAndSendsEscapeLater) {
    const WindowId id = open("AXFloatingWindow");
    desktop.workspace.setFrontmost(other);
    actions.close(info(id));

    EXPECT_EQ(lines(), Lines{"No actionable close/cancel for " + number(id) +
                             ": err=-25205 role=AXWindow attrs=[AXMinimized,AXPosition,AXRole,"
                             "AXSize,AXSubrole,AXTitle]"});
    ASSERT_EQ(desktop.logger.lines().size(), 1u);
    EXPECT_EQ(desktop.logger.lines()[0].level, LogLevel::error);
    EXPECT_EQ(desktop.logger.lines()[0].category, "windows");
    EXPECT_EQ(activations(), std::vector<ProcessId>{pid});

    const TimePoint closedAt = desktop.scheduler.now();
    advance(milliseconds(149));
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(lines().size(), 1u);
    advance(milliseconds(1));
    ASSERT_EQ(keys().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(keys()[i].keyCode, 53);
        EXPECT_EQ(keys()[i].keyDown, i == 0);
        EXPECT_EQ(keys()[i].location, KeyEvents::TapLocation::hid);
        EXPECT_EQ(keys()[i].sourceState, KeyEvents::SourceState::combinedSession);
        EXPECT_EQ(keys()[i].time, closedAt + milliseconds(150));
    }
    EXPECT_EQ(lines().back(), "Sent Escape to dismiss window " + number(id));
    EXPECT_EQ(desktop.logger.lines().back().level, LogLevel::debug);
    advance(milliseconds(1000));
    EXPECT_EQ(keys().size(), 2u);
    EXPECT_EQ(lines().size(), 2u);
}

TEST_F(WindowActionsTest, DiagnosticReportsTheCloseButtonReadTheRoleAndTheAttributeNames) {
    struct Case {
        const char* name;
        std::function<void(WindowActionsTest&, WindowId)> setUp;
        std::string detail;  // what follows "for <n>: "
    };
    const Case cases[] = {
        {"close button is a placeholder",
         [](WindowActionsTest& t, WindowId id) { t.node(id)->set("AXCloseButton", AXValue{true}); },
         "err=0 role=AXWindow "
         "attrs=[AXCloseButton,AXMinimized,AXPosition,AXRole,AXSize,AXSubrole,AXTitle]"},
        {"close and cancel both refuse the press",
         [](WindowActionsTest& t, WindowId id) {
             t.plantButton(id, "AXCloseButton", AXError::cannotComplete);
             t.plantButton(id, "AXCancelButton", AXError::failure);
             t.node(id)->remove("AXSubrole");
         },
         "err=0 role=AXWindow "
         "attrs=[AXCancelButton,AXCloseButton,AXMinimized,AXPosition,AXRole,AXSize,AXTitle]"},
        {"close read fails, no role",
         [](WindowActionsTest& t, WindowId id) {
             t.node(id)->setResult("AXCloseButton", AXResult::failed(AXError::cannotComplete));
             t.node(id)->remove("AXRole");
         },
         "err=-25204 role=? "
         "attrs=[AXCloseButton,AXMinimized,AXPosition,AXSize,AXSubrole,AXTitle]"},
        {"role of the wrong type",
         [](WindowActionsTest& t, WindowId id) { t.node(id)->set("AXRole", AXValue{42.0}); },
         "err=-25205 role=? attrs=[AXMinimized,AXPosition,AXRole,AXSize,AXSubrole,AXTitle]"},
        {"element dead",
         [](WindowActionsTest& t, WindowId id) { t.node(id)->failAll(AXError::invalidUIElement); },
         "err=-25202 role=? attrs=[]"},
        {"process not trusted",
         [](WindowActionsTest& t, WindowId) { t.desktop.accessibility.setTrusted(false); },
         "err=-25211 role=? attrs=[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.logger.clear();
        desktop.accessibility.setTrusted(true);
        const WindowId id = open("AXFloatingWindow");
        c.setUp(*this, id);
        actions.close(info(id));
        EXPECT_EQ(lines(), Lines{"No actionable close/cancel for " + number(id) + ": " + c.detail});
    }
}

TEST_F(WindowActionsTest, CloseOfAWindowWhoseOwnerQuitSkipsActivationButStillSendsEscape) {
    const WindowId id = open("AXStandardWindow");
    const WindowInfo window = info(id);
    desktop.terminate(pid);
    actions.close(window);
    EXPECT_EQ(lines(), Lines{"No actionable close/cancel for " + number(id) +
                             ": err=-25202 role=? attrs=[]"});
    EXPECT_TRUE(activations().empty());
    advance(milliseconds(150));
    EXPECT_EQ(keys().size(), 2u);
    EXPECT_EQ(lines().back(), "Sent Escape to dismiss window " + number(id));

    // A window with no owner at all (pid 0) and no window-server number still gets its line.
    desktop.logger.clear();
    desktop.keyEvents.clearPosted();
    const WindowId stray = open("AXFloatingWindow", false, other);
    WindowInfo orphan = info(stray);
    orphan.ownerPID = 0;
    orphan.cgWindowID = 0;
    actions.close(orphan);
    advance(milliseconds(150));
    EXPECT_TRUE(activations().empty());
    EXPECT_EQ(lines().back(), "Sent Escape to dismiss window 0");
}

TEST_F(WindowActionsTest, EscapeSkipsWhatCannotBeCreatedAndIsOnlyReportedWhenSomethingWasSent) {
    struct Case {
        const char* name;
        bool sourceFails, downFails, upFails;
        std::vector<bool> posted;  // keyDown of each posted event
    };
    const Case cases[] = {
        {"source fails", true, false, false, {}},
        {"key down fails", false, true, false, {false}},
        {"key up fails", false, false, true, {true}},
        {"both events fail", false, true, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.logger.clear();
        desktop.keyEvents.clearPosted();
        desktop.keyEvents.setSourceCreationFails(c.sourceFails);
        desktop.keyEvents.setEventCreationFails(c.downFails, c.upFails);
        const WindowId id = open("AXFloatingWindow");
        actions.close(info(id));
        advance(milliseconds(150));
        std::vector<bool> posted;
        for (const auto& k : keys())
            posted.push_back(k.keyDown);
        EXPECT_EQ(posted, c.posted);
        EXPECT_EQ(lines().size(), c.posted.empty() ? 1u : 2u);
        EXPECT_EQ(desktop.logger.count("Sent Escape to dismiss window " + number(id)),
                  c.posted.empty() ? 0u : 1u);
    }
}

TEST_F(WindowActionsTest, EscapeStillFiresWhenTheActionsObjectIsGone) {
    const WindowId id = open("AXFloatingWindow");
    {
        const WindowActions transient(desktop.ports());
        transient.close(info(id));
    }
    advance(milliseconds(150));
    EXPECT_EQ(keys().size(), 2u);
    EXPECT_EQ(lines().back(), "Sent Escape to dismiss window " + number(id));
}

TEST_F(WindowActionsTest, ActivateBringsTheApplicationAndThisWindowToTheFront) {
    const WindowId back = open("AXStandardWindow");
    const WindowId front = open("AXStandardWindow");
    desktop.windows.raise(front);
    desktop.workspace.setFrontmost(other);
    actions.activate(info(back));
    EXPECT_EQ(activations(), std::vector<ProcessId>{pid});
    EXPECT_EQ(desktop.windows.of(pid).front(), back);
    EXPECT_EQ(lines(), Lines{"Focused window " + number(back)});
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
}

TEST_F(WindowActionsTest, ActivateRestoresAMinimisedWindowFirst) {
    const WindowId id = open("AXStandardWindow", true);
    actions.activate(info(id));
    EXPECT_FALSE(desktop.windows.find(id)->spec.minimized);
    EXPECT_EQ(lines(), (Lines{"Restored window " + number(id), "Focused window " + number(id)}));
    EXPECT_EQ(activations(), std::vector<ProcessId>{pid});
}

TEST_F(WindowActionsTest, ActivateIgnoresFailuresOfRaiseRestoreAndAMissingOwner) {
    const WindowId id = open("AXStandardWindow", true);
    node(id)->setAction("AXRaise", [] { return AXError::cannotComplete; });
    node(id)->setWriteHook([](const std::string&, const AXValue&) { return AXError::failure; });
    actions.activate(info(id));
    EXPECT_EQ(lines(), (Lines{"Restored window " + number(id), "Focused window " + number(id)}));
    EXPECT_EQ(activations(), std::vector<ProcessId>{pid});

    desktop.logger.clear();
    const WindowInfo window = info(id);
    desktop.terminate(pid);
    actions.activate(window);
    EXPECT_EQ(activations(), std::vector<ProcessId>{pid});  // no second activation
    EXPECT_EQ(lines(), (Lines{"Restored window " + number(id), "Focused window " + number(id)}));
}

TEST_F(WindowActionsTest, SetMinimizedAlwaysSendsTheRequestAndLogsEvenWithoutAChange) {
    const WindowId id = open("AXStandardWindow");
    std::vector<std::optional<bool>> writes;
    node(id)->setWriteHook([&writes](const std::string& attribute, const AXValue& value) {
        EXPECT_EQ(attribute, "AXMinimized");
        writes.push_back(value.as<bool>() ? std::optional<bool>(*value.as<bool>()) : std::nullopt);
        return writes.size() == 2 ? AXError::cannotComplete : AXError::success;
    });
    actions.setMinimized(info(id), true);
    actions.setMinimized(info(id), true);  // the second write fails: logged all the same
    actions.setMinimized(info(id), false);
    actions.setMinimized(info(id), false);
    EXPECT_EQ(writes, (std::vector<std::optional<bool>>{true, true, false, false}));
    const std::string n = number(id);
    EXPECT_EQ(lines(), (Lines{"Minimized window " + n, "Minimized window " + n,
                              "Restored window " + n, "Restored window " + n}));
    EXPECT_TRUE(activations().empty());

    // Without a planted hook the desktop acts on the write.
    const WindowId plain = open("AXStandardWindow");
    actions.setMinimized(info(plain), true);
    EXPECT_TRUE(desktop.windows.find(plain)->spec.minimized);
    actions.setMinimized(info(plain), false);
    EXPECT_FALSE(desktop.windows.find(plain)->spec.minimized);
}

}  // namespace
}  // namespace vantorel

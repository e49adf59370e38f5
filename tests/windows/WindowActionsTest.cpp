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

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using Pids = std::vector<ProcessId>;

// Preview's windows, with Notes in front.
struct Rig {
    Rig() { desktop.workspace.setFrontmost(desktop.launch(SimAppSpec{"Notes", {}, {}, 0, {}})); }
    WindowId open(const std::string& subrole, bool minimized = false) {
        SimWindowSpec spec;
        spec.frame = Rect(100, 100, 600, 400);
        spec.subrole = subrole;
        spec.minimized = minimized;
        return desktop.addWindow(pid, spec);
    }
    // The window as the enumeration would have listed it.
    WindowInfo info(WindowId id) {
        const SimWindow* w = desktop.windows.find(id);
        return WindowInfo{
            id, id, w->node->element(), w->spec.title, w->spec.frame, w->spec.minimized, w->pid};
    }
    std::shared_ptr<SimAXNode> node(WindowId id) { return desktop.windows.node(id); }
    // A button that closes nothing, so the chain can be watched moving past it.
    void plant(WindowId id, const std::string& attribute, AXError pressResult) {
        auto b = desktop.accessibility.newNode();
        b->setAction("AXPress", [pressResult] { return pressResult; });
        node(id)->set(attribute, AXValue{b->element()});
    }
    Lines lines() { return desktop.logger.messages("windows"); }
    Pids activations() { return desktop.workspace.activations(); }

    SimDesktop desktop;
    ProcessId pid = desktop.launch(SimAppSpec{"Preview", "com.apple.Preview", {}, 0, nullptr});
    WindowActions actions{desktop.ports()};
};

class WindowActionsTest : public testing::Test, public Rig {};

using Spoil = std::function<void(Rig&, WindowInfo&)>;

// The close chain: the close button, else the cancel button, else a diagnostic, the owner
// brought forward and Escape a moment later.
TEST(WindowActionsClose, EachStepOfTheChainSaysWhatItDidAndOnlyTheLastSendsEscape) {
    const auto closeIs = [](AXResult result) -> Spoil {
        return [result](Rig& t, WindowInfo& w) {
            t.node(w.cgWindowID)->setResult("AXCloseButton", result);
        };
    };
    const auto orCancel = [](Spoil spoil) -> Spoil {
        return [spoil](Rig& t, WindowInfo& w) {
            spoil(t, w);
            t.plant(w.cgWindowID, "AXCancelButton", AXError::success);
        };
    };
    const auto escapeFails = [](bool source, bool down, bool up) -> Spoil {
        return [=](Rig& t, WindowInfo&) {
            t.desktop.keyEvents.setSourceCreationFails(source);
            t.desktop.keyEvents.setEventCreationFails(down, up);
        };
    };
    const Spoil asIs;
    const char* standard = "AXStandardWindow";
    const char* floating = "AXFloatingWindow";
    const std::string dismissed = "Dismissed window # via Cancel";
    const std::string none = "No actionable close/cancel for #: ";
    const std::string attrs = "attrs=[AXMinimized,AXPosition,AXRole,AXSize,AXSubrole,AXTitle]";
    const std::string plain = none + "err=-25205 role=AXWindow " + attrs;
    const std::vector<bool> escape{true, false};  // key down, then key up
    const std::vector<bool> noKeys;
    struct Case {
        const char* name;
        const char* subrole;
        Spoil spoil;
        std::string line;        // the first line; "#" stands for the window number
        std::vector<bool> keys;  // key down or up, for every event posted
        bool activates;
    };
    const std::vector<Case> cases = {
        {"close button", standard, asIs, "Closed window #", noKeys, false},
        {"cancel button of a dialog", "AXDialog", asIs, dismissed, noKeys, false},
        // A close button that cannot be pressed is passed over for the cancel button.
        {"close button a text", standard,
         orCancel(closeIs(AXResult::of(AXValue{std::string("AXCloseButton")}))), dismissed, noKeys,
         false},
        {"close button a null element", standard,
         orCancel(closeIs(AXResult::of(AXValue{AXElement{}}))), dismissed, noKeys, false},
        {"close button read gives nothing", standard,
         orCancel(closeIs(AXResult{AXError::success, std::nullopt})), dismissed, noKeys, false},
        {"close button read fails", standard,
         orCancel(closeIs(AXResult::failed(AXError::cannotComplete))), dismissed, noKeys, false},
        {"close press fails", standard, orCancel([](Rig& t, WindowInfo& w) {
             t.desktop.windows.find(w.cgWindowID)->button->setAction("AXPress", [] {
                 return AXError::cannotComplete;
             });
         }),
         dismissed, noKeys, false},
        // Neither: the diagnostic gives the close button's read error, the role and the names.
        {"neither button", floating, asIs, plain, escape, true},
        {"close button a placeholder", floating, closeIs(AXResult::of(AXValue{true})),
         none + "err=0 role=AXWindow attrs=[AXCloseButton," + attrs.substr(7), escape, true},
        {"both buttons refuse the press", floating,
         [](Rig& t, WindowInfo& w) {
             t.plant(w.cgWindowID, "AXCloseButton", AXError::cannotComplete);
             t.plant(w.cgWindowID, "AXCancelButton", AXError::failure);
             t.node(w.cgWindowID)->remove("AXSubrole");
         },
         none + "err=0 role=AXWindow "
                "attrs=[AXCancelButton,AXCloseButton,AXMinimized,AXPosition,AXRole,AXSize,AXTitle]",
         escape, true},
        {"close read fails, no role", floating,
         [&](Rig& t, WindowInfo& w) {
             closeIs(AXResult::failed(AXError::cannotComplete))(t, w);
             t.node(w.cgWindowID)->remove("AXRole");
         },
         none + "err=-25204 role=? "
                "attrs=[AXCloseButton,AXMinimized,AXPosition,AXSize,AXSubrole,AXTitle]",
         escape, true},
        {"role of the wrong type", floating,
         [](Rig& t, WindowInfo& w) { t.node(w.cgWindowID)->set("AXRole", AXValue{42.0}); },
         none + "err=-25205 role=? " + attrs, escape, true},
        // An owner that quit, or none at all, is not brought forward; Escape goes all the same.
        {"owner quit", standard, [](Rig& t, WindowInfo&) { t.desktop.terminate(t.pid); },
         none + "err=-25202 role=? attrs=[]", escape, false},
        {"no owner, no number", floating,
         [](Rig&, WindowInfo& w) { w.ownerPID = w.cgWindowID = 0; }, plain, escape, false},
        // Only what could be made is posted, and only something posted is reported as sent.
        {"no event source", floating, escapeFails(true, false, false), plain, noKeys, true},
        {"no key down", floating, escapeFails(false, true, false), plain, {false}, true},
        {"no key up", floating, escapeFails(false, false, true), plain, {true}, true},
        {"no key events", floating, escapeFails(false, true, true), plain, noKeys, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig t;
        WindowInfo window = t.info(t.open(c.subrole));
        if (c.spoil) c.spoil(t, window);
        const std::string n = std::to_string(window.cgWindowID);
        Lines expected{c.line};
        expected[0].replace(expected[0].find('#'), 1, n);
        // The Escape is sent after the actions object that scheduled it is gone.
        WindowActions(t.desktop.ports()).close(window);
        EXPECT_EQ(t.lines(), expected);
        EXPECT_EQ(t.activations(), c.activates ? Pids{t.pid} : Pids{});
        const TimePoint closedAt = t.desktop.scheduler.now();
        t.desktop.scheduler.advance(149ms);
        EXPECT_TRUE(t.desktop.keyEvents.posted().empty());
        t.desktop.scheduler.advance(1ms);
        std::vector<bool> keys;
        for (const auto& key : t.desktop.keyEvents.posted()) {
            keys.push_back(key.keyDown);
            EXPECT_TRUE(key.keyCode == 53 && key.location == KeyEvents::TapLocation::hid &&
                        key.sourceState == KeyEvents::SourceState::combinedSession &&
                        key.time == closedAt + 150ms);
        }
        EXPECT_EQ(keys, c.keys);
        if (!keys.empty()) expected.push_back("Sent Escape to dismiss window " + n);
        EXPECT_EQ(t.lines(), expected);
        for (const auto& line : t.desktop.logger.lines())
            EXPECT_EQ(line.level,
                      line.message.starts_with("No ") ? LogLevel::error : LogLevel::debug);
        EXPECT_EQ(t.desktop.scheduler.pendingCount(), 0u);
    }
}

TEST_F(WindowActionsTest, ActivateRestoresFirstThenBringsTheApplicationAndTheWindowForward) {
    const WindowId back = open("AXStandardWindow");
    const WindowId minimised = open("AXStandardWindow", true);
    open("AXStandardWindow");
    actions.activate(info(back));
    EXPECT_EQ(activations(), Pids{pid});
    EXPECT_EQ(desktop.windows.of(pid).front(), back);
    actions.activate(info(minimised));
    EXPECT_FALSE(desktop.windows.find(minimised)->spec.minimized);
    const std::string b = std::to_string(back), m = std::to_string(minimised);
    EXPECT_EQ(lines(),
              (Lines{"Focused window " + b, "Restored window " + m, "Focused window " + m}));
}

TEST_F(WindowActionsTest, SetMinimizedAlwaysSendsTheRequestAndLogsEvenWithoutAChange) {
    const WindowId id = open("AXStandardWindow");
    std::vector<bool> writes;  // whether each asked to minimise
    node(id)->setWriteHook([&](const std::string& attribute, const AXValue& value) {
        writes.push_back(attribute == "AXMinimized" && value.as<bool>() && *value.as<bool>());
        return writes.size() == 2 ? AXError::cannotComplete : AXError::success;
    });
    for (const bool minimized : {true, true, false, false})
        actions.setMinimized(info(id), minimized);  // the second write fails: logged all the same
    EXPECT_EQ(writes, (std::vector<bool>{true, true, false, false}));
    const std::string n = std::to_string(id);
    EXPECT_EQ(lines(), (Lines{"Minimized window " + n, "Minimized window " + n,
                              "Restored window " + n, "Restored window " + n}));
    EXPECT_TRUE(activations().empty());
}

}  // namespace
}  // namespace vantorel

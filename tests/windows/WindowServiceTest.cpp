#include "windows/WindowService.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Dictionary = WindowServerDictionary;

class WindowServiceTest : public testing::Test {
protected:
    ProcessId launch(const std::string& name, std::optional<std::string> bundleId,
                     std::int64_t policy = RunningApplication::kPolicyRegular) {
        return desktop.launch(SimAppSpec{name, std::move(bundleId), std::nullopt, policy, nullptr});
    }
    WindowId open(ProcessId pid, const std::string& title, Rect frame) {
        SimWindowSpec spec;
        spec.title = title;
        spec.frame = frame;
        return desktop.addWindow(pid, spec);
    }
    WindowId open(ProcessId pid, SimWindowSpec spec) { return desktop.addWindow(pid, spec); }
    // A window-server entry with no accessibility window behind it, behind all others.
    WindowNumber addEntry(ProcessId pid, Rect bounds, const std::string& name = "") {
        const WindowNumber number = desktop.windowServer.allocateNumber();
        desktop.windowServer.add(
            number, {SimWindowServer::describe(pid, "", number, 0, bounds, name), true, false});
        return number;
    }
    Dictionary& entry(WindowId id) {
        return *desktop.windowServer.record(id)->info.as<Dictionary>();
    }
    RunningApplication app(ProcessId pid) { return *desktop.workspace.application(pid); }
    std::vector<std::string> lines() { return desktop.logger.messages("windows"); }
    static std::vector<WindowNumber> numbers(const std::vector<WindowInfo>& windows) {
        std::vector<WindowNumber> out;
        for (const auto& w : windows)
            out.push_back(w.cgWindowID);
        return out;
    }

    SimDesktop desktop;
    WindowService service{desktop.ports()};
};

// Pairing ---------------------------------------------------------------------------------------

TEST_F(WindowServiceTest, CentresUpToEightyPointsApartPairAndFurtherOnesDoNot) {
    const auto pid = launch("Editor", "com.example.editor");
    SimWindowSpec spec;
    spec.title = "straight";
    spec.frame = Rect(100, 100, 400, 300);
    spec.serverBounds = Rect(180, 100, 400, 300);  // exactly 80 to the right
    const auto straight = open(pid, spec);
    spec.title = "diagonal";
    spec.frame = Rect(100, 600, 400, 300);
    spec.serverBounds = Rect(148, 664, 400, 300);  // 48 and 64: exactly 80 again
    const auto diagonal = open(pid, spec);
    spec.title = "beyond";
    spec.frame = Rect(900, 100, 400, 300);
    spec.serverBounds = Rect(980.5, 100, 400, 300);
    open(pid, spec);
    // Only centres count: a different size with the same centre still pairs.
    spec.title = "resized";
    spec.frame = Rect(900, 600, 400, 300);
    spec.serverBounds = Rect(850, 550, 500, 400);
    const auto resized = open(pid, spec);

    const auto windows = service.windows(app(pid));
    EXPECT_EQ(numbers(windows), (std::vector<WindowNumber>{straight, diagonal, resized}));
    for (const auto& w : windows) {
        EXPECT_EQ(w.id, w.cgWindowID);
        EXPECT_EQ(w.ownerPID, pid);
        EXPECT_FALSE(w.isMinimized);
    }
    // The frame is the accessibility one, never the window server's bounds.
    EXPECT_EQ(windows[0].frame, Rect(100, 100, 400, 300));
}

TEST_F(WindowServiceTest, TheNearestUnclaimedEntryWinsAndEqualDistancesGoToTheEarlierEntry) {
    const auto pid = launch("Editor", "com.example.editor");
    SimWindowSpec spec;
    spec.title = "A";
    spec.frame = Rect(300, 300, 200, 200);  // centre 400,400
    spec.hasWindowServerEntry = false;
    open(pid, spec);
    const auto right = addEntry(pid, Rect(330, 300, 200, 200));
    const auto left = addEntry(pid, Rect(270, 300, 200, 200));
    EXPECT_EQ(numbers(service.windows(app(pid))), (std::vector<WindowNumber>{right}));

    desktop.windowServer.bringToFront(left);
    EXPECT_EQ(numbers(service.windows(app(pid))), (std::vector<WindowNumber>{left}));

    const auto nearer = addEntry(pid, Rect(305, 300, 200, 200));
    EXPECT_EQ(numbers(service.windows(app(pid))), (std::vector<WindowNumber>{nearer}));
}

TEST_F(WindowServiceTest, EarlierAccessibilityWindowsClaimFirstAndEachEntryPairsOnce) {
    const auto pid = launch("Editor", "com.example.editor");
    SimWindowSpec spec;
    spec.hasWindowServerEntry = false;
    spec.title = "first";
    spec.frame = Rect(300, 300, 200, 200);  // centre 400
    open(pid, spec);
    spec.title = "second";
    spec.frame = Rect(340, 300, 200, 200);  // centre 440, nearer the only entry
    open(pid, spec);
    const auto only = addEntry(pid, Rect(330, 300, 200, 200));  // centre 430

    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].title, "first");
    EXPECT_EQ(windows[0].cgWindowID, only);
}

TEST_F(WindowServiceTest, WindowsWithEqualFramesPairInTheWindowServersOrder) {
    const auto pid = launch("Editor", "com.example.editor");
    const Rect frame(200, 200, 600, 400);
    const auto a = open(pid, "a", frame);
    const auto b = open(pid, "b", frame);
    const auto c = open(pid, "c", frame);
    EXPECT_EQ(numbers(service.windows(app(pid))), (std::vector<WindowNumber>{a, b, c}));

    // Another window server order, the same accessibility order: first still takes first.
    desktop.windowServer.bringToFront(c);
    const auto windows = service.windows(app(pid));
    EXPECT_EQ(numbers(windows), (std::vector<WindowNumber>{c, a, b}));
    EXPECT_EQ(windows[0].title, "a");
}

TEST_F(WindowServiceTest, EntriesOfOtherLayersAndOtherProcessesAreNeverPaired) {
    const auto pid = launch("Editor", "com.example.editor");
    const auto other = launch("Other", "com.example.other");
    SimWindowSpec spec;
    spec.title = "on a palette layer";
    spec.frame = Rect(100, 100, 300, 200);
    spec.layer = 3;
    open(pid, spec);
    spec.title = "no entry of its own";
    spec.frame = Rect(600, 100, 300, 200);
    spec.layer = 0;
    spec.hasWindowServerEntry = false;
    open(pid, spec);
    open(other, "same place, other process", Rect(600, 100, 300, 200));

    EXPECT_TRUE(service.windows(app(pid)).empty());
    EXPECT_EQ(service.windows(app(other)).size(), 1u);
}

// Titles and minimised windows ------------------------------------------------------------------

TEST_F(WindowServiceTest, AnEmptyOrUnreadableTitleIsTakenFromTheWindowServer) {
    const auto pid = launch("Terminal", "com.apple.Terminal");
    SimWindowSpec spec;
    spec.frame = Rect(0, 30, 500, 400);
    spec.title = "";
    spec.serverTitle = "zsh — 80×24";
    open(pid, spec);
    spec.frame = Rect(600, 30, 500, 400);
    spec.title = "own title";
    spec.serverTitle = "server title";
    open(pid, spec);
    spec.frame = Rect(0, 500, 500, 400);
    spec.serverTitle = "from the server";
    const auto mistyped = open(pid, spec);
    desktop.windows.node(mistyped)->set("AXTitle", AXValue{42.0});
    spec.frame = Rect(600, 500, 500, 400);
    spec.title = "";
    const auto nameless = open(pid, spec);
    entry(nameless).erase("kCGWindowName");

    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 4u);
    EXPECT_EQ(windows[0].title, "zsh — 80×24");
    EXPECT_EQ(windows[1].title, "own title");
    EXPECT_EQ(windows[2].title, "from the server");
    EXPECT_EQ(windows[3].title, "");
}

TEST_F(WindowServiceTest, MinimisedWindowsAreKeptUnpairedWithAHashIdEvenWithAZeroFrame) {
    const auto pid = launch("Safari", "com.apple.Safari");
    SimWindowSpec spec;
    spec.title = "Start Page";
    spec.minimized = true;
    const auto zero = open(pid, spec);  // a zero frame
    spec.title = "Unreadable";
    spec.frame = Rect(100, 100, 800, 600);
    const auto unreadable = open(pid, spec);
    desktop.windows.node(unreadable)->set("AXPosition", AXValue{Size{1, 2}});
    // Even an on-screen entry right under a minimised window is left to the next window.
    spec.title = "Over an entry";
    const auto covered = open(pid, spec);
    desktop.windowServer.record(covered)->onScreen = true;
    open(pid, "Visible", Rect(100, 100, 800, 600));

    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto node = desktop.windows.node(i == 0 ? zero : i == 1 ? unreadable : covered);
        EXPECT_TRUE(windows[i].isMinimized);
        EXPECT_EQ(windows[i].cgWindowID, 0u);
        EXPECT_EQ(windows[i].id, node->hash() & 0xffff);
        EXPECT_EQ(windows[i].axElement, node->element());
    }
    EXPECT_EQ(windows[0].frame, Rect());
    EXPECT_EQ(windows[1].frame, Rect());
    EXPECT_EQ(windows[2].frame, Rect(100, 100, 800, 600));
    EXPECT_EQ(windows[3].title, "Visible");
    EXPECT_EQ(windows[3].cgWindowID, covered);
}

// The accessibility filters ---------------------------------------------------------------------

TEST_F(WindowServiceTest, OnlyStandardWindowsAndDialogsPassAndEveryDropIsLogged) {
    const auto pid = launch("Preview", "com.apple.Preview");
    SimWindowSpec spec;
    spec.title = "Colors";
    spec.subrole = "AXFloatingWindow";
    spec.frame = Rect(10, 10, 232.9, 300.2);
    open(pid, spec);
    spec.title = "Ghost";
    spec.subrole = "";  // no subrole at all
    spec.frame = Rect(10, 10, 10, 10);
    open(pid, spec);
    spec.title = "Typed";
    spec.subrole = "AXStandardWindow";
    const auto typed = open(pid, spec);
    desktop.windows.node(typed)->set("AXSubrole", AXValue{true});
    spec.title = "Lowercase";
    spec.subrole = "axstandardwindow";
    open(pid, spec);
    spec.title = "Export";
    spec.subrole = "AXDialog";
    spec.frame = Rect(500, 300, 400, 250);
    const auto dialog = open(pid, spec);
    spec.title = "Broken frame";
    spec.subrole = "AXSystemDialog";
    const auto broken = open(pid, spec);
    desktop.windows.node(broken)->remove("AXSize");

    desktop.logger.clear();
    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].cgWindowID, dialog);
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "  drop non-window subrole=AXFloatingWindow \"Colors\" 232×300",
                           "  drop non-window subrole=none \"Ghost\" 10×10",
                           "  drop non-window subrole=none \"Typed\" 10×10",
                           "  drop non-window subrole=axstandardwindow \"Lowercase\" 10×10",
                           "  drop non-window subrole=AXSystemDialog \"Broken frame\" 0×0",
                           "Preview: 1 window(s) across 1 instance(s)",
                           "  [0] pid=" + std::to_string(pid) + " \"Export\" @500,300 400×250 " +
                               "min=false cgID=" + std::to_string(dialog),
                       }));
}

TEST_F(WindowServiceTest, VisibleWindowsOfAPointOrLessAcrossAreDroppedSilently) {
    const auto pid = launch("Editor", "com.example.editor");
    open(pid, "thin", Rect(100, 100, 1, 400));
    open(pid, "flat", Rect(100, 100, 400, 1));
    const auto unsized = open(pid, "unsized", Rect(100, 100, 400, 400));
    desktop.windows.node(unsized)->set("AXSize", AXValue{std::string("400x400")});
    const auto small = open(pid, "small", Rect(300, 300, 1.5, 1.5));
    // A minimised flag that is not a boolean means not minimised.
    const auto stringly = open(pid, "stringly minimised", Rect(600, 600, 0, 0));
    desktop.windows.node(stringly)->set("AXMinimized", AXValue{std::string("true")});

    desktop.logger.clear();
    const auto windows = service.windows(app(pid));
    EXPECT_EQ(numbers(windows), (std::vector<WindowNumber>{small}));
    for (const auto& line : lines())
        EXPECT_EQ(line.find("  drop"), std::string::npos) << line;
}

TEST_F(WindowServiceTest, AnUnreadableWindowListMeansNoWindows) {
    const auto pid = launch("Editor", "com.example.editor");
    open(pid, "kept", Rect(100, 100, 400, 300));
    auto root = desktop.accessibility.applicationRoot(pid);
    const AXResult good = root->read("AXWindows");
    const std::vector<AXResult> broken = {
        AXResult::failed(AXError::cannotComplete),
        AXResult{AXError::success, std::nullopt},
        AXResult::of(AXValue{std::string("windows")}),
        AXResult::of(AXValue{AXArray{good.value->as<AXArray>()->front(), AXValue{1.0}}}),
    };
    for (const auto& result : broken) {
        root->setResult("AXWindows", result);
        desktop.logger.clear();
        EXPECT_TRUE(service.windows(app(pid)).empty());
        EXPECT_EQ(lines(), (std::vector<std::string>{"Editor: 0 window(s) across 1 instance(s)"}));
    }
    root->setResult("AXWindows", good);
    EXPECT_EQ(service.windows(app(pid)).size(), 1u);
    desktop.accessibility.setTrusted(false);
    EXPECT_TRUE(service.windows(app(pid)).empty());
}

// The window server's answer --------------------------------------------------------------------

TEST_F(WindowServiceTest, WithoutAWindowListOnlyMinimisedWindowsRemain) {
    const auto pid = launch("Safari", "com.apple.Safari");
    open(pid, "visible", Rect(100, 100, 800, 600));
    SimWindowSpec spec;
    spec.title = "minimised";
    spec.minimized = true;
    open(pid, spec);
    desktop.windowServer.setFailing(true);
    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].title, "minimised");
    EXPECT_EQ(service.allWindows().size(), 1u);
}

struct EntryFault {
    const char* what;
    std::function<void(Dictionary&, ProcessId)> plant;
    bool accepted;
};

TEST_F(WindowServiceTest, MalformedEntriesAreSkippedOneByOne) {
    const auto bounds = [](WindowServerValue x, WindowServerValue y, WindowServerValue w,
                           WindowServerValue h) {
        return WindowServerValue(Dictionary{{"X", x}, {"Y", y}, {"Width", w}, {"Height", h}});
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::int64_t beyond32 = std::int64_t{1} << 32;
    const std::vector<EntryFault> faults = {
        {"no owner", [](Dictionary& d, ProcessId) { d.erase("kCGWindowOwnerPID"); }, false},
        {"owner as text",
         [](Dictionary& d, ProcessId p) { d["kCGWindowOwnerPID"] = std::to_string(p); }, false},
        {"owner fractional", [](Dictionary& d, ProcessId p) { d["kCGWindowOwnerPID"] = p + 0.5; },
         false},
        {"owner beyond 32 bits, equal when truncated",
         [&](Dictionary& d, ProcessId p) { d["kCGWindowOwnerPID"] = p + beyond32; }, false},
        {"owner as a whole double",
         [](Dictionary& d, ProcessId p) { d["kCGWindowOwnerPID"] = double(p); }, true},
        {"no layer", [](Dictionary& d, ProcessId) { d.erase("kCGWindowLayer"); }, false},
        {"layer as text", [](Dictionary& d, ProcessId) { d["kCGWindowLayer"] = "0"; }, false},
        {"layer false", [](Dictionary& d, ProcessId) { d["kCGWindowLayer"] = false; }, false},
        {"layer fractional", [](Dictionary& d, ProcessId) { d["kCGWindowLayer"] = 0.25; }, false},
        {"layer below", [](Dictionary& d, ProcessId) { d["kCGWindowLayer"] = -1; }, false},
        {"layer as a whole double", [](Dictionary& d, ProcessId) { d["kCGWindowLayer"] = 0.0; },
         true},
        {"no number", [](Dictionary& d, ProcessId) { d.erase("kCGWindowNumber"); }, false},
        {"number negative", [](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = -7; }, false},
        {"number beyond 32 bits",
         [&](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = beyond32 + 7; }, false},
        {"number zero", [](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = 0; }, false},
        {"number as text", [](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = "7"; }, false},
        {"number true", [](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = true; }, false},
        {"number fractional", [](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = 7.5; }, false},
        {"number as a whole double",
         [](Dictionary& d, ProcessId) { d["kCGWindowNumber"] = 4294967295.0; }, true},
        {"no bounds", [](Dictionary& d, ProcessId) { d.erase("kCGWindowBounds"); }, false},
        {"bounds as text", [](Dictionary& d, ProcessId) { d["kCGWindowBounds"] = "0 0 9 9"; },
         false},
        {"bounds without a width",
         [](Dictionary& d, ProcessId) { d["kCGWindowBounds"].as<Dictionary>()->erase("Width"); },
         false},
        {"bounds NaN",
         [&](Dictionary& d, ProcessId) { d["kCGWindowBounds"] = bounds(nan, 100, 400, 300); },
         false},
        {"bounds infinite",
         [&](Dictionary& d, ProcessId) { d["kCGWindowBounds"] = bounds(100, 100, 400, inf); },
         false},
        {"bounds overflowing",
         [&](Dictionary& d, ProcessId) {
             d["kCGWindowBounds"] = bounds(1.7e308, 100, 1.7e308, 300);
         },
         false},
        {"bounds with a text",
         [&](Dictionary& d, ProcessId) { d["kCGWindowBounds"] = bounds(100, "100", 400, 300); },
         false},
        {"bounds with a boolean",
         [&](Dictionary& d, ProcessId) { d["kCGWindowBounds"] = bounds(true, 100, 400, 300); },
         false},
        {"bounds in integers",
         [&](Dictionary& d, ProcessId) { d["kCGWindowBounds"] = bounds(100, 100, 400, 300); },
         true},
        {"name mistyped", [](Dictionary& d, ProcessId) { d["kCGWindowName"] = 3; }, true},
    };

    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        SimDesktop local;
        WindowService localService(local.ports());
        const auto pid = local.launch(SimAppSpec{"Editor", "com.example.editor", {}, 0, nullptr});
        SimWindowSpec spec;
        spec.title = "Doc";
        spec.frame = Rect(100, 100, 400, 300);
        const auto planted = local.addWindow(pid, spec);
        // An equally good entry behind it: it is taken exactly when the planted one is skipped.
        const WindowNumber spare = local.windowServer.allocateNumber();
        local.windowServer.add(
            spare, {SimWindowServer::describe(pid, "", spare, 0, spec.frame, ""), true, false});
        auto& info = *local.windowServer.record(planted)->info.as<Dictionary>();
        fault.plant(info, pid);

        const auto windows = localService.windows(*local.workspace.application(pid));
        ASSERT_EQ(windows.size(), 1u);
        if (!fault.accepted) {
            EXPECT_EQ(windows[0].cgWindowID, spare);
        } else if (fault.what == std::string("number as a whole double")) {
            EXPECT_EQ(windows[0].cgWindowID, 4294967295u);
        } else {
            EXPECT_EQ(windows[0].cgWindowID, planted);
        }
    }

    // An entry that is not a dictionary at all is skipped too.
    const auto pid = launch("Editor", "com.example.editor");
    const auto planted = open(pid, "Doc", Rect(100, 100, 400, 300));
    desktop.windowServer.record(planted)->info = WindowServerValue("a window");
    const auto spare = addEntry(pid, Rect(100, 100, 400, 300));
    EXPECT_EQ(numbers(service.windows(app(pid))), (std::vector<WindowNumber>{spare}));
    EXPECT_EQ(numbers(service.allWindows()), (std::vector<WindowNumber>{spare}));
}

// Log lines -------------------------------------------------------------------------------------

TEST_F(WindowServiceTest, TheSummaryAndOneLinePerWindowAreLogged) {
    const auto pid = launch("Safari", "com.apple.Safari");
    const auto apple = open(pid, "Apple", Rect(-300.7, 20.4, 800.9, 600.2));
    SimWindowSpec spec;
    spec.title = "Start Page";
    spec.frame = Rect(40, 50, 700, 500);
    spec.minimized = true;
    open(pid, spec);
    const auto huge = open(pid, "Huge", Rect(0, 0, 1e300, 500));
    const auto nameless = launch("", "com.example.nameless");
    const auto untitled = open(nameless, "Untitled", Rect(10, 10, 100, 100));

    desktop.logger.clear();
    service.windows(app(pid));
    service.windows(app(nameless));
    const std::string p = std::to_string(pid);
    EXPECT_EQ(lines(),
              (std::vector<std::string>{
                  "Safari: 3 window(s) across 1 instance(s)",
                  "  [0] pid=" + p +
                      " \"Apple\" @-300,20 800×600 min=false cgID=" + std::to_string(apple),
                  "  [1] pid=" + p + " \"Start Page\" @40,50 700×500 min=true cgID=0",
                  "  [2] pid=" + p + " \"Huge\" @0,0 9223372036854775807×500 min=false cgID=" +
                      std::to_string(huge),
                  "pid " + std::to_string(nameless) + ": 1 window(s) across 1 instance(s)",
                  "  [0] pid=" + std::to_string(nameless) +
                      " \"Untitled\" @10,10 100×100 min=false cgID=" + std::to_string(untitled),
              }));
    for (const auto& line : desktop.logger.lines()) {
        if (line.category == "windows") {
            EXPECT_EQ(line.level, LogLevel::debug);
        }
    }
}

// Instances -------------------------------------------------------------------------------------

TEST_F(WindowServiceTest, EveryInstanceOfTheBundleIsListedInInstanceOrder) {
    const auto first = launch("Terminal", "com.apple.Terminal");
    const auto other = launch("Notes", "com.apple.Notes");
    const auto second = launch("Terminal", "com.apple.Terminal");
    // The same frame in both instances: each pairs only with entries of its own process.
    const Rect frame(100, 100, 700, 450);
    const auto a = open(first, "zsh", frame);
    const auto b = open(second, "ssh", frame);
    const auto c = open(first, "top", Rect(900, 100, 700, 450));
    open(other, "Notes", frame);

    desktop.logger.clear();
    const auto queries = desktop.windowServer.queryCount();
    const auto windows = service.windows(app(second));
    EXPECT_EQ(desktop.windowServer.queryCount() - queries, 2u);
    EXPECT_EQ(numbers(windows), (std::vector<WindowNumber>{a, c, b}));
    EXPECT_EQ(windows[0].ownerPID, first);
    EXPECT_EQ(windows[1].ownerPID, first);
    EXPECT_EQ(windows[2].ownerPID, second);
    ASSERT_FALSE(lines().empty());
    EXPECT_EQ(lines()[0], "Terminal: 3 window(s) across 2 instance(s)");
}

TEST_F(WindowServiceTest, WithoutABundleIdentifierOrOtherInstancesTheApplicationStandsAlone) {
    const auto loose = launch("Script", std::nullopt);
    const auto blank = launch("Blank", "");
    const auto alsoBlank = launch("Also blank", "");
    open(loose, "out", Rect(0, 30, 300, 200));
    open(blank, "one", Rect(0, 30, 300, 200));
    open(alsoBlank, "two", Rect(0, 30, 300, 200));
    EXPECT_EQ(service.windows(app(loose)).size(), 1u);
    EXPECT_EQ(service.windows(app(blank)).size(), 1u);

    // A handle kept after its process quit: the workspace lists nothing for its bundle.
    const auto gone = launch("Gone", "com.example.gone");
    open(gone, "last", Rect(0, 30, 300, 200));
    const auto handle = app(gone);
    desktop.terminate(gone);
    desktop.logger.clear();
    EXPECT_TRUE(service.windows(handle).empty());
    EXPECT_EQ(lines(), (std::vector<std::string>{"Gone: 0 window(s) across 1 instance(s)"}));
}

// All windows -----------------------------------------------------------------------------------

TEST_F(WindowServiceTest, AllWindowsListsRegularApplicationsFrontmostFirstAndLogsNothing) {
    const auto a = launch("A", "com.example.a");
    const auto agent = launch("Agent", "com.example.agent", RunningApplication::kPolicyAccessory);
    const auto b = launch("B", "com.example.b");
    const auto daemon = launch("Daemon", "com.example.d", RunningApplication::kPolicyProhibited);
    const auto c = launch("C", "com.example.c");
    const auto quitting = launch("Quitting", "com.example.q");
    const auto a2 = launch("A", "com.example.a");
    const auto wa = open(a, "a", Rect(0, 30, 400, 300));
    const auto wb = open(b, "b", Rect(0, 30, 400, 300));
    const auto wc = open(c, "c", Rect(0, 30, 400, 300));
    const auto wa2 = open(a2, "a2", Rect(0, 30, 400, 300));
    for (const auto pid : {agent, daemon, quitting})
        open(pid, "hidden from the switcher", Rect(0, 30, 400, 300));
    desktop.workspace.find(quitting)->isTerminated = true;
    SimWindowSpec spec;
    spec.title = "minimised";
    spec.minimized = true;
    const auto minimised = open(c, spec);
    spec = {};
    spec.title = "other space";
    spec.frame = Rect(500, 30, 400, 300);
    spec.onScreen = false;
    open(c, spec);
    spec.subrole = "AXFloatingWindow";
    open(c, spec);

    desktop.logger.clear();
    EXPECT_EQ(numbers(service.allWindows()), (std::vector<WindowNumber>{wa, wb, wc, 0, wa2}));

    desktop.workspace.setFrontmost(c);
    const auto windows = service.allWindows();
    EXPECT_EQ(numbers(windows), (std::vector<WindowNumber>{wc, 0, wa, wb, wa2}));
    EXPECT_EQ(windows[1].id, desktop.windows.node(minimised)->hash() & 0xffff);
    EXPECT_EQ(windows[4].ownerPID, a2);

    // A frontmost application that is not regular changes nothing.
    desktop.workspace.setFrontmost(agent);
    EXPECT_EQ(numbers(service.allWindows()), (std::vector<WindowNumber>{wa, wb, wc, 0, wa2}));
    EXPECT_TRUE(lines().empty());
}

}  // namespace
}  // namespace vantorel

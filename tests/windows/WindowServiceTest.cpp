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
using Numbers = std::vector<WindowNumber>;
using Tweak = std::function<void(SimWindowSpec&)>;

class WindowServiceTest : public testing::Test {
protected:
    ProcessId launch(const std::string& name, std::optional<std::string> bundleId,
                     std::int64_t policy = RunningApplication::kPolicyRegular) {
        return desktop.launch(SimAppSpec{name, std::move(bundleId), std::nullopt, policy, nullptr});
    }
    WindowId open(ProcessId pid, const std::string& title, Rect frame, const Tweak& tweak = {}) {
        SimWindowSpec spec;
        spec.title = title;
        spec.frame = frame;
        if (tweak) tweak(spec);
        return desktop.addWindow(pid, spec);
    }
    // A window-server entry with no accessibility window behind it, behind all others.
    WindowNumber addEntry(ProcessId pid, Rect bounds) {
        const WindowNumber number = desktop.windowServer.allocateNumber();
        desktop.windowServer.add(
            number, {SimWindowServer::describe(pid, "", number, 0, bounds, ""), true, false});
        return number;
    }
    std::shared_ptr<SimAXNode> node(WindowId id) { return desktop.windows.node(id); }
    RunningApplication app(ProcessId pid) { return *desktop.workspace.application(pid); }
    std::vector<std::string> lines() { return desktop.logger.messages("windows"); }
    Numbers listed(ProcessId pid) { return numbers(service.windows(app(pid))); }
    static Numbers numbers(const std::vector<WindowInfo>& windows) {
        Numbers out;
        for (const auto& w : windows)
            out.push_back(w.cgWindowID);
        return out;
    }

    SimDesktop desktop;
    WindowService service{desktop.ports()};
};

const Tweak kMinimised = [](SimWindowSpec& s) { s.minimized = true; };
const Tweak kNoEntry = [](SimWindowSpec& s) { s.hasWindowServerEntry = false; };
Tweak serverBounds(Rect r) {
    return [r](SimWindowSpec& s) { s.serverBounds = r; };
}
Tweak subrole(const char* name) {
    return [name](SimWindowSpec& s) { s.subrole = name; };
}

TEST_F(WindowServiceTest, CentresUpToEightyPointsApartPairAndNoOtherEntriesDo) {
    const auto pid = launch("Editor", "com.example.editor");
    const auto other = launch("Other", "com.example.other");
    const auto straight =  // exactly 80 to the right
        open(pid, "straight", Rect(100, 100, 400, 300), serverBounds(Rect(180, 100, 400, 300)));
    const auto diagonal =  // 48 and 64: exactly 80 again
        open(pid, "diagonal", Rect(100, 600, 400, 300), serverBounds(Rect(148, 664, 400, 300)));
    open(pid, "beyond", Rect(900, 100, 400, 300), serverBounds(Rect(980.5, 100, 400, 300)));
    // Only centres count: a different size with the same centre still pairs.
    const auto resized =
        open(pid, "resized", Rect(900, 600, 400, 300), serverBounds(Rect(850, 550, 500, 400)));
    // Entries of other layers and of other processes are never paired.
    open(pid, "palette layer", Rect(1500, 100, 300, 200), [](SimWindowSpec& s) { s.layer = 3; });
    open(pid, "no entry of its own", Rect(2000, 100, 300, 200), kNoEntry);
    open(other, "same place, other process", Rect(2000, 100, 300, 200));

    const auto windows = service.windows(app(pid));
    EXPECT_EQ(numbers(windows), (Numbers{straight, diagonal, resized}));
    for (const auto& w : windows) {
        EXPECT_EQ(w.id, w.cgWindowID);
        EXPECT_EQ(w.ownerPID, pid);
        EXPECT_FALSE(w.isMinimized);
    }
    // The frame is the accessibility one, never the window server's bounds.
    EXPECT_EQ(windows[0].frame, Rect(100, 100, 400, 300));
    EXPECT_EQ(listed(other).size(), 1u);
}

TEST_F(WindowServiceTest, NearestUnclaimedEntryWinsTiesGoEarlierAndEarlierWindowsClaimFirst) {
    const auto pid = launch("Editor", "com.example.editor");
    open(pid, "A", Rect(300, 300, 200, 200), kNoEntry);  // centre 400,400
    const auto right = addEntry(pid, Rect(330, 300, 200, 200));
    const auto left = addEntry(pid, Rect(270, 300, 200, 200));
    EXPECT_EQ(listed(pid), (Numbers{right}));
    desktop.windowServer.bringToFront(left);
    EXPECT_EQ(listed(pid), (Numbers{left}));
    const auto nearer = addEntry(pid, Rect(305, 300, 200, 200));
    EXPECT_EQ(listed(pid), (Numbers{nearer}));

    // A second window nearer the only entry still loses it to the earlier one.
    const auto solo = launch("Solo", "com.example.solo");
    open(solo, "first", Rect(300, 300, 200, 200), kNoEntry);     // centre 400
    open(solo, "second", Rect(340, 300, 200, 200), kNoEntry);    // centre 440
    const auto only = addEntry(solo, Rect(330, 300, 200, 200));  // centre 430
    const auto windows = service.windows(app(solo));
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
    EXPECT_EQ(listed(pid), (Numbers{a, b, c}));
    // Another window server order, the same accessibility order: first still takes first.
    desktop.windowServer.bringToFront(c);
    const auto windows = service.windows(app(pid));
    EXPECT_EQ(numbers(windows), (Numbers{c, a, b}));
    EXPECT_EQ(windows[0].title, "a");
}

TEST_F(WindowServiceTest, AnEmptyOrUnreadableTitleIsTakenFromTheWindowServer) {
    const auto pid = launch("Terminal", "com.apple.Terminal");
    const auto server = [](const char* t) { return [t](SimWindowSpec& s) { s.serverTitle = t; }; };
    open(pid, "", Rect(0, 30, 500, 400), server("zsh — 80×24"));
    open(pid, "own title", Rect(600, 30, 500, 400), server("server title"));
    const auto mistyped = open(pid, "own title", Rect(0, 500, 500, 400), server("from the server"));
    node(mistyped)->set("AXTitle", AXValue{42.0});
    const auto nameless = open(pid, "", Rect(600, 500, 500, 400), server("from the server"));
    desktop.windowServer.record(nameless)->info.as<Dictionary>()->erase("kCGWindowName");

    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 4u);
    EXPECT_EQ(windows[0].title, "zsh — 80×24");
    EXPECT_EQ(windows[1].title, "own title");
    EXPECT_EQ(windows[2].title, "from the server");
    EXPECT_EQ(windows[3].title, "");
}

TEST_F(WindowServiceTest, MinimisedWindowsAreKeptUnpairedWithAHashIdEvenWithAZeroFrame) {
    const auto pid = launch("Safari", "com.apple.Safari");
    const auto zero = open(pid, "Start Page", Rect(), kMinimised);
    const auto unreadable = open(pid, "Unreadable", Rect(100, 100, 800, 600), kMinimised);
    node(unreadable)->set("AXPosition", AXValue{Size{1, 2}});
    // Even an on-screen entry right under a minimised window is left to the next window.
    const auto covered = open(pid, "Over an entry", Rect(100, 100, 800, 600), kMinimised);
    desktop.windowServer.record(covered)->onScreen = true;
    open(pid, "Visible", Rect(100, 100, 800, 600));

    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 4u);
    const WindowId minimised[] = {zero, unreadable, covered};
    const Rect frames[] = {Rect(), Rect(), Rect(100, 100, 800, 600)};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(windows[i].isMinimized);
        EXPECT_EQ(windows[i].cgWindowID, 0u);
        EXPECT_EQ(windows[i].id, node(minimised[i])->hash() & 0xffff);
        EXPECT_EQ(windows[i].axElement, node(minimised[i])->element());
        EXPECT_EQ(windows[i].frame, frames[i]);
    }
    EXPECT_EQ(windows[3].title, "Visible");
    EXPECT_EQ(windows[3].cgWindowID, covered);
}

TEST_F(WindowServiceTest, OnlyStandardWindowsAndDialogsPassAndEveryDropIsLogged) {
    const auto pid = launch("Preview", "com.apple.Preview");
    const Rect small(10, 10, 10, 10);
    open(pid, "Colors", Rect(10, 10, 232.9, 300.2), subrole("AXFloatingWindow"));
    open(pid, "Ghost", small, subrole(""));  // no subrole at all
    node(open(pid, "Typed", small))->set("AXSubrole", AXValue{true});
    open(pid, "Lowercase", small, subrole("axstandardwindow"));
    const auto dialog = open(pid, "Export", Rect(500, 300, 400, 250), subrole("AXDialog"));
    node(open(pid, "Broken frame", Rect(500, 300, 400, 250), subrole("AXSystemDialog")))
        ->remove("AXSize");

    desktop.logger.clear();
    EXPECT_EQ(listed(pid), (Numbers{dialog}));
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
    node(open(pid, "unsized", Rect(100, 100, 400, 400)))
        ->set("AXSize", AXValue{std::string("400x400")});
    const auto small = open(pid, "small", Rect(300, 300, 1.5, 1.5));
    // A minimised flag that is not a boolean means not minimised.
    node(open(pid, "stringly minimised", Rect(600, 600, 0, 0)))
        ->set("AXMinimized", AXValue{std::string("true")});

    desktop.logger.clear();
    EXPECT_EQ(listed(pid), (Numbers{small}));
    for (const auto& line : lines())
        EXPECT_EQ(line.find("  drop"), std::string::npos) << line;
}

TEST_F(WindowServiceTest, AnUnreadableWindowListMeansNoWindows) {
    const auto pid = launch("Editor", "com.example.editor");
    open(pid, "kept", Rect(100, 100, 400, 300));
    auto root = desktop.accessibility.applicationRoot(pid);
    const AXResult good = root->read("AXWindows");
    for (const auto& result : {
             AXResult::failed(AXError::cannotComplete),
             AXResult{AXError::success, std::nullopt},
             AXResult::of(AXValue{std::string("windows")}),
             AXResult::of(AXValue{AXArray{good.value->as<AXArray>()->front(), AXValue{1.0}}}),
         }) {
        root->setResult("AXWindows", result);
        desktop.logger.clear();
        EXPECT_TRUE(service.windows(app(pid)).empty());
        EXPECT_EQ(lines(), (std::vector<std::string>{"Editor: 0 window(s) across 1 instance(s)"}));
    }
    root->setResult("AXWindows", good);
    EXPECT_EQ(listed(pid).size(), 1u);
    desktop.accessibility.setTrusted(false);
    EXPECT_TRUE(listed(pid).empty());
}

TEST_F(WindowServiceTest, WithoutAWindowListOnlyMinimisedWindowsRemain) {
    const auto pid = launch("Safari", "com.apple.Safari");
    open(pid, "visible", Rect(100, 100, 800, 600));
    open(pid, "minimised", Rect(), kMinimised);
    desktop.windowServer.setFailing(true);
    const auto windows = service.windows(app(pid));
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].title, "minimised");
    EXPECT_EQ(service.allWindows().size(), 1u);
}

TEST_F(WindowServiceTest, MalformedEntriesAreSkippedOneByOne) {
    using V = WindowServerValue;
    const auto bounds = [](V x, V y, V w, V h) {
        return V(Dictionary{{"X", x}, {"Y", y}, {"Width", w}, {"Height", h}});
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::int64_t beyond32 = std::int64_t{1} << 32;
    // Each fault sets `key` to what `value` gives for the owner's pid, or erases it on nullopt.
    struct Fault {
        const char* what;
        const char* key;
        std::function<std::optional<V>(ProcessId)> value;
        std::optional<WindowNumber> taken;  // nullopt: the planted entry is skipped
    };
    const auto is = [](V v) { return [v](ProcessId) { return std::optional<V>(v); }; };
    const auto erased = [](ProcessId) { return std::optional<V>(); };
    const std::optional<WindowNumber> planted = 0;  // stands for the planted entry's own number
    const std::vector<Fault> faults = {
        {"no owner", "kCGWindowOwnerPID", erased, {}},
        {"owner as text",
         "kCGWindowOwnerPID",
         [](ProcessId p) { return V(std::to_string(p)); },
         {}},
        {"owner fractional", "kCGWindowOwnerPID", [](ProcessId p) { return V(p + 0.5); }, {}},
        {"owner beyond 32 bits, equal when truncated",
         "kCGWindowOwnerPID",
         [&](ProcessId p) { return V(p + beyond32); },
         {}},
        {"owner as a whole double", "kCGWindowOwnerPID", [](ProcessId p) { return V(double(p)); },
         planted},
        {"no layer", "kCGWindowLayer", erased, {}},
        {"layer as text", "kCGWindowLayer", is("0"), {}},
        {"layer false", "kCGWindowLayer", is(false), {}},
        {"layer fractional", "kCGWindowLayer", is(0.25), {}},
        {"layer below", "kCGWindowLayer", is(-1), {}},
        {"layer as a whole double", "kCGWindowLayer", is(0.0), planted},
        {"no number", "kCGWindowNumber", erased, {}},
        {"number negative", "kCGWindowNumber", is(-7), {}},
        {"number beyond 32 bits", "kCGWindowNumber", is(beyond32 + 7), {}},
        {"number zero", "kCGWindowNumber", is(0), {}},
        {"number as text", "kCGWindowNumber", is("7"), {}},
        {"number true", "kCGWindowNumber", is(true), {}},
        {"number fractional", "kCGWindowNumber", is(7.5), {}},
        {"number as a whole double", "kCGWindowNumber", is(4294967295.0), 4294967295u},
        {"no bounds", "kCGWindowBounds", erased, {}},
        {"bounds as text", "kCGWindowBounds", is("0 0 9 9"), {}},
        {"bounds without a width",
         "kCGWindowBounds",
         is(V(Dictionary{{"X", 100.0}, {"Y", 100.0}, {"Height", 300.0}})),
         {}},
        {"bounds NaN", "kCGWindowBounds", is(bounds(nan, 100, 400, 300)), {}},
        {"bounds infinite", "kCGWindowBounds", is(bounds(100, 100, 400, inf)), {}},
        {"bounds overflowing", "kCGWindowBounds", is(bounds(1.7e308, 100, 1.7e308, 300)), {}},
        {"bounds with a text", "kCGWindowBounds", is(bounds(100, "100", 400, 300)), {}},
        {"bounds with a boolean", "kCGWindowBounds", is(bounds(true, 100, 400, 300)), {}},
        {"bounds in integers", "kCGWindowBounds", is(bounds(100, 100, 400, 300)), planted},
        {"name mistyped", "kCGWindowName", is(3), planted},
    };

    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        SimDesktop local;
        WindowService localService(local.ports());
        const auto pid = local.launch(SimAppSpec{"Editor", "com.example.editor", {}, 0, nullptr});
        SimWindowSpec spec;
        spec.frame = Rect(100, 100, 400, 300);
        const auto own = local.addWindow(pid, spec);
        // An equally good entry behind it: it is taken exactly when the planted one is skipped.
        const WindowNumber spare = local.windowServer.allocateNumber();
        local.windowServer.add(
            spare, {SimWindowServer::describe(pid, "", spare, 0, spec.frame, ""), true, false});
        auto& info = *local.windowServer.record(own)->info.as<Dictionary>();
        if (const auto value = fault.value(pid)) {
            info[fault.key] = *value;
        } else {
            info.erase(fault.key);
        }

        const auto windows = localService.windows(*local.workspace.application(pid));
        ASSERT_EQ(windows.size(), 1u);
        const WindowNumber expected = !fault.taken ? spare : *fault.taken ? *fault.taken : own;
        EXPECT_EQ(windows[0].cgWindowID, expected);
    }

    // An entry that is not a dictionary at all is skipped too.
    const auto pid = launch("Editor", "com.example.editor");
    const auto own = open(pid, "Doc", Rect(100, 100, 400, 300));
    desktop.windowServer.record(own)->info = WindowServerValue("a window");
    const auto spare = addEntry(pid, Rect(100, 100, 400, 300));
    EXPECT_EQ(listed(pid), (Numbers{spare}));
    EXPECT_EQ(numbers(service.allWindows()), (Numbers{spare}));
}

TEST_F(WindowServiceTest, TheSummaryAndOneLinePerWindowAreLoggedAtDebug) {
    const auto pid = launch("Safari", "com.apple.Safari");
    const auto apple = open(pid, "Apple", Rect(-300.7, 20.4, 800.9, 600.2));
    open(pid, "Start Page", Rect(40, 50, 700, 500), kMinimised);
    const auto huge = open(pid, "Huge", Rect(0, 0, 1e300, 500));
    const auto nameless = launch("", "com.example.nameless");
    const auto untitled = open(nameless, "Untitled", Rect(10, 10, 100, 100));

    desktop.logger.clear();
    service.windows(app(pid));
    service.windows(app(nameless));
    const std::string p = std::to_string(pid);
    const std::string n = std::to_string(nameless);
    EXPECT_EQ(lines(),
              (std::vector<std::string>{
                  "Safari: 3 window(s) across 1 instance(s)",
                  "  [0] pid=" + p +
                      " \"Apple\" @-300,20 800×600 min=false cgID=" + std::to_string(apple),
                  "  [1] pid=" + p + " \"Start Page\" @40,50 700×500 min=true cgID=0",
                  "  [2] pid=" + p + " \"Huge\" @0,0 9223372036854775807×500 min=false cgID=" +
                      std::to_string(huge),
                  "pid " + n + ": 1 window(s) across 1 instance(s)",
                  "  [0] pid=" + n +
                      " \"Untitled\" @10,10 100×100 min=false cgID=" + std::to_string(untitled),
              }));
    for (const auto& line : desktop.logger.lines()) {
        if (line.category == "windows") {
            EXPECT_EQ(line.level, LogLevel::debug);
        }
    }
}

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
    EXPECT_EQ(numbers(windows), (Numbers{a, c, b}));
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
    for (const auto pid : {loose, blank, alsoBlank})
        open(pid, "one", Rect(0, 30, 300, 200));
    EXPECT_EQ(listed(loose).size(), 1u);
    EXPECT_EQ(listed(blank).size(), 1u);

    // A handle kept after its process quit: the workspace lists nothing for its bundle.
    const auto gone = launch("Gone", "com.example.gone");
    open(gone, "last", Rect(0, 30, 300, 200));
    const auto handle = app(gone);
    desktop.terminate(gone);
    desktop.logger.clear();
    EXPECT_TRUE(service.windows(handle).empty());
    EXPECT_EQ(lines(), (std::vector<std::string>{"Gone: 0 window(s) across 1 instance(s)"}));
}

TEST_F(WindowServiceTest, AllWindowsListsRegularApplicationsFrontmostFirstAndLogsNothing) {
    const auto a = launch("A", "com.example.a");
    const auto agent = launch("Agent", "com.example.agent", RunningApplication::kPolicyAccessory);
    const auto b = launch("B", "com.example.b");
    const auto daemon = launch("Daemon", "com.example.d", RunningApplication::kPolicyProhibited);
    const auto c = launch("C", "com.example.c");
    const auto quitting = launch("Quitting", "com.example.q");
    const auto a2 = launch("A", "com.example.a");
    const Rect frame(0, 30, 400, 300);
    const auto wa = open(a, "a", frame);
    const auto wb = open(b, "b", frame);
    const auto wc = open(c, "c", frame);
    const auto wa2 = open(a2, "a2", frame);
    for (const auto pid : {agent, daemon, quitting})
        open(pid, "hidden from the switcher", frame);
    desktop.workspace.find(quitting)->isTerminated = true;
    const auto minimised = open(c, "minimised", Rect(), kMinimised);
    const auto elsewhere = [](SimWindowSpec& s) { s.onScreen = false; };
    open(c, "other space", Rect(500, 30, 400, 300), elsewhere);
    open(c, "other space", Rect(500, 30, 400, 300), [&](SimWindowSpec& s) {
        elsewhere(s);
        s.subrole = "AXFloatingWindow";
    });

    desktop.logger.clear();
    EXPECT_EQ(numbers(service.allWindows()), (Numbers{wa, wb, wc, 0, wa2}));
    desktop.workspace.setFrontmost(c);
    const auto windows = service.allWindows();
    EXPECT_EQ(numbers(windows), (Numbers{wc, 0, wa, wb, wa2}));
    EXPECT_EQ(windows[1].id, node(minimised)->hash() & 0xffff);
    EXPECT_EQ(windows[4].ownerPID, a2);
    // A frontmost application that is not regular changes nothing.
    desktop.workspace.setFrontmost(agent);
    EXPECT_EQ(numbers(service.allWindows()), (Numbers{wa, wb, wc, 0, wa2}));
    EXPECT_TRUE(lines().empty());
}

}  // namespace
}  // namespace vantorel

#include "windows/WindowService.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Dictionary = WindowServerDictionary;
using Numbers = std::vector<WindowNumber>;
using Lines = std::vector<std::string>;
using Tweak = std::function<void(SimWindowSpec&)>;

const Tweak kMinimised = [](SimWindowSpec& s) { s.minimized = true; };
const Tweak kNoEntry = [](SimWindowSpec& s) { s.hasWindowServerEntry = false; };
const auto serverBounds = [](Rect r) -> Tweak { return [r](auto& s) { s.serverBounds = r; }; };
const auto subrole = [](const char* n) -> Tweak { return [n](auto& s) { s.subrole = n; }; };

// A simulated desktop and the service over it; the tables build a fresh one per row.
struct Rig {
    ProcessId launch(const std::string& name = "Editor",
                     std::optional<std::string> bundleId = "com.example.editor",
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
    Dictionary& entry(WindowNumber number) {
        return *desktop.windowServer.record(number)->info.as<Dictionary>();
    }
    std::shared_ptr<SimAXNode> node(WindowId id) { return desktop.windows.node(id); }
    AXElement element(WindowId id) { return node(id)->element(); }
    RunningApplication app(ProcessId pid) { return *desktop.workspace.application(pid); }
    Lines lines() { return desktop.logger.messages("windows"); }
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

class WindowServiceTest : public testing::Test, public Rig {};

TEST_F(WindowServiceTest, CentresUpToEightyPointsApartPairAndNoOtherEntriesDo) {
    const auto pid = launch();
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
    for (const auto& w : windows)
        EXPECT_TRUE(w.id == w.cgWindowID && w.ownerPID == pid && !w.isMinimized);
    // The frame is the accessibility one, never the window server's bounds.
    EXPECT_EQ(windows[0].frame, Rect(100, 100, 400, 300));
}

// Partners are looked up near each centre, not among all entries: a partner 80 points away
// across any boundary of that search, or far out where doubles are sparse, is still found.
TEST_F(WindowServiceTest, PartnersAreFoundAcrossSearchBoundariesAndFarOut) {
    const auto pid = launch();
    const double centres[] = {-80, 79.75, 159.5, 160, 239.75, 1e15, 3e16, 1e300};
    Numbers expected;
    double y = 0;
    for (const double x : centres) {
        y += 1000;  // rows far apart: no entry is within reach of another row
        expected.push_back(open(pid, "at " + std::to_string(x), Rect(x - 100, y, 200, 100),
                                serverBounds(Rect(x - 100 + 80, y, 200, 100))));
        // The diagonal neighbour, 48 and 64 away: 80 exactly.
        open(pid, "diagonal", Rect(x - 100, y + 300, 200, 100),
             serverBounds(Rect(x - 100 - 48, y + 300 + 64, 200, 100)));
    }
    const Numbers found = listed(pid);
    EXPECT_EQ(found.size(), 2 * std::size(centres));
    for (const WindowNumber number : expected)
        EXPECT_NE(std::find(found.begin(), found.end(), number), found.end()) << number;
}

TEST_F(WindowServiceTest, NearestUnclaimedEntryWinsTiesGoEarlierAndEarlierWindowsClaimFirst) {
    const auto pid = launch();
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

TEST_F(WindowServiceTest, OnlyStandardWindowsAndDialogsPassEachLoggedWithTitleFrameAndNumber) {
    const auto pid = launch("Preview", "com.apple.Preview");
    const Rect small(10, 10, 10, 10);
    open(pid, "Colors", Rect(10, 10, 232.9, 300.2), subrole("AXFloatingWindow"));
    open(pid, "Ghost", small, subrole(""));  // no subrole at all
    node(open(pid, "Typed", small))->set("AXSubrole", AXValue{true});
    open(pid, "Lowercase", small, subrole("axstandardwindow"));
    node(open(pid, "Broken", Rect(500, 300, 400, 250), subrole("AXSystemDialog")))
        ->remove("AXSize");
    // The window server's name stands in for an empty or unreadable accessibility title.
    const auto server = [](const char* t) { return [t](SimWindowSpec& s) { s.serverTitle = t; }; };
    const auto dialog = open(pid, "", Rect(-300.7, 20.4, 800.9, 600.2), [&](SimWindowSpec& s) {
        s.subrole = "AXDialog";
        s.serverTitle = "Export";
    });
    // Visible windows of a point or less across go without a word.
    open(pid, "thin", Rect(100, 100, 1, 400));
    open(pid, "flat", Rect(100, 100, 400, 1));
    node(open(pid, "unsized", Rect(100, 100, 400, 400)))
        ->set("AXSize", AXValue{std::string("400x400")});
    // A minimised flag that is not a boolean means not minimised.
    node(open(pid, "stringly minimised", Rect(600, 600, 0, 0)))
        ->set("AXMinimized", AXValue{std::string("true")});
    // A minimised window is kept unpaired even with an unreadable frame; the on-screen entry
    // right under it goes to the next window.
    const auto page = open(pid, "Start Page", Rect(40, 50, 700, 500), kMinimised);
    node(page)->set("AXPosition", AXValue{Size{1, 2}});
    desktop.windowServer.record(page)->onScreen = true;
    open(pid, "Over", Rect(40, 50, 700, 500), server("server title"));
    const auto nameless = open(pid, "", Rect(300, 300, 1.5, 1.5));
    entry(nameless).erase("kCGWindowName");
    const auto huge = open(pid, "own", Rect(0, 0, 1e300, 500), server("Huge"));
    node(huge)->set("AXTitle", AXValue{42.0});

    desktop.logger.clear();
    const auto windows = service.windows(app(pid));
    EXPECT_EQ(numbers(windows), (Numbers{dialog, 0, page, nameless, huge}));
    EXPECT_EQ(windows[1].id, node(page)->hash() & 0xffff);
    EXPECT_EQ(windows[1].axElement, node(page)->element());
    const auto row = [pid](int i, const std::string& rest) {
        return "  [" + std::to_string(i) + "] pid=" + std::to_string(pid) + " \"" + rest;
    };
    const auto n = [](WindowNumber number) { return std::to_string(number); };
    EXPECT_EQ(lines(), (Lines{
                           "  drop non-window subrole=AXFloatingWindow \"Colors\" 232×300",
                           "  drop non-window subrole=none \"Ghost\" 10×10",
                           "  drop non-window subrole=none \"Typed\" 10×10",
                           "  drop non-window subrole=axstandardwindow \"Lowercase\" 10×10",
                           "  drop non-window subrole=AXSystemDialog \"Broken\" 0×0",
                           "Preview: 5 window(s) across 1 instance(s)",
                           row(0, "Export\" @-300,20 800×600 min=false cgID=" + n(dialog)),
                           row(1, "Start Page\" @0,0 0×0 min=true cgID=0"),
                           row(2, "Over\" @40,50 700×500 min=false cgID=" + n(page)),
                           row(3, "\" @300,300 1×1 min=false cgID=" + n(nameless)),
                           row(4, "Huge\" @0,0 9223372036854775807×500 min=false cgID=" + n(huge)),
                       }));
    for (const auto& line : desktop.logger.lines())
        EXPECT_EQ(line.level, LogLevel::debug);
}

TEST_F(WindowServiceTest, WhatCannotBeReadOrPairedLeavesNoWindowAndTheSummarySaysSo) {
    const auto pid = launch();
    const auto id = open(pid, "kept", Rect(100, 100, 400, 300));
    auto root = desktop.accessibility.applicationRoot(pid);
    const AXResult good = root->read("AXWindows");
    const auto none = [&](const char* what, const RunningApplication& handle) {
        SCOPED_TRACE(what);
        desktop.logger.clear();
        EXPECT_TRUE(service.windows(handle).empty());
        EXPECT_EQ(lines(), Lines{"Editor: 0 window(s) across 1 instance(s)"});
    };
    for (const auto& result : {
             AXResult::failed(AXError::cannotComplete),
             AXResult{AXError::success, std::nullopt},
             AXResult::of(AXValue{std::string("windows")}),
             AXResult::of(AXValue{AXArray{good.value->as<AXArray>()->front(), AXValue{1.0}}}),
         }) {
        root->setResult("AXWindows", result);
        none("unreadable window list", app(pid));
    }
    root->setResult("AXWindows", good);
    EXPECT_EQ(listed(pid).size(), 1u);
    desktop.accessibility.setTrusted(false);
    none("not trusted", app(pid));
    desktop.accessibility.setTrusted(true);
    desktop.windowServer.setFailing(true);
    none("no window list", app(pid));
    EXPECT_TRUE(service.allWindows().empty());
    desktop.windowServer.setFailing(false);
    // One window is unknown to the window server, the other's entry gives the null number.
    open(pid, "custom", Rect(600, 100, 400, 300), kNoEntry);
    entry(id)["kCGWindowNumber"] = 0;
    none("every window lacks a window number", app(pid));
    // A handle kept after its process quit: the workspace lists nothing for its bundle.
    const auto handle = app(pid);
    desktop.terminate(pid);
    none("quit", handle);
}

TEST(WindowServiceEntries, MalformedEntriesAreSkippedOneByOne) {
    using V = WindowServerValue;
    const auto bounds = [](V x, V y, V w, V h) {
        return V(Dictionary{{"X", x}, {"Y", y}, {"Width", w}, {"Height", h}});
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::int64_t beyond32 = std::int64_t{1} << 32;
    const V noWidth = Dictionary{{"X", 100.0}, {"Y", 100.0}, {"Height", 300.0}};
    // Every fresh desktop gives its first process the same id.
    const ProcessId pid = Rig().launch();
    struct Fault {
        const char* what;
        const char* key;                    // null: the whole entry is replaced
        std::optional<V> value;             // nullopt: the key is erased
        std::optional<WindowNumber> taken;  // nullopt: the planted entry is skipped
    };
    const std::optional<WindowNumber> planted = 0;  // stands for the planted entry's own number
    const std::vector<Fault> faults = {
        {"not a dictionary", nullptr, V("a window"), {}},
        {"no owner", "kCGWindowOwnerPID", {}, {}},
        {"owner as text", "kCGWindowOwnerPID", V(std::to_string(pid)), {}},
        {"owner beyond 32 bits, equal when truncated", "kCGWindowOwnerPID", V(pid + beyond32), {}},
        {"owner as a whole double", "kCGWindowOwnerPID", V(double(pid)), planted},
        {"no layer", "kCGWindowLayer", {}, {}},
        {"layer false", "kCGWindowLayer", V(false), {}},
        {"layer below", "kCGWindowLayer", V(-1), {}},
        {"layer as a whole double", "kCGWindowLayer", V(0.0), planted},
        {"no number", "kCGWindowNumber", {}, {}},
        {"number negative", "kCGWindowNumber", V(-7), {}},
        {"number beyond 32 bits", "kCGWindowNumber", V(beyond32 + 7), {}},
        {"number zero", "kCGWindowNumber", V(0), {}},
        {"number as text", "kCGWindowNumber", V("7"), {}},
        {"number true", "kCGWindowNumber", V(true), {}},
        {"number fractional", "kCGWindowNumber", V(7.5), {}},
        {"number as a whole double", "kCGWindowNumber", V(4294967295.0), 4294967295u},
        {"no bounds", "kCGWindowBounds", {}, {}},
        {"bounds as text", "kCGWindowBounds", V("0 0 9 9"), {}},
        {"bounds without a width", "kCGWindowBounds", noWidth, {}},
        {"bounds NaN", "kCGWindowBounds", bounds(nan, 100, 400, 300), {}},
        {"bounds infinite", "kCGWindowBounds", bounds(100, 100, 400, inf), {}},
        {"bounds overflowing", "kCGWindowBounds", bounds(1.7e308, 100, 1.7e308, 300), {}},
        {"bounds with a text", "kCGWindowBounds", bounds(100, "100", 400, 300), {}},
        {"bounds with a boolean", "kCGWindowBounds", bounds(true, 100, 400, 300), {}},
        {"bounds in integers", "kCGWindowBounds", bounds(100, 100, 400, 300), planted},
        {"name mistyped", "kCGWindowName", V(3), planted},
    };

    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        Rig rig;
        ASSERT_EQ(rig.launch(), pid);
        const auto own = rig.open(pid, "Doc", Rect(100, 100, 400, 300));
        // An equally good entry behind it: it is taken exactly when the planted one is skipped.
        const auto spare = rig.addEntry(pid, Rect(100, 100, 400, 300));
        auto& record = rig.desktop.windowServer.record(own)->info;
        if (!fault.key) {
            record = *fault.value;
        } else if (fault.value) {
            (*record.as<Dictionary>())[fault.key] = *fault.value;
        } else {
            record.as<Dictionary>()->erase(fault.key);
        }

        const WindowNumber expected = !fault.taken ? spare : *fault.taken ? *fault.taken : own;
        EXPECT_EQ(rig.listed(pid), Numbers{expected});
        EXPECT_EQ(Rig::numbers(rig.service.allWindows()), Numbers{expected});
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

    const auto windows = service.windows(app(second));
    EXPECT_EQ(numbers(windows), (Numbers{a, c, b}));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(windows[i].ownerPID, i < 2 ? first : second);
    EXPECT_EQ(lines().at(0), "Terminal: 3 window(s) across 2 instance(s)");

    // Without a bundle identifier, or with an empty one, the application stands alone.
    open(launch("Blank", ""), "blank", frame);
    auto loose = app(first);
    loose.localizedName.reset();
    for (const auto& bundle : {std::optional<std::string>(), std::optional<std::string>("")}) {
        loose.bundleIdentifier = bundle;
        desktop.logger.clear();
        EXPECT_EQ(numbers(service.windows(loose)), (Numbers{a, c}));
        EXPECT_EQ(lines().at(0),
                  "pid " + std::to_string(first) + ": 2 window(s) across 1 instance(s)");
    }
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
    open(c, "palette", Rect(1500, 30, 400, 300), subrole("AXFloatingWindow"));

    desktop.logger.clear();
    EXPECT_EQ(numbers(service.allWindows()), (Numbers{wa, wb, wc, 0, wa2}));
    desktop.workspace.setFrontmost(c);
    const auto windows = service.allWindows();
    EXPECT_EQ(numbers(windows), (Numbers{wc, 0, wa, wb, wa2}));
    EXPECT_EQ(windows[1].id, node(minimised)->hash() & 0xffff);
    EXPECT_EQ(windows[1].axElement, node(minimised)->element());
    EXPECT_EQ(windows[4].ownerPID, a2);
    // A frontmost application that is not regular changes nothing.
    desktop.workspace.setFrontmost(agent);
    EXPECT_EQ(numbers(service.allWindows()), (Numbers{wa, wb, wc, 0, wa2}));
    EXPECT_TRUE(lines().empty());
}

// Ids key cards and live captures: one enumeration never holds the same id twice, whatever the
// hashes of minimised windows or a malformed window list make of them.
TEST_F(WindowServiceTest, ClashingIdsMoveToTheNextFreeOneAndNumbersStayForCapture) {
    const ProcessId pid = launch();
    // The entry is kept under `key` and names itself `number`: a malformed list may repeat one.
    const auto add = [&](double x, bool minimized, WindowNumber number, WindowNumber key) {
        const WindowId id = open(pid, "", Rect(x, 100, 300, 200), [&](SimWindowSpec& s) {
            s.minimized = minimized;
            s.hasWindowServerEntry = false;
        });
        const auto desc = SimWindowServer::describe(pid, "", number, 0, Rect(x, 100, 300, 200), "");
        if (number) desktop.windowServer.add(key, {desc, true, false});
        return id;
    };
    const auto hashed = static_cast<std::uint32_t>(node(add(0, true, 0, 0))->hash() & 0xffff);
    add(400, false, hashed, hashed);          // the minimised window's hash as a window number,
    add(800, false, hashed + 1, hashed + 1);  // and the one after it
    add(1200, false, 70000, 70000);           // a number listed twice
    add(1600, false, 70000, 70001);
    for (const auto& windows : {service.windows(app(pid)), service.allWindows()}) {
        std::vector<std::pair<std::uint32_t, WindowNumber>> ids;
        for (const auto& w : windows)
            ids.emplace_back(w.id, w.cgWindowID);
        EXPECT_EQ(ids, (decltype(ids){{hashed + 2, 0},
                                      {hashed, hashed},
                                      {hashed + 1, hashed + 1},
                                      {70000, 70000},
                                      {(70000 + 1) & 0xffff, 70000}}));
    }
}

// The desktop's two views must disagree exactly where the platform's do, or the tests above
// prove nothing. Only what they would not notice breaking is checked here.
class SimWindowsTest : public WindowServiceTest {
protected:
    Numbers listed(WindowServer::Options options = 17) {
        Numbers out;
        const auto list = desktop.windowServer.copyWindowInfo(options, 0);
        for (const auto& value : *list)
            out.push_back(static_cast<WindowNumber>(
                *value.as<Dictionary>()->at("kCGWindowNumber").as<std::int64_t>()));
        return out;
    }
    AXElement frontAXWindow() {
        const auto windows = ax.copyAttributeValue(ax.createApplication(pid), "AXWindows");
        return *windows.value->as<AXArray>()->front().as<AXElement>();
    }

    SimAccessibility& ax = desktop.accessibility;
    ProcessId pid = launch();
    WindowId front = open(pid, "front", Rect(0, 0, 400, 300));
    WindowId dialog = open(pid, "dialog", Rect(0, 0, 400, 300), subrole("AXDialog"));
};

TEST_F(SimWindowsTest, MinimisedHiddenAndOtherSpaceWindowsAndTheDesktopLeaveTheOnScreenList) {
    const auto elsewhere = open(pid, "", Rect(), [](SimWindowSpec& s) { s.onScreen = false; });
    const WindowNumber wallpaper = desktop.windowServer.allocateNumber();
    desktop.windowServer.add(wallpaper, {Dictionary{{"kCGWindowNumber", wallpaper}}, true, true});
    EXPECT_EQ(listed(WindowServer::kOptionOnScreenOnly), (Numbers{front, dialog, wallpaper}));
    EXPECT_EQ(listed(), (Numbers{front, dialog}));

    // Minimised through the accessibility interface, as window actions do, then restored: it
    // comes back in front in both views.
    EXPECT_EQ(ax.setAttributeValue(element(dialog), "AXMinimized", AXValue{true}),
              AXError::success);
    EXPECT_EQ(listed(), (Numbers{front}));
    EXPECT_EQ(ax.setAttributeValue(element(dialog), "AXMinimized", AXValue{std::string("no")}),
              AXError::illegalArgument);
    ax.setAttributeValue(element(dialog), "AXMinimized", AXValue{false});
    EXPECT_EQ(listed(), (Numbers{dialog, front}));
    EXPECT_EQ(frontAXWindow(), element(dialog));

    // A hidden application keeps its accessibility windows but shows none.
    desktop.windows.setApplicationHidden(pid, true);
    EXPECT_TRUE(listed().empty());
    EXPECT_EQ(desktop.windows.of(pid).size(), 3u);
    desktop.windows.setApplicationHidden(pid, false);
    desktop.windows.setOnScreen(elsewhere, true);
    EXPECT_EQ(listed(), (Numbers{dialog, front, elsewhere}));
}

TEST_F(SimWindowsTest, RaisingClosingAndQuittingActOnBothViews) {
    EXPECT_EQ(ax.performAction(element(dialog), "AXRaise"), AXError::success);
    EXPECT_EQ(listed(), (Numbers{dialog, front}));
    EXPECT_EQ(frontAXWindow(), element(dialog));

    const auto close =
        *ax.copyAttributeValue(element(front), "AXCloseButton").value->as<AXElement>();
    const auto held = element(front);
    EXPECT_EQ(ax.performAction(close, "AXPress"), AXError::success);
    EXPECT_EQ(listed(), (Numbers{dialog}));
    // Handles kept from before answer like those of a closed window.
    EXPECT_EQ(ax.copyAttributeValue(held, "AXTitle").error, AXError::invalidUIElement);
    EXPECT_EQ(ax.performAction(close, "AXPress"), AXError::invalidUIElement);

    // A quitting process takes its windows along and opens no more.
    const auto note = open(launch("Notes", "com.apple.Notes"), "note", Rect(0, 0, 400, 300));
    desktop.terminate(pid);
    EXPECT_EQ(listed(), (Numbers{note}));
    EXPECT_EQ(open(pid, "after", Rect(0, 0, 400, 300)), 0u);
}

}  // namespace
}  // namespace vantorel

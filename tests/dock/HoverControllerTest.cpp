#include "dock/HoverController.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "platform/sim/ManualScheduler.h"

namespace vantorel {
namespace {

using std::chrono::milliseconds;

DockItem appItem(ProcessId pid, double x = 0) {
    RunningApplication application;
    application.processIdentifier = pid;
    return DockItem::app(application, "App " + std::to_string(pid), Rect(x, 1000, 64, 64));
}

// Records every show and hide stamped with the virtual time it happened at, so that a script's
// expected events pin both the decisions and the exact delays.
struct Harness {
    Harness() {
        controller.onShow = [this](const DockItem& item) { log("show " + name(item)); };
        controller.onHide = [this] { log("hide"); };
    }
    static std::string name(const DockItem& item) {
        return item.id() + " x=" + std::to_string(int(item.frame.minX()));
    }
    void log(const std::string& event) {
        const auto now = scheduler.now().time_since_epoch();
        events += (events.empty() ? "" : "; ") +
                  std::to_string(std::chrono::duration_cast<milliseconds>(now).count()) + " " +
                  event;
    }

    // Steps: "a"/"b"/"c" hover that application, "f" a folder, "a+10" hovers a moved 10 to the
    // right, "a'" hovers a retitled, "end" hoverEnded, "enter"/"leave" the panel, "reset", "+N"
    // advances N ms, "tS/H" sets the delays from preference milliseconds.
    void run(const std::string& script) {
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            DockItem item = step[0] == 'b' ? b : step[0] == 'c' ? c : step[0] == 'f' ? f : a;
            if (step == "a+10") item.frame.origin.x += 10;
            if (step == "a'") item.title = "Renamed";
            if (step == "end")
                controller.hoverEnded();
            else if (step == "enter")
                controller.pointerEnteredPanel();
            else if (step == "leave")
                controller.pointerLeftPanel();
            else if (step == "reset")
                controller.reset();
            else if (step[0] == '+')
                scheduler.advance(milliseconds(std::stoi(step.substr(1))));
            else if (step[0] == 't')
                controller.setTiming(HoverController::Timing::fromMilliseconds(
                    std::stod(step.substr(1)), std::stod(step.substr(step.find('/') + 1))));
            else if ((step[0] >= 'a' && step[0] <= 'c') || step == "f")
                controller.hover(item);
            else
                ADD_FAILURE() << "unknown step " << step;
        }
    }

    ManualScheduler scheduler;
    HoverController controller{scheduler};
    std::string events;
    const DockItem a = appItem(101, 0);
    const DockItem b = appItem(202, 64);
    const DockItem c = appItem(303, 128);
    const DockItem f = DockItem::folder(*Url::parse("file:///Users/ana/Downloads/"), "Downloads",
                                        Rect(192, 1000, 64, 64));
};

TEST(HoverController, StateTableTransitions) {
    // {why, script, the events "; "-separated}; what is shown at the end follows from the last.
    const struct {
        const char *name, *script, *events;
    } cases[] = {
        {"a sweep shows only where the pointer rests, timed from its own hover",
         "a +179 b +179 c +179 +1", "538 show app:303 x=128"},
        {"hover ended while arming shows and hides nothing", "a +100 end +5000", ""},
        {"the shown item again changes nothing", "a +180 a +5000", "180 show app:101 x=0"},
        {"hover ended while shown hides after the hide delay", "a +180 end +1000",
         "180 show app:101 x=0; 440 hide"},
        {"a repeated hover ended restarts the hide delay", "a +180 end +200 end +1000",
         "180 show app:101 x=0; 640 hide"},
        {"returning to the item while closing cancels the hide quietly", "a +180 end +200 a +5000",
         "180 show app:101 x=0"},
        {"another item while closing shows at once and cancels the hide", "a +180 end +200 b +5000",
         "180 show app:101 x=0; 380 show app:202 x=64"},
        {"the same id with a moved frame is another item", "a +180 end +100 a+10",
         "180 show app:101 x=0; 280 show app:101 x=10"},
        {"a folder is another target than an application and the same folder is the same",
         "a +180 f f a",
         "180 show app:101 x=0; 180 show folder:/Users/ana/Downloads x=192; 180 show app:101 x=0"},
        {"the same id and frame with another title is the same item", "a +180 a'",
         "180 show app:101 x=0"},
        {"the panel holds itself open and leaving it starts the hide",
         "a +180 end +150 enter end +300000 leave +259 +1", "180 show app:101 x=0; 300590 hide"},
        {"leaving the panel back to a tile keeps or switches",
         "a +180 enter leave +100 a +1000 enter leave b +1000",
         "180 show app:101 x=0; 1280 show app:202 x=64"},
        {"reset forgets without hiding, so the next hover waits again",
         "a +180 enter leave reset +5000 a +1000", "180 show app:101 x=0; 5360 show app:101 x=0"},
        {"reset clears the panel hold", "a +180 enter reset b +180 end +260",
         "180 show app:101 x=0; 360 show app:202 x=64; 620 hide"},
        {"reset leaves a running show delay alone", "a reset +180", "180 show app:101 x=0"},
        {"a show is never synchronous, even with no delay", "t0/260 a end +1000", ""},
        {"a timing change applies to delays started afterwards", "a t20/30 +1000 end +1000 b +1000",
         "180 show app:101 x=0; 1030 hide; 2020 show app:202 x=64"},
        {"a delay of days runs to the millisecond",
         "t259200007/260 a +86400000 +86400000 +86400000 +6 +1", "259200007 show app:101 x=0"},
        {"the longest delay never comes due and cancels cleanly",
         "t1e300/260 a +86400000 +86400000 end +259200000", ""}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        Harness h;
        h.run(test.script);
        EXPECT_EQ(h.events, test.events);
        const auto& shown = h.controller.shownItem();
        const std::string events = test.events;
        const auto show = events.rfind(" show "), hide = events.rfind(" hide");
        const bool showing =
            show != std::string::npos && (hide == std::string::npos || hide < show);
        EXPECT_EQ(shown ? Harness::name(*shown) : "",
                  showing ? events.substr(show + 6, events.find(';', show) - show - 6) : "");
        EXPECT_FALSE(h.controller.pendingShow().isPending());
        EXPECT_FALSE(h.controller.pendingHide().isPending());
        EXPECT_EQ(h.scheduler.pendingCount(), 0u);
        EXPECT_FALSE(h.controller.isCursorInPanel());
    }
}

class HoverControllerTest : public ::testing::Test, protected Harness {};

TEST_F(HoverControllerTest, CallbacksAreOptionalAndTheHideCallbackMayReset) {
    controller.onShow = nullptr;
    run("a +180");
    EXPECT_EQ(controller.shownItem(), a);
    controller.onHide = [this] { controller.reset(); };
    run("end +260 b +180");
    controller.onHide = nullptr;
    run("end +260");
    EXPECT_FALSE(controller.shownItem());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(HoverControllerLifetime, DestroyingTheControllerCancelsItsDelays) {
    ManualScheduler scheduler;
    int calls = 0;
    {
        HoverController controller(scheduler);
        controller.onShow = [&](const DockItem&) { ++calls; };
        controller.hover(appItem(1));
        EXPECT_EQ(scheduler.pendingCount(), 1u);
    }
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(calls, 0);
}

TEST(HoverTiming, TruncatesPreferenceMillisecondsAndClampsOnlyWhatNoCountHolds) {
    using Timing = HoverController::Timing;
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const milliseconds zero = milliseconds::zero(), longest = milliseconds::max();
    const struct {
        double show, hide;
        Timing expected;
    } cases[] = {{180.0, 260.0, Timing{}},
                 {180.99, 0.5, {milliseconds(180), zero}},
                 {-5.0, -0.0, {zero, zero}},
                 {-inf, -1e300, {zero, zero}},
                 // Hours, years and the largest doubles below 2^63 are all honoured as given.
                 {3.6e6, 9.2e18, {milliseconds(3600000), milliseconds(9200000000000000000)}},
                 {inf, 9223372036854775808.0, {longest, longest}},
                 // NaN has no order to clamp by: that field's default.
                 {nan, 5.0, {milliseconds(180), milliseconds(5)}},
                 {5.0, -nan, {milliseconds(5), milliseconds(260)}}};
    for (const auto& [show, hide, expected] : cases) {
        EXPECT_EQ(Timing::fromMilliseconds(show, hide), expected) << show << ", " << hide;
    }
}

}  // namespace
}  // namespace vantorel

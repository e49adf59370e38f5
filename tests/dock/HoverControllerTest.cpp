#include "dock/HoverController.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

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
        controller.onShow = [this](const DockItem& item) {
            events.push_back(stamp() + " show " + item.id() +
                             " x=" + std::to_string(int(item.frame.minX())));
        };
        controller.onHide = [this] { events.push_back(stamp() + " hide"); };
    }

    std::string stamp() const {
        return std::to_string(
            std::chrono::duration_cast<milliseconds>(scheduler.now().time_since_epoch()).count());
    }

    // Steps: "a"/"b"/"c" hover that item, "a+10" hovers a moved 10 to the right, "a'" hovers a
    // retitled, "end" hoverEnded, "enter"/"leave" the panel, "reset", "+N" advances N ms.
    void run(const std::vector<std::string>& script) {
        for (const auto& step : script) {
            DockItem item = step[0] == 'b' ? b : step[0] == 'c' ? c : a;
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
            else if (step[0] >= 'a' && step[0] <= 'c')
                controller.hover(item);
            else
                ADD_FAILURE() << "unknown step " << step;
        }
    }

    void expectIdle() {
        EXPECT_FALSE(controller.shownItem());
        EXPECT_FALSE(controller.pendingShow().isPending());
        EXPECT_FALSE(controller.pendingHide().isPending());
        EXPECT_EQ(scheduler.pendingCount(), 0u);
    }

    ManualScheduler scheduler;
    HoverController controller{scheduler};
    std::vector<std::string> events;
    const DockItem a = appItem(101, 0);
    const DockItem b = appItem(202, 64);
    const DockItem c = appItem(303, 128);
};

class HoverControllerTest : public ::testing::Test, protected Harness {};

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; !text.empty() && end != std::string::npos;
         start = end + separator.size()) {
        end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
    }
    return parts;
}

TEST_F(HoverControllerTest, StateTableTransitions) {
    // {why, script, events "; "-separated, what is shown at the end}
    const struct {
        const char *name, *script, *events, *shown;
    } cases[] = {
        {"idle hover shows after the show delay", "a +10000", "180 show app:101 x=0",
         "app:101 x=0"},
        {"a sweep shows only where the pointer rests, timed from its own hover",
         "a +179 b +179 c +179 +1", "538 show app:303 x=128", "app:303 x=128"},
        {"hover ended while arming shows and hides nothing", "a +100 end +5000", "", ""},
        {"the shown item again changes nothing", "a +180 a +5000", "180 show app:101 x=0",
         "app:101 x=0"},
        {"another item while shown switches at once", "a +180 b c",
         "180 show app:101 x=0; 180 show app:202 x=64; 180 show app:303 x=128", "app:303 x=128"},
        {"hover ended while shown hides after the hide delay", "a +180 end +1000",
         "180 show app:101 x=0; 440 hide", ""},
        {"a repeated hover ended restarts the hide delay", "a +180 end +200 end +1000",
         "180 show app:101 x=0; 640 hide", ""},
        {"returning to the item while closing cancels the hide quietly", "a +180 end +200 a +5000",
         "180 show app:101 x=0", "app:101 x=0"},
        {"another item while closing shows at once and cancels the hide", "a +180 end +200 b +5000",
         "180 show app:101 x=0; 380 show app:202 x=64", "app:202 x=64"},
        {"the same id with a moved frame is another item", "a +180 end +100 a+10",
         "180 show app:101 x=0; 280 show app:101 x=10", "app:101 x=10"},
        {"the same id and frame with another title is the same item", "a +180 a'",
         "180 show app:101 x=0", "app:101 x=0"},
        {"the panel holds itself open and leaving it starts the hide",
         "a +180 end +150 enter end +300000 leave +259 +1", "180 show app:101 x=0; 300590 hide",
         ""},
        {"leaving the panel back to a tile keeps or switches",
         "a +180 enter leave +100 a +1000 enter leave b +1000",
         "180 show app:101 x=0; 1280 show app:202 x=64", "app:202 x=64"},
        {"reset forgets without hiding, so the next hover waits again",
         "a +180 enter leave reset +5000 a +1000", "180 show app:101 x=0; 5360 show app:101 x=0",
         "app:101 x=0"},
        {"reset clears the panel hold", "a +180 enter reset b +180 end +260",
         "180 show app:101 x=0; 360 show app:202 x=64; 620 hide", ""},
        {"reset leaves a running show delay alone", "a reset +180", "180 show app:101 x=0",
         "app:101 x=0"}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        Harness h;
        h.run(split(test.script, " "));
        EXPECT_EQ(h.events, split(test.events, "; "));
        const auto& shown = h.controller.shownItem();
        EXPECT_EQ(shown ? shown->id() + " x=" + std::to_string(int(shown->frame.minX())) : "",
                  test.shown);
        EXPECT_FALSE(h.controller.pendingShow().isPending());
        EXPECT_FALSE(h.controller.pendingHide().isPending());
        EXPECT_EQ(h.scheduler.pendingCount(), 0u);
        EXPECT_FALSE(h.controller.isCursorInPanel());
    }
}

TEST_F(HoverControllerTest, ShowIsNeverSynchronousEvenWithAZeroDelay) {
    controller.setTiming({milliseconds(0), milliseconds(260)});
    controller.hover(a);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(controller.shownItem());
    scheduler.runDue();
    EXPECT_EQ(events, std::vector<std::string>{"0 show app:101 x=0"});
}

TEST_F(HoverControllerTest, TimingChangeAppliesToDelaysStartedAfterwards) {
    controller.hover(a);
    controller.setTiming({milliseconds(20), milliseconds(30)});
    run({"+1000", "end", "+1000", "b", "+1000"});
    EXPECT_EQ(events, (std::vector<std::string>{"180 show app:101 x=0", "1030 hide",
                                                "2020 show app:202 x=64"}));
}

TEST_F(HoverControllerTest, HideCallbackMayResetTheController) {
    controller.onHide = [this] {
        events.push_back("hide");
        controller.reset();
    };
    run({"a", "+180", "end", "+260"});
    EXPECT_EQ(events, (std::vector<std::string>{"180 show app:101 x=0", "hide"}));
    expectIdle();
}

TEST_F(HoverControllerTest, CallbacksAreOptional) {
    controller.onShow = nullptr;
    controller.onHide = nullptr;
    run({"a", "+180"});
    EXPECT_EQ(controller.shownItem(), a);
    run({"end", "+260"});
    expectIdle();
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

TEST(HoverTiming, TruncatesAndClampsPreferenceMilliseconds) {
    using Timing = HoverController::Timing;
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const Duration zero = Duration::zero(), longest = Timing::kMaximumDelay;
    ASSERT_EQ(longest, std::chrono::minutes(10));
    const struct {
        double show, hide;
        Timing expected;
    } cases[] = {{180.0, 260.0, Timing{}},
                 {180.99, 0.5, {milliseconds(180), zero}},
                 {0.0, 1.0, {zero, milliseconds(1)}},
                 {-5.0, -0.0, {zero, zero}},
                 {-inf, -1e300, {zero, zero}},
                 {inf, 1e300, {longest, longest}},
                 {9.3e18, 600000.9, {longest, longest}},
                 {599999.9, 600001.0, {milliseconds(599999), longest}},
                 // NaN has no order to clamp by: that field's default.
                 {nan, 5.0, {milliseconds(180), milliseconds(5)}},
                 {5.0, -nan, {milliseconds(5), milliseconds(260)}}};
    for (const auto& [show, hide, expected] : cases) {
        EXPECT_EQ(Timing::fromMilliseconds(show, hide), expected) << show << ", " << hide;
    }
}

TEST_F(HoverControllerTest, ClampedLongestDelayStillRunsOnTheScheduler) {
    controller.setTiming(HoverController::Timing::fromMilliseconds(1e300, 1e300));
    run({"a", "+599999"});
    EXPECT_TRUE(events.empty());
    run({"+1"});
    EXPECT_EQ(events, std::vector<std::string>{"600000 show app:101 x=0"});
}

}  // namespace
}  // namespace vantorel

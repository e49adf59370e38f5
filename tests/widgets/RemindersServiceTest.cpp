#include "widgets/RemindersService.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/sim/SimDesktop.h"
#include "widgets/RemindersState.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// Today is Monday 2 March 2026 on the simulated calendar; the clock reads 12:00.
class RemindersServiceTest : public testing::Test {
protected:
    RemindersServiceTest() {
        desktop.userCalendar.setNow(desktop.userCalendar.local(2026, 3, 2, 12));
        desktop.permissionServices.setAuthorizationStatus(EventEntityType::reminder,
                                                          SimPermissionServices::kFullAccess);
        list = desktop.eventStore.addReminderList({"Home", std::vector<double>{1, 0, 0, 1}});
    }
    static DueDateComponents due(int day, std::optional<int> hour = std::nullopt) {
        DueDateComponents c{2026, 3, 2 + day, hour, std::nullopt, std::nullopt};
        if (hour) c.minute = 0;
        return c;
    }
    void add(std::string title, std::optional<DueDateComponents> when, std::int64_t priority = 0,
             bool completed = false) {
        StoreReminder reminder;
        reminder.calendarItemIdentifier = title;
        reminder.title = std::move(title);
        reminder.dueDateComponents = when;
        reminder.priority = priority;
        reminder.isCompleted = completed;
        desktop.eventStore.addReminder({reminder, list});
    }
    // Runs a fetch to its end on virtual time.
    std::optional<std::vector<ReminderItem>> fetch() {
        std::optional<std::vector<ReminderItem>> result;
        service.dueReminders([&](std::vector<ReminderItem> items) { result = std::move(items); });
        EXPECT_FALSE(result) << "answered inside the call";
        desktop.scheduler.advance(1s);
        desktop.scheduler.runDue();
        return result;
    }
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (const auto& item : fetch().value_or(std::vector<ReminderItem>{}))
            out.push_back(item.title + " | " + item.dueText + (item.isOverdue ? " | late" : ""));
        return out;
    }

    SimDesktop desktop;
    RemindersService service{desktop.eventStore, desktop.userCalendar, desktop.scheduler};
    std::size_t list = 0;
};

TEST_F(RemindersServiceTest, OverdueFirstThenByPlainTitleOrderWithTheirDueTexts) {
    add("b", due(0, 9));
    add("a", due(0, 18));
    add("B", due(-1, 17));
    add("Tomorrow", due(1, 9));
    add("Done", due(0, 9), 0, true);
    add("Someday", std::nullopt);
    add("Day only", due(0));
    add("Lost", due(-1, 8));
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "B | Overdue · 5:00 PM | late",
                          "Day only | Overdue · 12:00 AM | late",
                          "Lost | Overdue · 8:00 AM | late",
                          "b | Overdue · 9:00 AM | late",
                          "a | Today · 6:00 PM",
                      }));
}

TEST_F(RemindersServiceTest, WithoutFullAccessOrWhenTheStoreLosesTheFetchNothingIsListed) {
    add("Pay rent", due(-1, 17));
    for (std::int64_t raw : {0, 1, 2, 4, 7}) {
        SCOPED_TRACE(raw);
        desktop.permissionServices.setAuthorizationStatus(EventEntityType::reminder, raw);
        EXPECT_EQ(fetch(), std::vector<ReminderItem>{});
    }
    desktop.permissionServices.setAuthorizationStatus(EventEntityType::reminder, 3);
    desktop.eventStore.setFetchLost(true);
    EXPECT_EQ(fetch(), std::nullopt);
}

TEST_F(RemindersServiceTest, PriorityColourAndMissingValuesBecomeTheRowsRules) {
    struct Case {
        std::int64_t priority;
        std::optional<std::vector<double>> color;
        bool high;
        WidgetColor row;
    };
    const WidgetColor grey = WidgetColor::systemGray();
    const WidgetColor defaultGrey{WidgetColor::System::none, 0.4, 0.4, 0.4, 1.0};
    const Case cases[] = {
        {0, std::vector<double>{1, 0, 0}, false, {WidgetColor::System::none, 1, 0, 0, 1}},
        {1, std::vector<double>{0.5, 1.0}, true, grey},
        {4, std::vector<double>{}, true, defaultGrey},
        {5, std::nullopt, false, defaultGrey},
        {9, std::vector<double>{0, 0, 1, 0.5, 7}, false, {WidgetColor::System::none, 0, 0, 1, 0.5}},
        {-1, std::vector<double>{2, -1, NAN, 1}, false, {WidgetColor::System::none, 1, 0, 0, 1}},
        {10, std::vector<double>{1}, false, grey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.priority);
        StoreReminder reminder;
        reminder.priority = c.priority;
        reminder.listColor = c.color;
        const auto items = service.items({reminder}, desktop.userCalendar.now());
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].title, "(No title)");
        EXPECT_EQ(items[0].dueText, "");
        EXPECT_FALSE(items[0].isOverdue);
        EXPECT_EQ(items[0].isHighPriority, c.high);
        EXPECT_EQ(RemindersState::Item::from(items[0]).color, c.row);
    }
}

TEST_F(RemindersServiceTest, AFetchThatEndsAfterTheServiceIsGoneIsDropped) {
    add("Pay rent", due(-1, 17));
    desktop.eventStore.setFetchDelay(500ms);
    bool answered = false;
    auto doomed = std::make_unique<RemindersService>(desktop.eventStore, desktop.userCalendar,
                                                     desktop.scheduler);
    doomed->dueReminders([&](std::vector<ReminderItem>) { answered = true; });
    doomed.reset();
    desktop.scheduler.advance(1s);
    desktop.scheduler.runDue();
    EXPECT_FALSE(answered);
}

}  // namespace
}  // namespace vantorel

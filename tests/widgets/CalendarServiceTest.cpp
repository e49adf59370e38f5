#include "widgets/CalendarService.h"

#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Store = SimEventStore;

// Today is Monday 2 March 2026 on the simulated calendar, 09:00 UTC+1.
class CalendarServiceTest : public testing::Test {
protected:
    CalendarServiceTest() {
        desktop.userCalendar.setUtcOffset(std::chrono::hours(1));
        desktop.userCalendar.setNow(at(0, 9));
        desktop.permissionServices.setAuthorizationStatus(EventEntityType::event,
                                                          SimPermissionServices::kFullAccess);
        work = desktop.eventStore.addCalendar({"Work", std::vector<double>{0.0, 0.5, 1.0, 1.0}});
    }
    WallTime at(int day, int hour, int minute = 0) {
        return desktop.userCalendar.local(2026, 3, 2 + day, hour, minute);
    }
    void add(std::optional<std::string> title, std::optional<WallTime> start,
             std::optional<WallTime> end, bool allDay = false,
             std::optional<std::size_t> calendar = 0) {
        StoreEvent event;
        event.eventIdentifier = title;
        event.title = title;
        event.startDate = start;
        event.endDate = end;
        event.isAllDay = allDay;
        event.hashValue = 42;
        desktop.eventStore.addEvent({event, calendar});
    }
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (const auto& event : service.todayEvents())
            out.push_back(event->title + " | " + event->timeText);
        return out;
    }

    SimDesktop desktop;
    CalendarService service{desktop.eventStore, desktop.userCalendar};
    std::size_t work = 0;
};

TEST_F(CalendarServiceTest, OnlyFullAccessListsEvents) {
    add("Stand-up", at(0, 10), at(0, 11));
    const std::pair<std::int64_t, std::size_t> cases[] = {{0, 0}, {1, 0},  {2, 0}, {3, 1},
                                                          {4, 0}, {99, 0}, {-1, 0}};
    for (const auto& [raw, count] : cases) {
        SCOPED_TRACE(raw);
        desktop.permissionServices.setAuthorizationStatus(EventEntityType::event, raw);
        EXPECT_EQ(service.todayEvents().size(), count);
    }
}

TEST_F(CalendarServiceTest, TodaysEventsSortByStartWithTheirTimeTexts) {
    add("Late", at(0, 10), at(0, 11));
    add("Holiday", at(0, 0), at(1, 0) - std::chrono::seconds(1), true);
    add("Same start", at(0, 10), std::nullopt);
    add("Night watch", at(-1, 23), at(0, 1));
    add("Yesterday", at(-1, 9), at(-1, 10));
    add("Tomorrow", at(1, 0), at(1, 1));
    add(std::nullopt, at(0, 23, 30), at(1, 0, 15));
    add("No start", std::nullopt, std::nullopt);
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "No start | ",
                          "Night watch | 11:00 PM – 1:00 AM",
                          "Holiday | All day",
                          "Late | 10:00 AM – 11:00 AM",
                          "Same start | 10:00 AM",
                          "(No title) | 11:30 PM – 12:15 AM",
                      }));
    EXPECT_EQ(service.todayEvents()[5]->id, "42");
    EXPECT_EQ(service.dayLabel(), "Monday, March 2");
}

TEST_F(CalendarServiceTest, ACalendarWithoutAUsableColourGivesSystemBlue) {
    const std::size_t grey = desktop.eventStore.addCalendar({"Grey", std::vector<double>{0.5, 1}});
    const std::size_t odd = desktop.eventStore.addCalendar({"Odd", std::vector<double>{0.5}});
    const std::size_t none = desktop.eventStore.addCalendar({"None", std::nullopt});
    const std::pair<std::optional<std::size_t>, WidgetColor> cases[] = {
        {work, {WidgetColor::System::none, 0.0, 0.5, 1.0, 1.0}},
        {grey, {WidgetColor::System::none, 0.5, 0.5, 0.5, 1.0}},
        {odd, WidgetColor::systemBlue()},
        {none, WidgetColor::systemBlue()},
        {std::nullopt, WidgetColor::systemBlue()},
        {99, WidgetColor::systemBlue()},
    };
    for (const auto& [calendar, color] : cases) {
        SCOPED_TRACE(calendar.value_or(1000));
        desktop.eventStore.clear();
        desktop.eventStore.addCalendar({"Work", std::vector<double>{0.0, 0.5, 1.0, 1.0}});
        desktop.eventStore.addCalendar({"Grey", std::vector<double>{0.5, 1}});
        desktop.eventStore.addCalendar({"Odd", std::vector<double>{0.5}});
        desktop.eventStore.addCalendar({"None", std::nullopt});
        add("Event", at(0, 12), at(0, 13), false, calendar);
        ASSERT_EQ(service.todayEvents().size(), 1u);
        EXPECT_EQ(service.todayEvents()[0]->color, color);
    }
}

}  // namespace
}  // namespace vantorel

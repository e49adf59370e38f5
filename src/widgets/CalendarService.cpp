#include "widgets/CalendarService.h"

#include <algorithm>

#include "platform/EventStore.h"
#include "platform/UserCalendar.h"

namespace vantorel {
namespace {

constexpr std::int64_t kFullAccess = 3;

}  // namespace

std::string CalendarService::dayLabel() {
    return calendar_.format(calendar_.now(), kDayLabelPattern);
}

std::vector<CalendarState::EventRef> CalendarService::todayEvents() {
    if (store_.authorizationStatus(EventEntityType::event) != kFullAccess) return {};
    const std::optional<WallTime> start = calendar_.startOfDay(calendar_.now());
    if (!start) return {};
    const std::optional<WallTime> end = calendar_.addingDays(*start, 1);
    if (!end) return {};

    std::vector<StoreEvent> found = store_.events(*start, *end);
    std::stable_sort(found.begin(), found.end(), [](const StoreEvent& a, const StoreEvent& b) {
        return a.startDate.value_or(WallTime::min()) < b.startDate.value_or(WallTime::min());
    });

    std::vector<CalendarState::EventRef> events;
    events.reserve(found.size());
    for (const StoreEvent& event : found) {
        auto row = std::make_shared<CalendarState::Event>();
        row->id = event.eventIdentifier ? *event.eventIdentifier : std::to_string(event.hashValue);
        row->title = event.title ? *event.title : "(No title)";
        row->location = event.location;
        row->isAllDay = event.isAllDay;
        if (event.isAllDay) {
            row->timeText = "All day";
        } else if (event.startDate) {
            row->timeText = calendar_.shortTime(*event.startDate);
            if (event.endDate) row->timeText += " – " + calendar_.shortTime(*event.endDate);
        }
        const auto color =
            event.calendarColor ? WidgetColor::fromComponents(*event.calendarColor) : std::nullopt;
        row->color = color.value_or(WidgetColor::systemBlue());
        events.push_back(std::move(row));
    }
    return events;
}

}  // namespace vantorel

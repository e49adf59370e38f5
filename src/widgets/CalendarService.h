#pragma once

#include <string>
#include <vector>

#include "widgets/CalendarState.h"

namespace vantorel {

class EventStore;
class UserCalendar;

// Today's events from the user's calendars. Holds no state of its own. Main thread only.
class CalendarService {
public:
    static constexpr const char* kDayLabelPattern = "EEEE, MMMM d";

    CalendarService(EventStore& store, UserCalendar& calendar)
        : store_(store), calendar_(calendar) {}

    // Every event overlapping the current day, by start (stable; no start sorts first). Empty
    // without full access or when the day cannot be computed.
    std::vector<CalendarState::EventRef> todayEvents();
    // Today's date as the header shows it, in the user's locale.
    std::string dayLabel();

private:
    EventStore& store_;
    UserCalendar& calendar_;
};

}  // namespace vantorel

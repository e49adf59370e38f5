#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/EventStore.h"

namespace vantorel {

// Port: the user's clock, calendar, time zone and locale — the wall-clock moment, day
// arithmetic, and dates and times as text in the user's language.
class UserCalendar {
public:
    virtual ~UserCalendar() = default;
    virtual WallTime now() = 0;
    // Midnight at the start of the day holding `moment`, in the user's time zone.
    virtual std::optional<WallTime> startOfDay(WallTime moment) = 0;
    // The same time of day `days` calendar days later (a day may have 23 or 25 hours).
    virtual std::optional<WallTime> addingDays(WallTime moment, int days) = 0;
    // The moment the components name; only a day makes midnight. None when they make no date.
    virtual std::optional<WallTime> date(const DueDateComponents& components) = 0;
    // The year, month, day, hour, minute and second of the moment in the user's time zone.
    virtual DueDateComponents components(WallTime moment) = 0;
    // The moment formatted with a fixed pattern of the platform's date symbols ("EEEE, MMMM d").
    virtual std::string format(WallTime moment, std::string_view pattern) = 0;
    // The time of day in the short time style, no date ("9:30 AM", "09:30").
    virtual std::string shortTime(WallTime moment) = 0;
};

}  // namespace vantorel

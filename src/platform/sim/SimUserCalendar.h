#pragma once

#include "platform/Scheduler.h"
#include "platform/UserCalendar.h"

namespace vantorel {

// The user's calendar on the simulated desktop: a wall clock that moves with the scheduler's
// virtual time from a chosen moment, a time zone at a fixed offset from UTC, and American
// English text ("Monday, March 2", "9:30 AM"), the same on every machine.
class SimUserCalendar final : public UserCalendar {
public:
    // By default 09:00 on Monday 2 March 2026, in UTC.
    explicit SimUserCalendar(Scheduler& scheduler);

    WallTime now() override;
    std::optional<WallTime> startOfDay(WallTime moment) override;
    std::optional<WallTime> addingDays(WallTime moment, int days) override;
    std::optional<WallTime> date(const DueDateComponents& components) override;
    DueDateComponents components(WallTime moment) override;
    // Knows the letters E (weekday), M (month), d (day) and y (year); text in single quotes
    // and anything else is copied.
    std::string format(WallTime moment, std::string_view pattern) override;
    std::string shortTime(WallTime moment) override;

    // Control side: the wall-clock moment now (virtual time moves it on) and the zone's offset.
    void setNow(WallTime now);
    void setUtcOffset(std::chrono::minutes offset) { offset_ = offset; }
    // The moment of a local date and time in this zone.
    WallTime local(int year, unsigned month, unsigned day, int hour = 0, int minute = 0) const;

private:
    Scheduler& scheduler_;
    WallTime base_;
    TimePoint baseTick_;
    std::chrono::minutes offset_{0};
};

}  // namespace vantorel

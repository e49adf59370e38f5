#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/UserCalendar.h"

namespace vantorel {

// The user's real clock, time zone (ICU's default: TZ, else the system's) and locale (LC_ALL,
// LC_TIME or LANG), through ICU's Gregorian calendar and date formats.
class IcuUserCalendar : public UserCalendar {
public:
    IcuUserCalendar();
    // An ICU locale name such as "de_DE" and a time zone such as "Europe/Berlin".
    IcuUserCalendar(const std::string& locale, const std::string& timeZone);
    ~IcuUserCalendar() override;

    WallTime now() override;
    std::optional<WallTime> startOfDay(WallTime moment) override;
    std::optional<WallTime> addingDays(WallTime moment, int days) override;
    std::optional<WallTime> date(const DueDateComponents& components) override;
    DueDateComponents components(WallTime moment) override;
    std::string format(WallTime moment, std::string_view pattern) override;
    std::string shortTime(WallTime moment) override;

private:
    struct Icu;
    std::mutex mutex_;
    std::unique_ptr<Icu> icu_;
};

}  // namespace vantorel

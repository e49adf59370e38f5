#include "platform/sim/SimUserCalendar.h"

#include <array>
#include <limits>

namespace vantorel {
namespace {

using namespace std::chrono;

constexpr std::array<const char*, 7> kWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonths{"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};

// Far enough from the clock's limits that no arithmetic below overflows.
bool inRange(WallTime moment) {
    constexpr auto limit = hours(24 * 365 * 200);
    return moment.time_since_epoch() > -limit && moment.time_since_epoch() < limit;
}

}  // namespace

SimUserCalendar::SimUserCalendar(Scheduler& scheduler)
    : scheduler_(scheduler),
      base_(sys_days(year(2026) / March / 2) + hours(9)),
      baseTick_(scheduler.now()) {}

void SimUserCalendar::setNow(WallTime now) {
    base_ = now;
    baseTick_ = scheduler_.now();
}

WallTime SimUserCalendar::now() {
    return base_ + duration_cast<system_clock::duration>(scheduler_.now() - baseTick_);
}

WallTime SimUserCalendar::local(int y, unsigned m, unsigned d, int hour, int minute) const {
    return WallTime(sys_days(year(y) / month(m) / day(d))) + hours(hour) + minutes(minute) -
           offset_;
}

std::optional<WallTime> SimUserCalendar::startOfDay(WallTime moment) {
    if (!inRange(moment)) return std::nullopt;
    const auto local = moment + offset_;
    return WallTime(floor<days>(local)) - offset_;
}

std::optional<WallTime> SimUserCalendar::addingDays(WallTime moment, int count) {
    if (!inRange(moment)) return std::nullopt;
    return moment + days(count);
}

std::optional<WallTime> SimUserCalendar::date(const DueDateComponents& c) {
    if (!c.year || !c.month || !c.day) return std::nullopt;
    const auto fits = [](std::optional<std::int64_t> v, std::int64_t low, std::int64_t high) {
        return !v || (*v >= low && *v <= high);
    };
    if (!fits(c.year, -9999, 9999) || !fits(c.month, 1, 12) || !fits(c.hour, 0, 23) ||
        !fits(c.minute, 0, 59) || !fits(c.second, 0, 60)) {
        return std::nullopt;
    }
    const year_month_day ymd{year(static_cast<int>(*c.year)),
                             month(static_cast<unsigned>(*c.month)),
                             day(static_cast<unsigned>(std::clamp<std::int64_t>(*c.day, 0, 255)))};
    if (!ymd.ok()) return std::nullopt;
    return WallTime(sys_days(ymd)) + hours(c.hour.value_or(0)) + minutes(c.minute.value_or(0)) +
           seconds(c.second.value_or(0)) - offset_;
}

DueDateComponents SimUserCalendar::components(WallTime moment) {
    if (!inRange(moment)) return {};
    const auto local = moment + offset_;
    const year_month_day ymd{floor<days>(local)};
    const hh_mm_ss clock{floor<seconds>(local - floor<days>(local))};
    return {static_cast<int>(ymd.year()),     static_cast<unsigned>(ymd.month()),
            static_cast<unsigned>(ymd.day()), clock.hours().count(),
            clock.minutes().count(),          clock.seconds().count()};
}

std::string SimUserCalendar::format(WallTime moment, std::string_view pattern) {
    if (!inRange(moment)) return {};
    const auto local = moment + offset_;
    const year_month_day ymd{floor<days>(local)};
    const weekday wd{floor<days>(local)};
    std::string text;
    for (std::size_t i = 0; i < pattern.size();) {
        const char letter = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == letter)
            ++run;
        if (letter == '\'') {
            const std::size_t close = pattern.find('\'', i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            text += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        const std::string_view weekday = kWeekdays[wd.c_encoding()];
        const std::string_view month = kMonths[static_cast<unsigned>(ymd.month()) - 1];
        const unsigned dayNumber = static_cast<unsigned>(ymd.day());
        switch (letter) {
            case 'E':
                text += run >= 4 ? weekday : weekday.substr(0, 3);
                break;
            case 'M':
                if (run >= 3) {
                    text += run >= 4 ? month : month.substr(0, 3);
                } else {
                    const unsigned number = static_cast<unsigned>(ymd.month());
                    text += (run == 2 && number < 10 ? "0" : "") + std::to_string(number);
                }
                break;
            case 'd':
                text += (run == 2 && dayNumber < 10 ? "0" : "") + std::to_string(dayNumber);
                break;
            case 'y':
                text += std::to_string(static_cast<int>(ymd.year()));
                break;
            default:
                text.append(run, letter);
        }
        i += run;
    }
    return text;
}

std::string SimUserCalendar::shortTime(WallTime moment) {
    if (!inRange(moment)) return {};
    const auto local = moment + offset_;
    const hh_mm_ss clock{floor<minutes>(local - floor<days>(local))};
    const long hour = clock.hours().count();
    const long minute = clock.minutes().count();
    const long twelve = hour % 12 == 0 ? 12 : hour % 12;
    return std::to_string(twelve) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute) +
           (hour < 12 ? " AM" : " PM");
}

}  // namespace vantorel

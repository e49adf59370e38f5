#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/EventStore.h"

namespace vantorel {

class UserCalendar;

// One iCalendar file, parsed by libical: its events laid out on a window of time (recurrences
// expanded, exceptions and moved occurrences applied) and its to-dos. Times in a named zone are
// placed through that zone (the file's VTIMEZONE, else the system's database); floating times and
// dates are the user's local time. Not for two threads at once: libical walks components with
// iterators kept inside them.
class ICalendarFile {
public:
    // The calendar the text holds, or none with the reason: text that is not UTF-8, holds a NUL,
    // or is no VCALENDAR with at least one event or to-do.
    static std::unique_ptr<ICalendarFile> parse(const std::string& text, std::string& problem);
    ~ICalendarFile();
    ICalendarFile(const ICalendarFile&) = delete;
    ICalendarFile& operator=(const ICalendarFile&) = delete;

    // The occurrences overlapping [start, end), at most `bound` per recurring event; `bounded`
    // is set when some event had more (once: the last window's answer is kept, as every hover of
    // a day asks for the same one).
    std::vector<StoreEvent> events(WallTime start, WallTime end, UserCalendar& calendar,
                                   std::size_t bound, bool& bounded) const;
    // Every to-do, completed or not, its due date in the user's local time.
    std::vector<StoreReminder> todos(UserCalendar& calendar) const;

private:
    struct Calendar;
    struct Window {
        WallTime start;
        WallTime end;
        std::size_t bound = 0;
        std::vector<StoreEvent> events;
    };
    explicit ICalendarFile(std::unique_ptr<Calendar> calendar);
    std::vector<StoreEvent> place(WallTime start, WallTime end, UserCalendar& calendar,
                                  std::size_t bound, bool& bounded) const;

    std::unique_ptr<Calendar> calendar_;
    mutable std::optional<Window> last_;
};

}  // namespace vantorel

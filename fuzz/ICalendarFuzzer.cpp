// An iCalendar file's bytes through libical's parse, one day's events (the day the clocks change)
// and the to-dos: nothing fails hard, and every event placed overlaps the day asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/linux/ICalendarFile.h"
#include "platform/linux/IcuUserCalendar.h"

using namespace vantorel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static IcuUserCalendar calendar("en_US", "Europe/Berlin");
    static const WallTime start = *calendar.date({2026, 3, 29, {}, {}, {}});
    static const WallTime end = *calendar.addingDays(start, 1);
    constexpr std::size_t kBound = 500;

    std::string problem;
    const auto file =
        ICalendarFile::parse(std::string(reinterpret_cast<const char*>(data), size), problem);
    if (!file) {
        if (problem.empty()) std::abort();
        return 0;
    }
    bool bounded = false;
    const auto events = file->events(start, end, calendar, kBound, bounded);
    for (const StoreEvent& event : events) {
        if (!event.startDate || *event.startDate >= end) std::abort();
        const WallTime last = event.endDate.value_or(*event.startDate);
        if (last <= start && *event.startDate < start) std::abort();
    }
    // The same window again comes from what the first read kept.
    bool again = false;
    if (file->events(start, end, calendar, kBound, again).size() != events.size()) std::abort();
    for (const StoreReminder& reminder : file->todos(calendar)) {
        if (reminder.title && reminder.title->empty()) std::abort();
    }
    return 0;
}

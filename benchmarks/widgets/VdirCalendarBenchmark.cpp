#include "platform/linux/IcuUserCalendar.h"
#include "platform/linux/VdirEventStore.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/MemoryLogger.h"
#include "widgets/CalendarService.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

// A vdir calendar of `count` events in the temporary directory, today's date on every tenth one
// and a daily recurrence on every fiftieth, the rest spread over the year before.
fs::path calendars(int count) {
    const fs::path root =
        fs::temp_directory_path() / ("vantorel-vdir-" + std::to_string(count)) / "calendars";
    if (fs::exists(root / "work" / (std::to_string(count - 1) + ".ics"))) return root;
    fs::create_directories(root / "work");
    std::ofstream(root / "work" / "color") << "#E8590C\n";
    IcuUserCalendar calendar;
    for (int i = 0; i < count; ++i) {
        const auto day =
            i % 10 == 0 ? calendar.now() : calendar.now() - std::chrono::hours(24 * (i % 365 + 1));
        const auto c = calendar.components(day);
        char start[32];
        std::snprintf(start, sizeof start, "%04d%02d%02dT%02d0000", static_cast<int>(*c.year),
                      static_cast<int>(*c.month), static_cast<int>(*c.day), 8 + i % 10);
        std::ofstream(root / "work" / (std::to_string(i) + ".ics"))
            << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\nBEGIN:VEVENT\r\nUID:" << i
            << "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;TZID=Europe/Berlin:" << start
            << "\r\nDURATION:PT45M\r\nSUMMARY:Event number " << i << "\r\nLOCATION:Room " << i % 7
            << (i % 50 == 0 ? "\r\nRRULE:FREQ=DAILY" : "") << "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    }
    return root;
}

// What a hover over Calendar reads before the popover can be drawn: today's events of a vdir
// calendar of range(0) files. Cold: every file parsed (the first hover); warm: the same store
// again, nothing changed on disk (every later hover); one changed: one file written again since
// the last hover (after a synchroniser's run), so its folder is listed and that file parsed.
// Goals at 5,000 files: a later hover within one frame at 60 Hz (16.7 ms), the first within a
// second.
enum class Hover { cold, warm, oneChanged };

void BM_VdirTodayEvents(benchmark::State& state, Hover hover) {
    const fs::path root = calendars(static_cast<int>(state.range(0)));
    IcuUserCalendar calendar;
    ManualExecutor executor;
    MemoryLogger logger;
    const auto settings = VdirEventStore::Settings{root.string(), (root / "tasks").string(), {}};
    VdirEventStore store(settings, calendar, executor, logger);
    CalendarService service(store, calendar);
    if (hover != Hover::cold) benchmark::DoNotOptimize(service.todayEvents());
    const fs::path changed = root / "work" / "1.ics";
    std::string content;
    if (hover == Hover::oneChanged) {
        std::ifstream in(changed, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t shown = 0;
    for (auto _ : state) {
        if (hover == Hover::cold) {
            VdirEventStore fresh(settings, calendar, executor, logger);
            shown = CalendarService(fresh, calendar).todayEvents().size();
            continue;
        }
        if (hover == Hover::oneChanged) {
            state.PauseTiming();
            std::ofstream(changed, std::ios::binary) << content;
            state.ResumeTiming();
        }
        shown = service.todayEvents().size();
    }
    state.counters["events"] = static_cast<double>(shown);
}
BENCHMARK_CAPTURE(BM_VdirTodayEvents, cold, Hover::cold)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VdirTodayEvents, warm, Hover::warm)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VdirTodayEvents, oneChanged, Hover::oneChanged)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantorel

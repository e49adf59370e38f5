#include "platform/linux/VdirEventStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/PermissionsManager.h"
#include "platform/linux/IcuUserCalendar.h"
#include "platform/linux/VdirPermissionServices.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimDesktop.h"
#include "widgets/CalendarService.h"
#include "widgets/RemindersService.h"
#include "widgets/RemindersState.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

// German time in Berlin, on Tuesday 10 March 2026 at 12:00 (New York is already on summer time).
class BerlinNoon final : public UserCalendar {
public:
    WallTime now() override { return *icu.date({2026, 3, 10, 12, 0, 0}); }
    std::optional<WallTime> startOfDay(WallTime t) override { return icu.startOfDay(t); }
    std::optional<WallTime> addingDays(WallTime t, int d) override { return icu.addingDays(t, d); }
    std::optional<WallTime> date(const DueDateComponents& c) override { return icu.date(c); }
    DueDateComponents components(WallTime t) override { return icu.components(t); }
    std::string format(WallTime t, std::string_view p) override { return icu.format(t, p); }
    std::string shortTime(WallTime t) override { return icu.shortTime(t); }
    IcuUserCalendar icu{"de_DE", "Europe/Berlin"};
};

std::string ics(const std::string& components) {
    return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//test//EN\n" + components + "END:VCALENDAR\n";
}
std::string event(const std::string& properties, const std::string& uid = "e") {
    return "BEGIN:VEVENT\nUID:" + uid + "\nDTSTAMP:20260101T000000Z\n" + properties +
           "END:VEVENT\n";
}
std::string todo(const std::string& properties) {
    return "BEGIN:VTODO\nUID:t\n" + properties + "END:VTODO\n";
}

class VdirEventStoreTest : public testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vdir-test-XXXXXX";
        ASSERT_TRUE(::mkdtemp(name));
        root = name;
        reset();
    }
    void TearDown() override {
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root);
    }
    void reset(VdirRoot::Limits limits = {}) {
        fs::remove_all(root / "calendars");
        fs::remove_all(root / "tasks");
        store = std::make_unique<VdirEventStore>(
            VdirEventStore::Settings{root / "calendars", root / "tasks", limits}, calendar,
            executor, logger);
        logger.clear();
    }
    void write(const fs::path& relative, const std::string& content) {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << content;
    }
    std::vector<std::string> events() {
        std::vector<std::string> rows;
        for (const auto& row : CalendarService(*store, calendar).todayEvents())
            rows.push_back(row->title + " | " + row->timeText);
        return rows;
    }
    std::vector<ReminderItem> reminders() {
        RemindersService service(*store, calendar, desktop.scheduler);
        std::vector<ReminderItem> items;
        service.dueReminders([&](std::vector<ReminderItem> found) { items = std::move(found); });
        executor.drain();
        desktop.scheduler.runDue();
        return items;
    }
    std::vector<std::string> reminderRows() {
        std::vector<std::string> rows;
        for (const auto& item : reminders())
            rows.push_back(item.title + (item.isHighPriority ? " ! " : " | ") + item.dueText +
                           (item.isOverdue ? " | late" : ""));
        return rows;
    }
    bool logged(const std::string& part) const {
        for (const auto& line : logger.lines())
            if (line.message.find(part) != std::string::npos) return true;
        return part.empty();
    }

    fs::path root;
    BerlinNoon calendar;
    SimDesktop desktop;
    ManualExecutor executor;
    MemoryLogger logger;
    std::unique_ptr<VdirEventStore> store;
};

TEST_F(VdirEventStoreTest, TodaysEventsAsTheCalendarWidgetListsThem) {
    const std::string allDay = event("DTSTART;VALUE=DATE:20260310\nSUMMARY:Holiday\n", "h");
    const std::string daily = "DTSTART:20260301T080000\nDTEND:20260301T083000\nRRULE:FREQ=DAILY\n";
    const std::string call = "DTEND;TZID=America/New_York:20260310T050000\nSUMMARY:Call\n";
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> rows;
        std::string logged = {};
    } cases[] = {
        {"timed",
         ics(event("DTSTART:20260310T090000\nDTEND:20260310T100000\nSUMMARY:Timed\n")),
         {"Timed | 09:00 – 10:00"}},
        {"by duration",
         ics(event("DTSTART:20260310T090000\nDURATION:PT90M\nSUMMARY:Long\n")),
         {"Long | 09:00 – 10:30"}},
        {"without end", ics(event("DTSTART:20260310T090000\nSUMMARY:Open\n")), {"Open | 09:00"}},
        {"all day, yesterday's ended",
         ics(allDay + event("DTSTART;VALUE=DATE:20260309\nDTEND;VALUE=DATE:20260310\n"
                            "SUMMARY:Gone\n")),
         {"Holiday | All day"}},
        {"across midnight, first",
         ics(allDay + event("DTSTART:20260309T230000\nDTEND:20260310T010000\nSUMMARY:Night\n")),
         {"Night | 23:00 – 01:00", "Holiday | All day"}},
        {"in New York",
         ics(event("DTSTART;TZID=America/New_York:20260310T040000\n" + call)),
         {"Call | 09:00 – 10:00"}},
        {"in UTC",
         ics(event("DTSTART:20260310T080000Z\nDTEND:20260310T083000Z\nSUMMARY:U\n")),
         {"U | 09:00 – 09:30"}},
        {"in the file's own zone",
         ics("BEGIN:VTIMEZONE\nTZID:Office\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
             "TZOFFSETFROM:+0300\nTZOFFSETTO:+0300\nEND:STANDARD\nEND:VTIMEZONE\n" +
             event("DTSTART;TZID=Office:20260310T120000\nDURATION:PT1H\nSUMMARY:Remote\n")),
         {"Remote | 10:00 – 11:00"}},
        {"without title",
         ics(event("DTSTART:20260310T150000\nDTEND:20260310T160000\n")),
         {"(No title) | 15:00 – 16:00"}},
        {"daily, today excepted",
         ics(event(daily + "EXDATE:20260310T080000\nSUMMARY:Standup\n")),
         {}},
        {"daily, another day excepted",
         ics(event(daily + "EXDATE:20260309T080000\nSUMMARY:Standup\n")),
         {"Standup | 08:00 – 08:30"}},
        {"daily, today's moved",
         ics(event(daily + "SUMMARY:Gym\n", "g") +
             event("RECURRENCE-ID:20260310T080000\nDTSTART:20260310T190000\n"
                   "DTEND:20260310T200000\nSUMMARY:Gym late\n",
                   "g")),
         {"Gym late | 19:00 – 20:00"}},
        {"daily in New York since winter",
         ics(event("DTSTART;TZID=America/New_York:20260201T040000\nRRULE:FREQ=DAILY\n"
                   "DURATION:PT1H\nSUMMARY:Call\n")),
         {"Call | 09:00 – 10:00"}},
        {"weekly on Mondays",
         ics(event("DTSTART:20260302T100000\nRRULE:FREQ=WEEKLY\nSUMMARY:Weekly\n")),
         {}},
        {"count run out", ics(event("DTSTART:20260301T100000\nRRULE:FREQ=DAILY;COUNT=3\n")), {}},
        {"unknown properties",
         ics(event("X-FOO:bar\nFOO-BAR;X-P=1:baz\nDTSTART:20260310T090000\nSUMMARY:Kept\n")),
         {"Kept | 09:00"}},
        {"without start", ics(event("SUMMARY:Nowhere\n")), {}},
        {"unreadable start", ics(event("DTSTART:not-a-date\nSUMMARY:Bad\n")), {}},
        {"nonsense rule",
         ics(event("DTSTART:20260310T090000\nRRULE:FREQ=SOMETIMES\n")),
         {"(No title) | 09:00"}},
        {"not iCalendar", "this is not a calendar\n", {}, "not iCalendar"},
        {"no VCALENDAR", event("DTSTART:20260310T090000\n"), {}, "no VCALENDAR"},
        {"not UTF-8", ics(event("DTSTART:20260310T090000\nSUMMARY:Caf\xe9\n")), {}, "not UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        write("calendars/work/item.ics", c.file);
        EXPECT_EQ(events(), c.rows);
        EXPECT_TRUE(logged(c.logged));
    }
}

TEST_F(VdirEventStoreTest, DueRemindersAsTheRemindersWidgetListsThem) {
    const std::string later = "DUE:20260310T180000\n";
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> rows;
    } cases[] = {
        {"yesterday",
         ics(todo("DUE:20260309T170000\nSUMMARY:Y\n")),
         {"Y | Overdue · 17:00 | late"}},
        {"later today", ics(todo(later + "SUMMARY:L\n")), {"L | Today · 18:00"}},
        {"earlier today",
         ics(todo("DUE:20260310T090000\nSUMMARY:E\n")),
         {"E | Overdue · 09:00 | late"}},
        {"today, no time",
         ics(todo("DUE;VALUE=DATE:20260310\nSUMMARY:D\n")),
         {"D | Overdue · 00:00 | late"}},
        {"in New York",
         ics(todo("DUE;TZID=America/New_York:20260310T080000\nSUMMARY:N\n")),
         {"N | Today · 13:00"}},
        {"priorities 1, 5, 9 and none",
         ics(todo(later + "SUMMARY:P1\nPRIORITY:1\n") + todo(later + "SUMMARY:P5\nPRIORITY:5\n") +
             todo(later + "SUMMARY:P9\nPRIORITY:9\n") + todo(later + "SUMMARY:P0\n")),
         {"P0 | Today · 18:00", "P1 ! Today · 18:00", "P5 | Today · 18:00", "P9 | Today · 18:00"}},
        {"without title", ics(todo(later)), {"(No title) | Today · 18:00"}},
        {"tomorrow", ics(todo("DUE:20260311T090000\nSUMMARY:T\n")), {}},
        {"no due date", ics(todo("SUMMARY:Someday\n")), {}},
        {"completed", ics(todo(later + "STATUS:COMPLETED\n")), {}},
        {"completed at", ics(todo(later + "COMPLETED:20260310T100000Z\n")), {}},
        {"an event", ics(event("DTSTART:20260310T090000\n")), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        write("tasks/home/item.ics", c.file);
        EXPECT_EQ(reminderRows(), c.rows);
    }
}

TEST_F(VdirEventStoreTest, ACollectionsColourIsItsItemsColourOrTheDefault) {
    const std::string day =
        ics(event("DTSTART;VALUE=DATE:20260310\n") + todo("DUE:20260310T180000\n"));
    struct Case {
        const char* name;
        std::optional<std::string> file;
        WidgetColor eventColor;
        WidgetColor reminderColor;
        bool logged;
    } cases[] = {
        {"no colour file", std::nullopt, WidgetColor::systemBlue(), {{}, 0.4, 0.4, 0.4, 1}, false},
        {"#RRGGBB", "#FF0000\n", {{}, 1, 0, 0, 1}, {{}, 1, 0, 0, 1}, false},
        {"#RRGGBBAA", "  #00ff0033", {{}, 0, 1, 0, 0.2}, {{}, 0, 1, 0, 0.2}, false},
        {"a name", "red", WidgetColor::systemBlue(), {{}, 0.4, 0.4, 0.4, 1}, true},
        {"five digits", "#12345", WidgetColor::systemBlue(), {{}, 0.4, 0.4, 0.4, 1}, true},
        {"not hex", "#12345G", WidgetColor::systemBlue(), {{}, 0.4, 0.4, 0.4, 1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        for (const char* kind : {"calendars", "tasks"}) {
            write(fs::path(kind) / "list/item.ics", day);
            if (c.file) write(fs::path(kind) / "list/color", *c.file);
        }
        const auto rows = CalendarService(*store, calendar).todayEvents();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0]->color, c.eventColor);
        const auto items = reminders();
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(RemindersState::Item::from(items[0]).color, c.reminderColor);
        EXPECT_EQ(logged("is not #RRGGBB or #RRGGBBAA"), c.logged);
    }
}

TEST_F(VdirEventStoreTest, AuthorisationIsWhetherTheRootCanBeRead) {
    using Status = PermissionsManager::Status;
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        Status before;
        Status after;
    } cases[] = {
        {"missing: asking makes it", [](const fs::path&) {}, Status::notDetermined,
         Status::granted},
        {"readable", [](const fs::path& p) { fs::create_directories(p); }, Status::granted,
         Status::granted},
        {"a file", [](const fs::path& p) { std::ofstream(p) << "x"; }, Status::denied,
         Status::denied},
        {"unreadable",
         [](const fs::path& p) {
             fs::create_directories(p);
             fs::permissions(p, fs::perms::none);
         },
         Status::denied, Status::denied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Root reads every folder, so it cannot be refused one.
        if (std::string(c.name) == "unreadable" && ::geteuid() == 0) continue;
        reset();
        c.make(root / "calendars");
        VdirPermissionServices services(desktop.permissionServices, *store);
        PermissionsManager permissions(desktop.accessibility, services, desktop.scheduler, logger);
        permissions.refreshCalendarStatus();
        EXPECT_EQ(permissions.calendar(), c.before);
        permissions.requestCalendarAccess();
        desktop.scheduler.runDue();
        EXPECT_EQ(permissions.calendar(), c.after);
        if (c.before == Status::notDetermined) {
            EXPECT_EQ(fs::status(root / "calendars").permissions(), fs::perms::owner_all);
        }
        fs::permissions(root / "calendars", fs::perms::owner_all, fs::perm_options::add);
    }
}

TEST_F(VdirEventStoreTest, ChangesOnDiskShowAtTheNextRead) {
    const auto at = [](const char* title, const char* hour) {
        return ics(
            event(std::string("DTSTART:20260310T") + hour + "0000\nSUMMARY:" + title + "\n"));
    };
    write("calendars/a/one.ics", at("Before", "09"));
    EXPECT_EQ(events(), std::vector<std::string>{"Before | 09:00"});
    write("calendars/a/one.ics", at("After", "10"));
    write("calendars/b/two.ics", at("New", "11"));
    EXPECT_EQ(events(), (std::vector<std::string>{"After | 10:00", "New | 11:00"}));
    fs::remove(root / "calendars/a/one.ics");
    EXPECT_EQ(events(), std::vector<std::string>{"New | 11:00"});
}

TEST_F(VdirEventStoreTest, HugeFoldersFilesAndRulesAreBoundedAndSaidSo) {
    reset({200, 3, 256});
    for (const char* name : {"1", "2", "3", "4", "5"})
        write(std::string("calendars/c/") + name + ".ics", ics(event("DTSTART:20260310T090000\n")));
    write("calendars/big/big.ics", ics(event("DTSTART:20260310T090000\n" + std::string(200, 'X'))));
    ASSERT_EQ(::mkfifo((root / "calendars/big/fifo.ics").c_str(), 0600), 0);
    EXPECT_EQ(events().size(), 3u);
    EXPECT_TRUE(logged("Read only the first 3 files of "));
    EXPECT_TRUE(logged("big.ics: larger than 200 bytes"));
    EXPECT_TRUE(logged("fifo.ics: not a regular file"));

    reset();
    write("calendars/c/tick.ics",
          ics(event("DTSTART:20260310T000000\nDURATION:PT1S\nRRULE:FREQ=SECONDLY\n")));
    EXPECT_EQ(events().size(), 10'000u);
    EXPECT_TRUE(logged("stop at 10000 occurrences"));
}

}  // namespace
}  // namespace vantorel

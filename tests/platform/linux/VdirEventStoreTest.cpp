#include "platform/linux/VdirEventStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ScratchFolder.h"
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
struct BerlinNoon final : IcuUserCalendar {
    BerlinNoon() : IcuUserCalendar("de_DE", "Europe/Berlin") {}
    WallTime now() override { return *date({2026, 3, 10, 12, 0, 0}); }
};

// A file of the components given; a component that is not written out whole is an event.
std::string ics(const std::vector<std::string>& components) {
    std::string text = "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//test//EN\n";
    for (const auto& c : components)
        text += c.rfind("BEGIN:", 0) == 0 ? c : "BEGIN:VEVENT\n" + c + "END:VEVENT\n";
    return text + "END:VCALENDAR\n";
}

std::string todo(const std::string& properties) {
    return "BEGIN:VTODO\n" + properties + "END:VTODO\n";
}

class VdirEventStoreTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root.empty());
        reset();
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

    ScratchFolder scratch{"vdir-test"};
    const fs::path root = scratch.path();
    BerlinNoon calendar;
    SimDesktop desktop;
    ManualExecutor executor;
    MemoryLogger logger;
    std::unique_ptr<VdirEventStore> store;
};

TEST_F(VdirEventStoreTest, TodaysEventsAndDueRemindersAsTheWidgetsListThem) {
    const std::string daily = "DTSTART:20260301T080000\nDTEND:20260301T083000\nRRULE:FREQ=DAILY\n";
    struct Case {
        bool tasks;
        const char* name;
        std::vector<std::string> components;
        std::vector<std::string> rows;
    } cases[] = {
        {false,
         "timed, by duration, without end or title",
         {"DTSTART:20260310T090000\nDTEND:20260310T100000\nSUMMARY:Timed\n",
          "DTSTART:20260310T100000\nDURATION:PT90M\nSUMMARY:Long\n",
          "DTSTART:20260310T130000\nSUMMARY:Open\n", "DTSTART:20260310T150000\nDURATION:PT1H\n"},
         {"Timed | 09:00 – 10:00", "Long | 10:00 – 11:30", "Open | 13:00",
          "(No title) | 15:00 – 16:00"}},
        {false,
         "all day, across midnight, yesterday's all day",
         {"DTSTART;VALUE=DATE:20260310\nSUMMARY:Holiday\n",
          "DTSTART;VALUE=DATE:20260309\nDTEND;VALUE=DATE:20260310\nSUMMARY:Gone\n",
          "DTSTART:20260309T230000\nDTEND:20260310T010000\nSUMMARY:Night\n"},
         {"Night | 23:00 – 01:00", "Holiday | All day"}},
        {false,
         "in UTC, New York and the file's own zone",
         {"DTSTART:20260310T070000Z\nDTEND:20260310T073000Z\nSUMMARY:U\n",
          "DTSTART;TZID=America/New_York:20260310T040000\n"
          "DTEND;TZID=America/New_York:20260310T050000\nSUMMARY:Call\n",
          "BEGIN:VTIMEZONE\nTZID:Office\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
          "TZOFFSETFROM:+0300\nTZOFFSETTO:+0300\nEND:STANDARD\nEND:VTIMEZONE\n",
          "DTSTART;TZID=Office:20260310T120000\nDURATION:PT1H\nSUMMARY:Remote\n"},
         {"U | 08:00 – 08:30", "Call | 09:00 – 10:00", "Remote | 10:00 – 11:00"}},
        {false,
         "recurring",
         {"UID:a\n" + daily + "EXDATE:20260310T080000\nSUMMARY:Excepted today\n",
          "UID:b\n" + daily + "EXDATE:20260309T080000\nSUMMARY:Excepted yesterday\n",
          "UID:c\n" + daily + "SUMMARY:Gym\n",
          "UID:c\nRECURRENCE-ID:20260310T080000\nDTSTART:20260310T190000\nSUMMARY:Gym late\n",
          "UID:d\n" + daily + "SUMMARY:Cancelled today\n",
          "UID:d\nRECURRENCE-ID:20260310T080000\nDTSTART:20260310T080000\nSTATUS:CANCELLED\n",
          "UID:e\n" + daily + "STATUS:CANCELLED\nSUMMARY:Cancelled series\n",
          "DTSTART;TZID=America/New_York:20260201T040000\nRRULE:FREQ=DAILY\nSUMMARY:NY\n",
          "DTSTART:20260302T100000\nRRULE:FREQ=WEEKLY\nSUMMARY:Mondays\n",
          "DTSTART:20260301T100000\nRRULE:FREQ=DAILY;COUNT=3\nSUMMARY:Three days\n"},
         {"Excepted yesterday | 08:00 – 08:30", "NY | 09:00", "Gym late | 19:00"}},
        {false,
         "odd properties",
         {"X-FOO:bar\nFOO-BAR;X-P=1:baz\nDTSTART:20260310T090000\nSUMMARY:Kept\n",
          "SUMMARY:No start\n", "DTSTART:not-a-date\nSUMMARY:Bad start\n",
          "DTSTART:20260310T100000\nRRULE:FREQ=SOMETIMES\nSUMMARY:Bad rule\n"},
         {"Kept | 09:00", "Bad rule | 10:00"}},
        {true,
         "due",
         {todo("DUE:20260309T170000\nSUMMARY:Yesterday\n"),
          todo("DUE:20260310T180000\nSUMMARY:Later\n"),
          todo("DUE:20260310T090000\nSUMMARY:Earlier\n"),
          todo("DUE;VALUE=DATE:20260310\nSUMMARY:Today\n"),
          todo("DUE;TZID=America/New_York:20260310T080000\nSUMMARY:NY\n"),
          todo("DUE:20260311T090000\nSUMMARY:Tomorrow\n"), todo("SUMMARY:Someday\n")},
         {"Earlier | Overdue · 09:00 | late", "Today | Overdue · 00:00 | late",
          "Yesterday | Overdue · 17:00 | late", "Later | Today · 18:00", "NY | Today · 13:00"}},
        {true,
         "priorities 1, 5, 9 and none",
         {todo("DUE:20260310T180000\nSUMMARY:P1\nPRIORITY:1\n"),
          todo("DUE:20260310T180000\nSUMMARY:P5\nPRIORITY:5\n"),
          todo("DUE:20260310T180000\nSUMMARY:P9\nPRIORITY:9\n"),
          todo("DUE:20260310T180000\nSUMMARY:P0\n")},
         {"P0 | Today · 18:00", "P1 ! Today · 18:00", "P5 | Today · 18:00", "P9 | Today · 18:00"}},
        {true,
         "completed, cancelled, untitled, an event",
         {todo("DUE:20260310T180000\nSTATUS:COMPLETED\nSUMMARY:Done\n"),
          todo("DUE:20260310T180000\nSTATUS:CANCELLED\nSUMMARY:Dropped\n"),
          todo("DUE:20260310T180000\nCOMPLETED:20260310T100000Z\nSUMMARY:Done at\n"),
          todo("DUE:20260310T180000\n"), "DTSTART:20260310T090000\n"},
         {"(No title) | Today · 18:00"}},

    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        write(c.tasks ? "tasks/home/item.ics" : "calendars/work/item.ics", ics(c.components));
        EXPECT_EQ(c.tasks ? reminderRows() : events(), c.rows);
    }
}

TEST_F(VdirEventStoreTest, ACollectionsColourIsItsItemsColourOrTheDefault) {
    const std::string day = ics({"DTSTART;VALUE=DATE:20260310\n", todo("DUE:20260310T180000\n")});
    const WidgetColor blue = WidgetColor::systemBlue(), grey{{}, 0.4, 0.4, 0.4, 1};
    struct Case {
        std::optional<std::string> file;
        std::optional<WidgetColor> color;  // none: each widget's default
        bool logged;
    } cases[] = {
        {std::nullopt, std::nullopt, false},
        {"#FF0000\n", WidgetColor{{}, 1, 0, 0, 1}, false},
        {"  #00ff0033", WidgetColor{{}, 0, 1, 0, 0.2}, false},
        {"red", std::nullopt, true},
        {"#12345", std::nullopt, true},
        {"#12345G", std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.value_or("no colour file"));
        reset();
        for (const char* kind : {"calendars", "tasks"}) {
            write(fs::path(kind) / "list/item.ics", day);
            if (c.file) write(fs::path(kind) / "list/color", *c.file);
        }
        const auto rows = CalendarService(*store, calendar).todayEvents();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0]->color, c.color.value_or(blue));
        const auto items = reminders();
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(RemindersState::Item::from(items[0]).color, c.color.value_or(grey));
        EXPECT_EQ(logged("is not #RRGGBB or #RRGGBBAA"), c.logged);
    }
}

TEST_F(VdirEventStoreTest, AuthorisationIsWhetherTheRootCanBeRead) {
    using Status = PermissionsManager::Status;
    const fs::path folder = root / "calendars";
    struct Case {
        const char* name;
        int mode;  // of the folder; -1: none, -2: a file in its place
        Status before;
        Status after;
    } cases[] = {
        {"missing: asking makes it", -1, Status::notDetermined, Status::granted},
        {"readable", 0755, Status::granted, Status::granted},
        {"a file", -2, Status::denied, Status::denied},
        {"unreadable", 0, Status::denied, Status::denied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Root reads every folder, so it cannot be refused one.
        if (c.mode == 0 && ::geteuid() == 0) continue;
        reset();
        if (c.mode == -2) std::ofstream(folder) << "x";
        if (c.mode >= 0 && fs::create_directories(folder))
            fs::permissions(folder, fs::perms(c.mode));
        VdirPermissionServices services(desktop.permissionServices, *store);
        PermissionsManager permissions(desktop.accessibility, services, desktop.scheduler, logger);
        permissions.refreshCalendarStatus();
        EXPECT_EQ(permissions.calendar(), c.before);
        permissions.requestCalendarAccess();
        desktop.scheduler.runDue();
        EXPECT_EQ(permissions.calendar(), c.after);
        EXPECT_TRUE(c.mode != -1 || fs::status(folder).permissions() == fs::perms::owner_all);
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    }
}

TEST_F(VdirEventStoreTest, ChangesOnDiskShowAtTheNextRead) {
    const auto at = [](std::string title, std::string hour) {
        return ics({"DTSTART:20260310T" + hour + "0000\nSUMMARY:" + title + "\n"});
    };
    write("calendars/a/one.ics", at("Before", "09"));
    EXPECT_EQ(events(), std::vector<std::string>{"Before | 09:00"});
    write("calendars/a/one.ics", at("After", "10"));
    write("calendars/b/two.ics", at("New", "11"));
    EXPECT_EQ(events(), (std::vector<std::string>{"After | 10:00", "New | 11:00"}));
    fs::remove(root / "calendars/a/one.ics");
    EXPECT_EQ(events(), std::vector<std::string>{"New | 11:00"});

    // As synchronisers write: a new file renamed over the old one.
    write("calendars/b/two.tmp", at("Renamed", "12"));
    fs::rename(root / "calendars/b/two.tmp", root / "calendars/b/two.ics");
    EXPECT_EQ(events(), std::vector<std::string>{"Renamed | 12:00"});
    // A link to a file elsewhere, changed there; then a folder replaced under its name.
    write("elsewhere/linked.ics", at("Linked", "13"));
    fs::create_symlink(root / "elsewhere/linked.ics", root / "calendars/b/linked.ics");
    EXPECT_EQ(events(), (std::vector<std::string>{"Renamed | 12:00", "Linked | 13:00"}));
    write("elsewhere/linked.ics", at("Relinked", "14"));
    EXPECT_EQ(events(), (std::vector<std::string>{"Renamed | 12:00", "Relinked | 14:00"}));
    fs::remove_all(root / "calendars/b");
    write("calendars/b/three.ics", at("Replaced", "15"));
    EXPECT_EQ(events(), std::vector<std::string>{"Replaced | 15:00"});
}

TEST_F(VdirEventStoreTest, WhatCannotBeReadIsSkippedAndSaidSo) {
    reset({300, 9, 256});
    const std::string good = ics({"DTSTART:20260310T090000\nSUMMARY:Good\n"});
    // A file, and what the log says of it.
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"a.ics", good, ""},
        {"b.ics", "this is not a calendar\n", "b.ics: not iCalendar"},
        {"c.ics", "BEGIN:VEVENT\nDTSTART:20260310T090000\nEND:VEVENT\n", "c.ics: no VCALENDAR"},
        {"d.ics", ics({"DTSTART:20260310T090000\nSUMMARY:Caf\xe9\n"}), "d.ics: not UTF-8"},
        {"e.ics", good + std::string("\0", 1), "e.ics: not UTF-8"},
        {"f.ics", ics({"DTSTART:20260310T090000\n" + std::string(300, 'X')}), "larger than 300"},
        {"g.ics", ics({todo("DUE:20260310T180000\n")}), ""},
        {"h.ics", "BEGIN:VCALENDAR\nEND:VCALENDAR\n", "h.ics: no event or to-do"},
    };
    for (const auto& [file, content, _] : cases)
        write(std::string("calendars/big/") + file, content);
    ASSERT_EQ(::mkfifo((root / "calendars/big/fifo.ics").c_str(), 0600), 0);
    for (int i = 0; i < 10; ++i)
        write("calendars/many/" + std::to_string(i) + ".ics", good);
    EXPECT_EQ(events(), std::vector<std::string>(10, "Good | 09:00"));
    for (const auto& [file, _, said] : cases)
        EXPECT_TRUE(logged(said)) << file;
    EXPECT_TRUE(logged("fifo.ics: not a regular file"));
    EXPECT_TRUE(logged("Read only the first 9 files of "));

    reset();
    write("calendars/c/tick.ics", ics({"DTSTART:20260310T000000\nRRULE:FREQ=SECONDLY\n"}));
    EXPECT_EQ(events().size(), 10'000u);
    EXPECT_TRUE(logged("stop at 10000 occurrences"));
}

}  // namespace
}  // namespace vantorel

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {

// A desktop described as data (JSON): screens, applications, the Dock and the folders behind its
// tiles. "${ROOT}" in a path stands for a directory the caller chooses, where the world's real
// folders are created.
class SimWorld {
public:
    struct App {
        SimAppSpec spec;
        // The icon's colour and the icon font's symbol drawn on it, for whoever draws icons;
        // spec.icon is a plain square of that colour.
        std::uint32_t color = 0xff808080u;
        std::string symbol;
        bool running = true;
        // Opened in this order once the application runs, so listed front to back.
        std::vector<SimWindowSpec> windows;
        // A media player, answering scripts under the application's name while it runs.
        std::optional<SimMediaPlayer> player;
    };
    struct Tile {
        SimDockTileSpec spec;
        // The path the tile's "AXURL" names, made into a file URL once "${ROOT}" is known.
        std::optional<std::string> axPath;
        // Recorded in the Dock's "persistent-others" under the tile's title.
        std::optional<std::string> persistentPath;
    };
    // One item of a world's folder. A file holds its own name as text.
    struct Item {
        enum class Kind { file, folder, link };
        Kind kind = Kind::file;
        // Bytes, not necessarily UTF-8 (a world spells others as "rawName" with %XX escapes).
        std::string name;
        // What a link points at, relative to its folder; it need not exist.
        std::string target;
        // Last modified this many hours before the world was created; none for now.
        std::optional<int> ageHours;
    };
    struct Folder {
        std::string path;
        std::vector<Item> items;
    };
    // A time of day on a day counted from today (-1 yesterday), placed when the world is built.
    struct DayTime {
        int day = 0;
        int hour = 0;
        int minute = 0;
    };
    struct Event {
        std::optional<std::string> title;
        std::optional<std::string> location;
        bool allDay = false;
        std::optional<DayTime> start;
        std::optional<DayTime> end;
    };
    struct Reminder {
        std::optional<std::string> title;
        // None: no due date. dayOnly: the due date carries no time.
        std::optional<DayTime> due;
        bool dayOnly = false;
        std::int64_t priority = 0;
        bool completed = false;
    };
    // A calendar with its events, or a reminder list with its reminders.
    struct Calendar {
        std::string title;
        std::optional<std::vector<double>> color;
        std::vector<Event> events;
        std::vector<Reminder> reminders;
    };

    // nullopt, with the reason in error, when the text is not a world.
    static std::optional<SimWorld> parse(std::string_view json, std::string* error);

    // Creates the world's folders and files under root (existing ones are kept).
    bool createFolders(const std::string& root, std::string* error) const;
    // Puts the world on a desktop: screens, processes, the Dock and its preferences.
    void build(SimDesktop& desktop, const std::string& root) const;
    // Fills a store with the world's calendars and reminders, placed on the calendar's today.
    void buildEvents(SimEventStore& store, UserCalendar& calendar) const;

    std::vector<Rect> screens;
    std::string orientation = "bottom";
    double tileSize = 64;
    std::vector<App> apps;
    std::vector<Tile> tiles;
    std::vector<Folder> folders;
    std::vector<Calendar> calendars;
    std::vector<Calendar> reminderLists;
};

}  // namespace vantorel

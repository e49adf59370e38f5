#include "platform/sim/SimWorld.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <type_traits>

#include "platform/JsonDepthLimit.h"

namespace vantorel {
namespace {

using nlohmann::json;

std::string substituteRoot(std::string text, const std::string& root) {
    static const std::string kRoot = "${ROOT}";
    for (auto pos = text.find(kRoot); pos != std::string::npos; pos = text.find(kRoot, pos)) {
        text.replace(pos, kRoot.size(), root);
        pos += root.size();
    }
    return text;
}

std::uint32_t parseColor(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return 0xff808080u;
    try {
        return 0xff000000u | static_cast<std::uint32_t>(std::stoul(text.substr(1), nullptr, 16));
    } catch (...) {
        return 0xff808080u;
    }
}

Rect parseRect(const json& value) {
    if (!value.is_array() || value.size() != 4)
        throw std::runtime_error("a rectangle is [x, y, w, h]");
    return Rect(value[0].get<double>(), value[1].get<double>(), value[2].get<double>(),
                value[3].get<double>());
}

// A window is described strictly: a misspelt key or a malformed value would otherwise give a
// world that quietly differs from the one its author wrote.
SimWindowSpec parseWindow(const json& w) {
    static constexpr std::array<std::string_view, 7> kKeys = {
        "title", "frame", "minimized", "subrole", "onScreen", "layer", "color"};
    if (!w.is_object()) throw std::runtime_error("a window is an object");
    for (const auto& item : w.items()) {
        if (std::find(kKeys.begin(), kKeys.end(), item.key()) == kKeys.end())
            throw std::runtime_error("unknown key \"" + item.key() + "\"");
    }
    SimWindowSpec spec;
    spec.title = w.value("title", "");
    spec.frame = parseRect(w.at("frame"));
    if (spec.frame.width() < 0 || spec.frame.height() < 0)
        throw std::runtime_error("a frame has a size of at least zero");
    spec.minimized = w.value("minimized", false);
    spec.subrole = w.value("subrole", spec.subrole);
    spec.onScreen = w.value("onScreen", true);
    if (w.contains("layer")) {
        if (!w["layer"].is_number_integer()) throw std::runtime_error("a layer is an integer");
        spec.layer = w["layer"].get<std::int64_t>();
    }
    if (w.contains("color")) {
        const auto text = w["color"].get<std::string>();
        const bool hex = text.size() == 7 && text[0] == '#' &&
                         text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
        if (!hex) throw std::runtime_error("a colour is \"#rrggbb\"");
        spec.color = parseColor(text);
    }
    return spec;
}

// A player's state, queue and current track: {"state", "tracks": [{"name", "artist"}], "current"}.
SimMediaPlayer parsePlayer(const json& p) {
    if (!p.is_object()) throw std::runtime_error("a player is an object");
    SimMediaPlayer player;
    player.state = p.value("state", player.state);
    for (const auto& t : p.value("tracks", json::array())) {
        SimTrack track;
        if (t.contains("name")) track.name = t["name"].get<std::string>();
        if (t.contains("artist")) track.artist = t["artist"].get<std::string>();
        player.tracks.push_back(std::move(track));
    }
    player.current = p.value("current", std::size_t{0});
    return player;
}

// A name whose bytes are spelt "%XX" where they are not text.
std::string percentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string hex = text.substr(i + 1, 2);
            if (std::isxdigit(static_cast<unsigned char>(hex[0])) &&
                std::isxdigit(static_cast<unsigned char>(hex[1]))) {
                out.push_back(static_cast<char>(std::stoi(hex, nullptr, 16)));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

// A plain name is a file; an object is a file, a folder or a link, with an optional age.
SimWorld::Item parseItem(const json& value) {
    SimWorld::Item item;
    if (value.is_string()) {
        item.name = value.get<std::string>();
        return item;
    }
    if (!value.is_object()) throw std::runtime_error("a folder item is a name or an object");
    item.name = value.contains("rawName") ? percentDecoded(value["rawName"].get<std::string>())
                                          : value.at("name").get<std::string>();
    if (value.value("folder", false)) item.kind = SimWorld::Item::Kind::folder;
    if (value.contains("link")) {
        item.kind = SimWorld::Item::Kind::link;
        item.target = value["link"].get<std::string>();
    }
    if (value.contains("ageHours")) item.ageHours = value["ageHours"].get<int>();
    return item;
}

std::string fileURLString(const std::string& path) {
    auto url = Url::fromPath(path);
    std::string text = url ? url->string() : "file://" + path;
    if (text.back() != '/') text.push_back('/');
    return text;
}

// A world drawn for a larger display still has every window on its screen: a window that runs
// past the right or bottom edge is shrunk to fit below the menu bar and moved inside.
Rect fitOnScreen(Rect frame, const Rect& screen) {
    constexpr double kMenuBar = 25;
    const double width = std::min(frame.width(), screen.width());
    const double height = std::min(frame.height(), screen.height() - kMenuBar);
    double x = frame.minX();
    double y = frame.minY();
    if (x + width > screen.width()) x = std::max(0.0, screen.width() - width);
    if (y + height > screen.height()) y = std::max(kMenuBar, screen.height() - height);
    return Rect(x, y, width, height);
}

// What a malformed value stands for: the default, never a failed world.
template <typename T>
std::optional<T> optionalOf(const json& object, const char* key) {
    if (!object.is_object() || !object.contains(key)) return std::nullopt;
    const json& value = object[key];
    if constexpr (std::is_same_v<T, std::string>) {
        if (value.is_string()) return value.get<std::string>();
    } else if constexpr (std::is_same_v<T, bool>) {
        if (value.is_boolean()) return value.get<bool>();
    } else {
        if (value.is_number_integer()) return value.get<T>();
    }
    return std::nullopt;
}

// "HH:MM" on the day `day` of the object (today when absent): none when malformed.
std::optional<SimWorld::DayTime> parseDayTime(const json& object, const char* timeKey,
                                              const char* dayKey) {
    const auto text = optionalOf<std::string>(object, timeKey);
    if (!text) return std::nullopt;
    int hour = 0;
    int minute = 0;
    char colon = 0;
    std::istringstream in(*text);
    if (!(in >> hour >> colon >> minute) || colon != ':' || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59) {
        return std::nullopt;
    }
    const auto day = optionalOf<std::int64_t>(object, dayKey).value_or(0);
    return SimWorld::DayTime{static_cast<int>(std::clamp<std::int64_t>(day, -3650, 3650)), hour,
                             minute};
}

std::optional<std::vector<double>> parseComponents(const json& object) {
    if (!object.contains("color") || !object["color"].is_array()) return std::nullopt;
    std::vector<double> components;
    for (const auto& value : object["color"]) {
        if (!value.is_number()) return std::nullopt;
        components.push_back(value.get<double>());
    }
    return components;
}

std::vector<SimWorld::Calendar> parseCalendars(const json& doc, const char* key) {
    std::vector<SimWorld::Calendar> calendars;
    const json list = doc.value(key, json::array());
    if (!list.is_array()) return calendars;
    for (const auto& c : list) {
        if (!c.is_object()) continue;
        SimWorld::Calendar calendar;
        calendar.title = optionalOf<std::string>(c, "title").value_or("");
        calendar.color = parseComponents(c);
        const json events = c.value("events", json::array());
        for (const auto& e : events.is_array() ? events : json::array()) {
            if (!e.is_object()) continue;
            SimWorld::Event event;
            event.title = optionalOf<std::string>(e, "title");
            event.location = optionalOf<std::string>(e, "location");
            event.allDay = optionalOf<bool>(e, "allDay").value_or(false);
            event.start = parseDayTime(e, "start", "day");
            if (!event.start && event.allDay) {
                event.start = SimWorld::DayTime{
                    static_cast<int>(optionalOf<std::int64_t>(e, "day").value_or(0) % 3650), 0, 0};
            }
            event.end = parseDayTime(e, "end", e.contains("endDay") ? "endDay" : "day");
            calendar.events.push_back(std::move(event));
        }
        const json reminders = c.value("reminders", json::array());
        for (const auto& r : reminders.is_array() ? reminders : json::array()) {
            if (!r.is_object()) continue;
            SimWorld::Reminder reminder;
            reminder.title = optionalOf<std::string>(r, "title");
            reminder.due = parseDayTime(r, "time", "day");
            if (!reminder.due && r.contains("day")) {
                reminder.due =
                    parseDayTime(json{{"time", "00:00"}, {"day", r["day"]}}, "time", "day");
                reminder.dayOnly = reminder.due.has_value();
            }
            reminder.priority = optionalOf<std::int64_t>(r, "priority").value_or(0);
            reminder.completed = optionalOf<bool>(r, "completed").value_or(false);
            calendar.reminders.push_back(std::move(reminder));
        }
        calendars.push_back(std::move(calendar));
    }
    return calendars;
}

}  // namespace

std::optional<SimWorld> SimWorld::parse(std::string_view text, std::string* error) {
    std::string problem;
    const auto parsed = parseJsonWithinDepth(text, problem);
    if (!parsed) {
        if (error) *error = problem;
        return std::nullopt;
    }
    const json& doc = *parsed;
    try {
        SimWorld world;
        for (const auto& screen : doc.value("screens", json::array())) {
            world.screens.push_back(parseRect(screen.at("frame")));
        }
        if (world.screens.empty()) world.screens.push_back(Rect(0, 0, 1728, 1117));

        for (const auto& a : doc.value("applications", json::array())) {
            App app;
            app.spec.name = a.at("name").get<std::string>();
            if (a.contains("bundleId"))
                app.spec.bundleIdentifier = a["bundleId"].get<std::string>();
            if (a.contains("bundlePath")) app.spec.bundlePath = a["bundlePath"].get<std::string>();
            const std::string policy = a.value("policy", "regular");
            app.spec.activationPolicy = policy == "accessory" ? RunningApplication::kPolicyAccessory
                                        : policy == "prohibited"
                                            ? RunningApplication::kPolicyProhibited
                                            : RunningApplication::kPolicyRegular;
            app.color = parseColor(a.value("color", "#808080"));
            app.spec.icon = SimDesktop::makeIcon(app.color);
            app.symbol = a.value("symbol", "");
            app.running = a.value("running", true);
            if (a.contains("windows")) {
                const json& windows = a["windows"];
                if (!windows.is_array())
                    throw std::runtime_error(app.spec.name + ": \"windows\" is a list");
                for (std::size_t i = 0; i < windows.size(); ++i) {
                    try {
                        app.windows.push_back(parseWindow(windows[i]));
                    } catch (const std::exception& e) {
                        throw std::runtime_error(app.spec.name + " window " + std::to_string(i) +
                                                 ": " + e.what());
                    }
                }
            }
            if (a.contains("player")) app.player = parsePlayer(a["player"]);
            world.apps.push_back(std::move(app));
        }

        const json dock = doc.value("dock", json::object());
        world.orientation = dock.value("orientation", "bottom");
        world.tileSize = dock.value("tileSize", 64.0);
        for (const auto& t : dock.value("tiles", json::array())) {
            Tile tile;
            if (t.contains("app")) {
                const auto id = t["app"].get<std::string>();
                const auto it =
                    std::find_if(world.apps.begin(), world.apps.end(),
                                 [&](const App& a) { return a.spec.bundleIdentifier == id; });
                if (it == world.apps.end())
                    throw std::runtime_error("Dock tile for unknown app " + id);
                tile.spec.kind = SimDockTileSpec::Kind::application;
                tile.spec.title = t.value("title", it->spec.name);
                tile.axPath = it->spec.bundlePath;
            } else if (t.value("separator", false)) {
                tile.spec.kind = SimDockTileSpec::Kind::separator;
            } else if (t.contains("folder")) {
                tile.spec.kind = SimDockTileSpec::Kind::folder;
                tile.spec.title = t["folder"].get<std::string>();
                const std::string path = t.at("path").get<std::string>();
                if (t.value("axUrl", true)) tile.axPath = path;
                if (t.value("persistent", true)) tile.persistentPath = path;
            } else if (t.contains("stack")) {
                tile.spec.kind = SimDockTileSpec::Kind::folder;
                tile.spec.title = t["stack"].get<std::string>();
                if (t.contains("url")) tile.spec.url = t["url"].get<std::string>();
            } else {
                throw std::runtime_error("a Dock tile is an app, a separator, a folder or a stack");
            }
            world.tiles.push_back(std::move(tile));
        }

        for (const auto& f : doc.value("folders", json::array())) {
            Folder folder;
            folder.path = f.at("path").get<std::string>();
            for (const auto& item : f.value("files", json::array())) {
                folder.items.push_back(parseItem(item));
            }
            world.folders.push_back(std::move(folder));
        }
        world.calendars = parseCalendars(doc, "calendars");
        world.reminderLists = parseCalendars(doc, "reminderLists");
        return world;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

bool SimWorld::createFolders(const std::string& root, std::string* error) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& folder : folders) {
        const fs::path dir = substituteRoot(folder.path, root);
        fs::create_directories(dir, ec);
        if (ec) {
            if (error) *error = dir.string() + ": " + ec.message();
            return false;
        }
        const auto now = fs::file_time_type::clock::now();
        for (const auto& item : folder.items) {
            const std::string& name = item.name;
            const fs::path file = dir / name;
            // Names come from the world file: keep them inside their folder.
            if (name.empty() || name.find('/') != std::string::npos || name == ".." || name == ".")
                continue;
            if (fs::exists(fs::symlink_status(file, ec))) continue;
            switch (item.kind) {
                case Item::Kind::file:
                    std::ofstream(file) << name << "\n";
                    break;
                case Item::Kind::folder:
                    fs::create_directory(file, ec);
                    break;
                case Item::Kind::link:
                    fs::create_symlink(item.target, file, ec);
                    break;
            }
            if (item.ageHours && item.kind != Item::Kind::link) {
                fs::last_write_time(file, now - std::chrono::hours(*item.ageHours), ec);
            }
        }
    }
    return true;
}

void SimWorld::build(SimDesktop& desktop, const std::string& root) const {
    desktop.setScreens(screens);
    desktop.setDockOrientation(orientation);
    desktop.setDockTileSize(tileSize);
    desktop.launchDock();
    for (const auto& app : apps) {
        // Bundles are applications to the file system too, running or not.
        if (app.spec.bundlePath) {
            if (auto url = Url::fromPath(*app.spec.bundlePath)) {
                desktop.files.addApplication(url->standardizedPath());
            }
        }
        if (!app.running) continue;
        const ProcessId pid = desktop.launch(app.spec);
        if (app.player) desktop.scripting.player(app.spec.name) = *app.player;
        for (auto window : app.windows) {
            if (!screens.empty()) window.frame = fitOnScreen(window.frame, screens.front());
            desktop.addWindow(pid, window);
        }
    }
    std::vector<SimDockTileSpec> specs;
    for (const auto& tile : tiles) {
        SimDockTileSpec spec = tile.spec;
        if (tile.axPath) spec.url = fileURLString(substituteRoot(*tile.axPath, root));
        specs.push_back(std::move(spec));
        if (tile.persistentPath) {
            desktop.addPersistentFolder(tile.spec.title,
                                        fileURLString(substituteRoot(*tile.persistentPath, root)));
        }
    }
    desktop.setDockTiles(std::move(specs));
    buildEvents(desktop.eventStore, desktop.userCalendar);
}

void SimWorld::buildEvents(SimEventStore& store, UserCalendar& calendar) const {
    const std::optional<WallTime> today = calendar.startOfDay(calendar.now());
    if (!today) return;
    const auto place = [&](const DayTime& at) -> std::optional<WallTime> {
        const auto day = calendar.addingDays(*today, at.day);
        if (!day) return std::nullopt;
        return *day + std::chrono::hours(at.hour) + std::chrono::minutes(at.minute);
    };
    std::uint64_t hash = 0x5eed;
    for (const auto& source : calendars) {
        const std::size_t index = store.addCalendar({source.title, source.color});
        for (const auto& e : source.events) {
            StoreEvent event;
            event.title = e.title;
            event.location = e.location;
            event.isAllDay = e.allDay;
            if (e.start) event.startDate = place(*e.start);
            if (e.end) {
                event.endDate = place(*e.end);
            } else if (e.allDay && event.startDate) {
                // The platform ends an all-day event a second before the next midnight.
                if (auto next = calendar.addingDays(*event.startDate, 1)) {
                    event.endDate = *next - std::chrono::seconds(1);
                }
            }
            event.eventIdentifier = "event-" + std::to_string(++hash);
            event.hashValue = hash;
            store.addEvent({std::move(event), index});
        }
    }
    for (const auto& source : reminderLists) {
        const std::size_t index = store.addReminderList({source.title, source.color});
        for (const auto& r : source.reminders) {
            StoreReminder reminder;
            reminder.calendarItemIdentifier = "reminder-" + std::to_string(++hash);
            reminder.title = r.title;
            reminder.priority = r.priority;
            reminder.isCompleted = r.completed;
            if (r.due) {
                if (const auto due = place(*r.due)) {
                    DueDateComponents parts = calendar.components(*due);
                    if (r.dayOnly) parts.hour = parts.minute = parts.second = std::nullopt;
                    reminder.dueDateComponents = parts;
                }
            }
            store.addReminder({std::move(reminder), index});
        }
    }
}

}  // namespace vantorel

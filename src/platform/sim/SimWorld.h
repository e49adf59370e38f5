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

    // nullopt, with the reason in error, when the text is not a world.
    static std::optional<SimWorld> parse(std::string_view json, std::string* error);

    // Creates the world's folders and files under root (existing ones are kept).
    bool createFolders(const std::string& root, std::string* error) const;
    // Puts the world on a desktop: screens, processes, the Dock and its preferences.
    void build(SimDesktop& desktop, const std::string& root) const;

    std::vector<Rect> screens;
    std::string orientation = "bottom";
    double tileSize = 64;
    std::vector<App> apps;
    std::vector<Tile> tiles;
    std::vector<Folder> folders;
};

}  // namespace vantorel

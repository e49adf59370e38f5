#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// What an application's desktop entry says of it.
struct DesktopEntry {
    // The desktop-file id: the path under applications/ with '/' as '-'.
    std::string id;
    std::string name;
    std::string icon;
    std::string startupWMClass;
};

// The desktop entries installed for the user and the system, found by a window's class: first
// the entry that names the class as its StartupWMClass, then the one whose id is the class or
// the instance in lower case. An entry in an earlier directory hides one with the same id in a
// later one, as the base-directory rules say.
class DesktopEntries {
public:
    // The [Desktop Entry] group of an application entry, its Name localised for the locale
    // (lang_COUNTRY.ENCODING@MODIFIER, any part missing); none for anything else, a hidden
    // entry or one without a name.
    static std::optional<DesktopEntry> parse(std::string_view text, std::string_view locale);
    // $XDG_DATA_HOME/applications, then those of each $XDG_DATA_DIRS.
    static std::vector<std::filesystem::path> applicationDirectories();
    // The messages locale from the environment: LC_ALL, LC_MESSAGES, then LANG.
    static std::string messagesLocale();

    DesktopEntries() = default;
    // Reads every entry now.
    DesktopEntries(const std::vector<std::filesystem::path>& directories, std::string_view locale);

    const DesktopEntry* find(std::string_view instance, std::string_view className) const;
    std::size_t size() const { return byId_.size(); }

private:
    std::map<std::string, DesktopEntry> byId_;
    std::map<std::string, std::string> idByWMClass_;
};

}  // namespace vantorel

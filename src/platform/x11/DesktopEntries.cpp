#include "platform/x11/DesktopEntries.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace vantorel {
namespace {

// Files larger than this are not desktop entries.
constexpr std::uintmax_t kLargestEntry = 1 << 20;

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                out += value[i];
                break;
        }
    }
    return out;
}

// The keys a localised value may be under, most precise first.
std::vector<std::string> localeKeys(std::string_view locale) {
    std::string_view modifier;
    if (const auto at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at);
        locale = locale.substr(0, at);
    }
    if (const auto dot = locale.find('.'); dot != std::string_view::npos)
        locale = locale.substr(0, dot);
    const std::string_view lang = locale.substr(0, locale.find('_'));
    std::vector<std::string> keys;
    if (lang.empty() || locale == "C" || locale == "POSIX") return keys;
    const bool country = locale.size() > lang.size();
    if (country && !modifier.empty()) keys.push_back(std::string(locale) + std::string(modifier));
    if (country) keys.emplace_back(locale);
    if (!modifier.empty()) keys.push_back(std::string(lang) + std::string(modifier));
    keys.emplace_back(lang);
    return keys;
}

}  // namespace

std::optional<DesktopEntry> DesktopEntries::parse(std::string_view text, std::string_view locale) {
    std::map<std::string, std::string, std::less<>> values;
    bool inGroup = false;
    bool seenGroup = false;
    std::istringstream lines{std::string(text)};
    for (std::string raw; std::getline(lines, raw);) {
        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            // The main group comes first; what follows it belongs to actions and others.
            if (seenGroup) break;
            inGroup = line == "[Desktop Entry]";
            seenGroup = inGroup;
            if (!inGroup) return std::nullopt;
            continue;
        }
        const auto equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos) continue;
        values.emplace(std::string(trimmed(line.substr(0, equals))),
                       unescaped(trimmed(line.substr(equals + 1))));
    }
    const auto value = [&](std::string_view key) -> std::string {
        const auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    };
    if (value("Type") != "Application" || value("Hidden") == "true") return std::nullopt;
    DesktopEntry entry;
    entry.name = value("Name");
    for (const std::string& key : localeKeys(locale)) {
        if (const auto it = values.find("Name[" + key + "]");
            it != values.end() && !it->second.empty()) {
            entry.name = it->second;
            break;
        }
    }
    if (entry.name.empty()) return std::nullopt;
    entry.icon = value("Icon");
    entry.startupWMClass = value("StartupWMClass");
    return entry;
}

std::vector<std::filesystem::path> DesktopEntries::applicationDirectories() {
    std::vector<std::filesystem::path> dirs;
    const char* home = std::getenv("HOME");
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) {
        dirs.emplace_back(std::filesystem::path(dataHome) / "applications");
    } else if (home && *home) {
        dirs.emplace_back(std::filesystem::path(home) / ".local/share/applications");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream list(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(list, dir, ':');)
        if (!dir.empty()) dirs.emplace_back(std::filesystem::path(dir) / "applications");
    return dirs;
}

std::string DesktopEntries::messagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

DesktopEntries::DesktopEntries(const std::vector<std::filesystem::path>& directories,
                               std::string_view locale) {
    namespace fs = std::filesystem;
    std::set<std::string> seen;
    for (const fs::path& dir : directories) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end;
             it.increment(error)) {
            if (it->path().extension() != ".desktop" || !it->is_regular_file(error) ||
                it->file_size(error) > kLargestEntry)
                continue;
            std::string id = it->path().lexically_relative(dir).string();
            std::replace(id.begin(), id.end(), '/', '-');
            // Hidden or not an application, an entry still hides the later ones of its id.
            if (!seen.insert(id).second) continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            auto entry = parse(text.str(), locale);
            if (!entry) continue;
            entry->id = id;
            if (!entry->startupWMClass.empty()) idByWMClass_.emplace(entry->startupWMClass, id);
            byId_.emplace(id, std::move(*entry));
        }
    }
}

const DesktopEntry* DesktopEntries::find(std::string_view instance,
                                         std::string_view className) const {
    for (const std::string_view name : {className, instance}) {
        if (name.empty()) continue;
        if (const auto it = idByWMClass_.find(std::string(name)); it != idByWMClass_.end())
            return &byId_.at(it->second);
    }
    for (const std::string_view name : {className, instance}) {
        if (name.empty()) continue;
        if (const auto it = byId_.find(lower(name) + ".desktop"); it != byId_.end())
            return &it->second;
    }
    return nullptr;
}

}  // namespace vantorel

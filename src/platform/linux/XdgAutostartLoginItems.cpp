#include "platform/linux/XdgAutostartLoginItems.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantorel {
namespace {

std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    const auto end = s.find_last_not_of(" \t\r");
    return s.substr(begin, end - begin + 1);
}

// The Exec key's quoting rules: reserved characters force quotes, inside which the double
// quote, backtick, dollar and backslash are escaped; a literal percent sign is always doubled.
std::string quoteExec(const std::string& path) {
    std::string escaped;
    bool needsQuotes = false;
    for (char c : path) {
        if (c == ' ' || c == '\t' || c == '\'' || c == '"' || c == '`' || c == '$' || c == '\\' ||
            c == '>' || c == '<' || c == '~' || c == '|' || c == '&' || c == ';' || c == '*' ||
            c == '?' || c == '#' || c == '(' || c == ')') {
            needsQuotes = true;
        }
        if (c == '"' || c == '`' || c == '$' || c == '\\') escaped.push_back('\\');
        if (c == '%') escaped.push_back('%');
        escaped.push_back(c);
    }
    return needsQuotes ? "\"" + escaped + "\"" : escaped;
}

}  // namespace

XdgAutostartLoginItems::XdgAutostartLoginItems(std::filesystem::path autostartDirectory,
                                               std::string executable)
    : directory_(std::move(autostartDirectory)), executable_(std::move(executable)) {}

std::filesystem::path XdgAutostartLoginItems::defaultDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && std::filesystem::path(config).is_absolute()) {
        return std::filesystem::path(config) / "autostart";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "/") / ".config" / "autostart";
}

std::string XdgAutostartLoginItems::entryText() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vantorel\n"
           "Comment=Window previews and widgets for the Dock\n"
           "Exec=" +
           quoteExec(executable_) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

LoginItems::Status XdgAutostartLoginItems::status() {
    std::ifstream in(entryPath());
    if (!in) return Status::notRegistered;
    std::string line;
    bool inMainGroup = false;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        if (key == "Hidden" && value == "true") return Status::notRegistered;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return Status::notRegistered;
    }
    return Status::enabled;
}

std::optional<std::string> XdgAutostartLoginItems::registerItem() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (ec) return directory_.string() + ": " + ec.message();

    // Written aside and renamed, so a half-written entry never starts anything.
    const fs::path temporary = entryPath().string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return temporary.string() + ": cannot be written";
        out << entryText();
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, ec);
            return temporary.string() + ": write failed";
        }
    }
    fs::rename(temporary, entryPath(), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return entryPath().string() + ": " + ec.message();
    }
    return std::nullopt;
}

std::optional<std::string> XdgAutostartLoginItems::unregisterItem() {
    std::error_code ec;
    std::filesystem::remove(entryPath(), ec);
    if (ec) return entryPath().string() + ": " + ec.message();
    return std::nullopt;
}

}  // namespace vantorel

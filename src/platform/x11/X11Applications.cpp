#include "platform/x11/X11Applications.h"

#include <QIcon>

#include <cstdlib>

#include "platform/qt/ImageConversion.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/XcbConnection.h"

namespace vantorel {
namespace {

// 512 x 512 pixels and a few smaller sizes, as large an icon as anyone sets.
constexpr std::uint32_t kLongestIcon = 512 * 512 * 2;

// The desktop's theme where the platform names one (a bare X server does not), then hicolor.
QStringList themes() {
    const QString theme = QIcon::themeName();
    return {theme.isEmpty() ? QStringLiteral("hicolor") : theme};
}

}  // namespace

X11Applications::X11Applications(XcbConnection& connection, DesktopEntries entries)
    : x_(connection),
      entries_(std::move(entries)),
      icons_(QIcon::themeSearchPaths() + IconThemeFiles::xdgDirectories(), themes()) {}

const X11Applications::Identity& X11Applications::of(const X11Window& window) {
    if (const auto it = byPid_.find(window.pid); it != byPid_.end()) return it->second;
    Identity identity;
    const std::string& className = window.className.empty() ? window.instance : window.className;
    if (!className.empty()) identity.name = className;
    if (const DesktopEntry* entry = entries_.find(window.instance, window.className)) {
        identity.name = entry->name;
        if (!entry->icon.empty()) identity.icon = themeIcon(entry->icon);
    }
    if (!identity.icon) identity.icon = windowIcon(window.id);
    return byPid_.emplace(window.pid, std::move(identity)).first->second;
}

const X11Applications::Identity* X11Applications::known(ProcessId pid) const {
    const auto it = byPid_.find(pid);
    return it == byPid_.end() ? nullptr : &it->second;
}

void X11Applications::keepOnly(const std::set<ProcessId>& pids) {
    std::erase_if(byPid_, [&](const auto& entry) { return !pids.contains(entry.first); });
}

ImageRef X11Applications::themeIcon(const std::string& icon) {
    if (const auto it = themeIcons_.find(icon); it != themeIcons_.end()) return it->second;
    const QString name = QString::fromStdString(icon);
    // An entry may name a file instead of a theme's icon.
    const QString file = icon.front() == '/' ? name : icons_.find(name, kIconSize);
    ImageRef image =
        file.isEmpty() ? nullptr : fromQImage(IconThemeFiles::readScaled(file, kIconSize));
    themeIcons_.emplace(icon, image);
    return image;
}

ImageRef X11Applications::windowIcon(xcb_window_t window) {
    xcb_connection_t* c = x_.get();
    auto* reply = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, window, x_.ewmh()._NET_WM_ICON, XCB_ATOM_CARDINAL, 0, kLongestIcon),
        nullptr);
    ImageRef image;
    if (reply && reply->format == 32 && reply->bytes_after == 0)
        image = X11Properties::bestIcon(
            {static_cast<const std::uint32_t*>(xcb_get_property_value(reply)),
             static_cast<std::size_t>(xcb_get_property_value_length(reply)) / 4},
            kIconSize);
    std::free(reply);
    return image;
}

}  // namespace vantorel

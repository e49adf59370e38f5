#pragma once

#include <filesystem>
#include <string>

#include "platform/LoginItems.h"

namespace vantorel {

// The login item as an XDG autostart entry. It counts as enabled while our entry exists and the
// desktop has not switched it off (Hidden=true, X-GNOME-Autostart-enabled=false).
class XdgAutostartLoginItems final : public LoginItems {
public:
    static constexpr const char* kFileName = "app.vantorel.Vantorel.desktop";

    // autostartDirectory: usually $XDG_CONFIG_HOME/autostart; executable: what the entry starts.
    XdgAutostartLoginItems(std::filesystem::path autostartDirectory, std::string executable);

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when that is unset or not absolute.
    static std::filesystem::path defaultDirectory();

    Status status() override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;

    std::filesystem::path entryPath() const { return directory_ / kFileName; }
    // The entry's text; the executable is quoted as desktop entries require.
    std::string entryText() const;

private:
    std::filesystem::path directory_;
    std::string executable_;
};

}  // namespace vantorel

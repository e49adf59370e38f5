#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/UserDefaults.h"
#include "platform/linux/JsonDefaultsSuite.h"

namespace vantorel {

// The user defaults store on this system: the application's own domain in a per-user JSON file.
class JsonUserDefaults final : public UserDefaults {
public:
    JsonUserDefaults(std::filesystem::path file, Scheduler& scheduler, Logger& logger)
        : standard_(std::move(file), scheduler, logger) {}

    // $XDG_CONFIG_HOME/vantorel/app.vantorel.Vantorel.json, with ~/.config when XDG_CONFIG_HOME
    // is unset, empty or relative. Empty when no home directory can be found either.
    static std::filesystem::path defaultPath();
    // The same rule from given values (nullptr: unset); does not consult the password database.
    static std::filesystem::path defaultPath(const char* xdgConfigHome, const char* home);

    DefaultsSuite& standard() override { return standard_; }
    JsonDefaultsSuite& standardSuite() { return standard_; }
    // Other domains (the Dock's) belong to the macOS Dock and do not exist here: none opens.
    std::shared_ptr<DefaultsSuite> suite(std::string_view) override { return nullptr; }

private:
    JsonDefaultsSuite standard_;
};

}  // namespace vantorel

#include "platform/linux/JsonUserDefaults.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Logger.h"

namespace vantorel {
namespace {

bool usableDirectory(const char* value) {
    // Relative values are invalid by the XDG rules and would depend on the working directory.
    return value != nullptr && value[0] == '/';
}

}  // namespace

std::filesystem::path JsonUserDefaults::defaultPath(const char* xdgConfigHome, const char* home) {
    std::filesystem::path config;
    if (usableDirectory(xdgConfigHome)) {
        config = xdgConfigHome;
    } else if (usableDirectory(home)) {
        config = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return config / "vantorel" / (std::string(Log::kSubsystem) + ".json");
}

std::filesystem::path JsonUserDefaults::defaultPath() {
    const char* home = std::getenv("HOME");
    std::string passwordHome;
    if (!usableDirectory(home)) {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr) {
            passwordHome = found->pw_dir;
            home = passwordHome.c_str();
        }
    }
    return defaultPath(std::getenv("XDG_CONFIG_HOME"), home);
}

}  // namespace vantorel

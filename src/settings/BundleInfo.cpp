#include "settings/BundleInfo.h"

#include "settings/BuildVersion.h"

namespace vantorel {
namespace {

std::optional<std::string> recorded(const char* value) {
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace

BundleInfo BundleInfo::main() {
    return {recorded(kBuildShortVersion), recorded(kBuildNumber)};
}

std::string BundleInfo::versionText() const {
    return shortVersion.value_or(kMissing) + " (" + version.value_or(kMissing) + ")";
}

}  // namespace vantorel

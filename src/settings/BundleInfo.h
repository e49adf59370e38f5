#pragma once

#include <optional>
#include <string>

namespace vantorel {

// The program's version as its build recorded it: the version people quote, and the number of
// the build. Either may be missing.
struct BundleInfo {
    static constexpr const char* kMissing = "—";

    std::optional<std::string> shortVersion;
    std::optional<std::string> version;

    // This build's.
    static BundleInfo main();
    // "1.2 (34)"; a missing part reads "—".
    std::string versionText() const;
};

}  // namespace vantorel

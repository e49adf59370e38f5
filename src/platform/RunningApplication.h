#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/ProcessId.h"
#include "platform/Url.h"

namespace vantorel {

// What the workspace reports of one running application at the moment it was asked.
struct RunningApplication {
    // The platform's activation policies; anything else the platform reports is kept as is.
    static constexpr std::int64_t kPolicyRegular = 0;
    static constexpr std::int64_t kPolicyAccessory = 1;
    static constexpr std::int64_t kPolicyProhibited = 2;

    ProcessId processIdentifier = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::optional<Url> bundleURL;
    std::int64_t activationPolicy = kPolicyRegular;
    bool isTerminated = false;
    ImageRef icon;

    bool isRegular() const { return activationPolicy == kPolicyRegular; }
};

}  // namespace vantorel

#include "platform/sim/SimFileResources.h"

namespace vantorel {

std::optional<ResourceValues> SimFileResources::resourceValues(const Url& url) {
    if (!url.isFileUrl()) return std::nullopt;
    const auto it = entries_.find(url.standardizedPath());
    if (it != entries_.end()) return it->second;
    return fallback_ ? fallback_->resourceValues(url) : std::nullopt;
}

}  // namespace vantorel

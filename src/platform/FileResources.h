#pragma once

#include <optional>

#include "platform/Url.h"

namespace vantorel {

// The resource values of a URL, each of which the platform may leave out.
struct ResourceValues {
    std::optional<bool> isDirectory;
    std::optional<bool> isPackage;
    std::optional<bool> isApplication;
};

// Port: URL resource values of the file system.
class FileResources {
public:
    virtual ~FileResources() = default;
    // nullopt when the read fails as a whole (missing item, not a file URL, no access).
    virtual std::optional<ResourceValues> resourceValues(const Url& url) = 0;
};

}  // namespace vantorel

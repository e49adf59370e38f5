#pragma once

#include "platform/FileResources.h"

namespace vantorel {

// Resource values read from the real file system. A directory named like a bundle of the
// platform we stand in for (".app", ".bundle", …) is a package; an ".app" one also an application.
class FileSystemResources final : public FileResources {
public:
    std::optional<ResourceValues> resourceValues(const Url& url) override;
};

}  // namespace vantorel

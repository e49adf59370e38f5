#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/FileResources.h"

namespace vantorel {

// Resource values of the simulated desktop: paths planted by the world or a test, and for the
// rest an optional real file system behind it.
class SimFileResources final : public FileResources {
public:
    explicit SimFileResources(FileResources* fallback = nullptr) : fallback_(fallback) {}

    std::optional<ResourceValues> resourceValues(const Url& url) override;

    void setFallback(FileResources* fallback) { fallback_ = fallback; }
    void addDirectory(const std::string& path) {
        entries_[path] = ResourceValues{true, false, false};
    }
    void addPackage(const std::string& path) { entries_[path] = ResourceValues{true, true, false}; }
    void addApplication(const std::string& path) {
        entries_[path] = ResourceValues{true, true, true};
    }
    void addFile(const std::string& path) { entries_[path] = ResourceValues{false, false, false}; }
    void addEntry(const std::string& path, ResourceValues values) { entries_[path] = values; }
    // Reads of this path fail as a whole.
    void addUnreadable(const std::string& path) { entries_[path] = std::nullopt; }

private:
    FileResources* fallback_;
    std::map<std::string, std::optional<ResourceValues>> entries_;
};

}  // namespace vantorel

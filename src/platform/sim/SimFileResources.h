#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileResources.h"

namespace vantorel {

// Resource values of the simulated desktop: paths planted by the world or a test, and for the
// rest an optional real file system behind it.
class SimFileResources final : public FileResources {
public:
    explicit SimFileResources(FileResources* fallback = nullptr) : fallback_(fallback) {}

    std::optional<ResourceValues> resourceValues(const Url& url) override;
    std::optional<std::vector<Url>> contentsOfDirectory(const Url& folder,
                                                        bool skipsHiddenFiles) override;
    // A folder the world did not plant is the fallback's to list, in its own one pass.
    std::optional<std::vector<ListedItem>> contentsOfDirectoryWithValues(
        const Url& folder, bool skipsHiddenFiles, bool readsModificationDates) override;

    void setFallback(FileResources* fallback) { fallback_ = fallback; }
    void addDirectory(const std::string& path) { entries_[path] = kind(true, false, false); }
    void addPackage(const std::string& path) { entries_[path] = kind(true, true, false); }
    void addApplication(const std::string& path) { entries_[path] = kind(true, true, true); }
    void addFile(const std::string& path) { entries_[path] = kind(false, false, false); }
    void addEntry(const std::string& path, ResourceValues values) { entries_[path] = values; }
    // Reads of this path fail as a whole.
    void addUnreadable(const std::string& path) { entries_[path] = std::nullopt; }
    // A folder listed with these names, in this order; a name beginning with a dot is hidden.
    void addListing(const std::string& path, std::vector<std::string> names) {
        listings_[path] = std::move(names);
    }

private:
    static ResourceValues kind(bool directory, bool package, bool application) {
        ResourceValues values;
        values.isDirectory = directory;
        values.isPackage = package;
        values.isApplication = application;
        return values;
    }

    FileResources* fallback_;
    std::map<std::string, std::optional<ResourceValues>> entries_;
    std::map<std::string, std::vector<std::string>> listings_;
};

}  // namespace vantorel

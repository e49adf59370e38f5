#include "platform/sim/SimFileResources.h"

namespace vantorel {

std::optional<ResourceValues> SimFileResources::resourceValues(const Url& url) {
    if (!url.isFileUrl()) return std::nullopt;
    const auto it = entries_.find(url.standardizedPath());
    if (it != entries_.end()) return it->second;
    return fallback_ ? fallback_->resourceValues(url) : std::nullopt;
}

std::optional<std::vector<Url>> SimFileResources::contentsOfDirectory(const Url& folder,
                                                                      bool skipsHiddenFiles) {
    if (!folder.isFileUrl()) return std::nullopt;
    const std::string path = folder.standardizedPath();
    const auto it = listings_.find(path);
    if (it == listings_.end()) {
        return fallback_ ? fallback_->contentsOfDirectory(folder, skipsHiddenFiles) : std::nullopt;
    }
    std::vector<Url> children;
    for (const auto& name : it->second) {
        if (skipsHiddenFiles && name.starts_with('.')) continue;
        if (auto url = Url::fromPath(path == "/" ? "/" + name : path + "/" + name)) {
            children.push_back(std::move(*url));
        }
    }
    return children;
}

std::optional<std::vector<ListedItem>> SimFileResources::contentsOfDirectoryWithValues(
    const Url& folder, bool skipsHiddenFiles, bool readsModificationDates) {
    if (folder.isFileUrl() && fallback_ && !listings_.contains(folder.standardizedPath())) {
        return fallback_->contentsOfDirectoryWithValues(folder, skipsHiddenFiles,
                                                        readsModificationDates);
    }
    return FileResources::contentsOfDirectoryWithValues(folder, skipsHiddenFiles,
                                                        readsModificationDates);
}

}  // namespace vantorel

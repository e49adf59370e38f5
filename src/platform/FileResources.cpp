#include "platform/FileResources.h"

namespace vantorel {

std::optional<std::vector<ListedItem>> FileResources::contentsOfDirectoryWithValues(
    const Url& folder, bool skipsHiddenFiles, bool) {
    auto urls = contentsOfDirectory(folder, skipsHiddenFiles);
    if (!urls) return std::nullopt;
    std::vector<ListedItem> items;
    items.reserve(urls->size());
    for (Url& url : *urls) {
        auto values = resourceValues(url);
        items.push_back({std::move(url), std::move(values)});
    }
    return items;
}

}  // namespace vantorel

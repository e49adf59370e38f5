#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/Url.h"

namespace vantorel {

// A moment of the calendar, as file systems stamp their items (not the monotonic clock).
using WallTime = std::chrono::system_clock::time_point;

// The resource values of a URL, each of which the platform may leave out.
struct ResourceValues {
    std::optional<bool> isDirectory;
    std::optional<bool> isPackage;
    std::optional<bool> isApplication;
    std::optional<WallTime> contentModificationDate;
    // The item's kind in the user's language, e.g. "folder" or "PDF document".
    std::optional<std::string> localizedTypeDescription;
};

// A child of a listed folder with the values read along with it.
struct ListedItem {
    Url url;
    // nullopt when the item's values could not be read.
    std::optional<ResourceValues> values;
};

// Port: URL resource values and directory listings of the file system. Safe to call from the
// worker that lists folders while the main thread reads resource values.
class FileResources {
public:
    virtual ~FileResources() = default;
    // nullopt when the read fails as a whole (missing item, not a file URL, no access).
    virtual std::optional<ResourceValues> resourceValues(const Url& url) = 0;
    // The folder's direct children in the file system's order, without the hidden ones when
    // asked (names beginning with a dot, and those the desktop marks hidden); nullopt when the
    // folder cannot be listed (missing, not a folder, no permission).
    virtual std::optional<std::vector<Url>> contentsOfDirectory(const Url& folder,
                                                                bool skipsHiddenFiles) = 0;
    // The same children, each with its resource values pre-fetched, as the platform's listing
    // reads them in one pass. Without `readsModificationDates` an adapter may leave out the
    // date of an item whose type the listing alone tells. Unless overridden: a listing, then
    // one read per child.
    virtual std::optional<std::vector<ListedItem>> contentsOfDirectoryWithValues(
        const Url& folder, bool skipsHiddenFiles, bool readsModificationDates);
};

}  // namespace vantorel

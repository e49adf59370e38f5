#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Url.h"
#include "widgets/FolderSort.h"
#include "widgets/FolderState.h"

namespace vantorel {

class Collation;
class FileResources;
class UserDefaults;
class Workspace;
struct PlatformPorts;

using DockFolderMap = std::unordered_map<std::string, Url>;

// Knows the folders of the Dock's document side and what a folder holds. Holds no state of its
// own and caches nothing: every call reads the file system afresh. `entries` may run on a worker.
class FolderService {
public:
    FolderService(UserDefaults& defaults, FileResources& files, Workspace& workspace,
                  Collation& collation)
        : defaults_(&defaults), files_(&files), workspace_(&workspace), collation_(&collation) {}
    explicit FolderService(const PlatformPorts& ports);

    // Tile label → directory URL, from the Dock's "persistent-others". One malformed element
    // voids the whole map; a record lacking what is needed is left out on its own.
    DockFolderMap dockFolderMap() const;

    // The folder's visible items, sorted by `sort` with a stable sort. Never fails: a folder that
    // cannot be listed gives no entries, and an item whose values cannot be read is still listed
    // (not a directory, the distant past, no kind). Dates are read for the date sort only.
    std::vector<FolderState::EntryRef> entries(const Url& folder, FolderSort sort) const;

    // True for a file URL whose resource values say: a directory that is neither a package nor
    // an application. A failed read is false.
    static bool isPlainDirectory(FileResources& files, const Url& url);

private:
    UserDefaults* defaults_;
    FileResources* files_;
    Workspace* workspace_;
    Collation* collation_;
};

}  // namespace vantorel

#pragma once

#include <string>
#include <unordered_map>

#include "platform/Url.h"

namespace vantorel {

class FileResources;
class UserDefaults;

using DockFolderMap = std::unordered_map<std::string, Url>;

// Knows the folders of the Dock's document side. Holds no state of its own.
class FolderService {
public:
    FolderService(UserDefaults& defaults, FileResources& files)
        : defaults_(&defaults), files_(&files) {}

    // Tile label → directory URL, from the Dock's "persistent-others". One malformed element
    // voids the whole map; a record lacking what is needed is left out on its own.
    DockFolderMap dockFolderMap() const;

    // True for a file URL whose resource values say: a directory that is neither a package nor
    // an application. A failed read is false.
    static bool isPlainDirectory(FileResources& files, const Url& url);

private:
    UserDefaults* defaults_;
    FileResources* files_;
};

}  // namespace vantorel

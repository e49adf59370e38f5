#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/FileResources.h"

namespace vantorel {

// What the file system says an item is, after following symbolic links; `symlink` is a link
// whose target is missing or a loop.
enum class FileType {
    regular,
    directory,
    symlink,
    fifo,
    socket,
    characterDevice,
    blockDevice,
    other
};

// Resource values and listings read from the real file system. A directory named like a bundle
// of the platform we stand in for (".app", ".bundle", …) is a package; an ".app" one also an
// application. Symbolic links are followed; one that leads nowhere is described as itself.
class FileSystemResources final : public FileResources {
public:
    // The localized description of an item's kind from its name and type; empty when unknown.
    // Called from whichever thread reads the values, so it must be safe on any.
    using KindDescriber = std::function<std::string(std::string_view name, FileType type)>;

    explicit FileSystemResources(KindDescriber describeKind = {})
        : describeKind_(std::move(describeKind)) {}

    std::optional<ResourceValues> resourceValues(const Url& url) override;
    // What `path` is, following links; a link that leads nowhere is a symlink. Asked right after
    // this thread read the same path's values, or in order about the items this thread just
    // listed (as a listing does for each item's icon), the answer of that read is used instead
    // of asking the file system again.
    static FileType typeOfPath(const std::string& path);
    // Names beginning with a dot are hidden, and so are those listed in the folder's ".hidden"
    // file, as the desktop's file managers agree.
    std::optional<std::vector<Url>> contentsOfDirectory(const Url& folder,
                                                        bool skipsHiddenFiles) override;
    // Types from the directory entries themselves; an item is asked about only when its entry
    // leaves the type open (links), the folder cannot be searched, or dates are wanted.
    std::optional<std::vector<ListedItem>> contentsOfDirectoryWithValues(
        const Url& folder, bool skipsHiddenFiles, bool readsModificationDates) override;

private:
    ResourceValues valuesOf(std::string_view name, FileType type,
                            std::optional<WallTime> modified) const;

    KindDescriber describeKind_;
};

}  // namespace vantorel

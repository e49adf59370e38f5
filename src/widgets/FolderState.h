#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileResources.h"
#include "platform/Image.h"
#include "platform/Observers.h"
#include "platform/Url.h"

namespace vantorel {

// The model the folder popover draws: the folder's name and icon, and its entries, already
// sorted. Filled by the coordinator before each show and kept while hidden. Main thread only.
class FolderState {
public:
    // One item of a listed folder. Shared with the views; never changes once made.
    struct Entry {
        Url url;
        // The last path component, as the file system spells it (not necessarily UTF-8).
        std::string name;
        ImageRef icon;
        bool isDirectory = false;
        // kDistantPast when it could not be read, or was not: only the date sort needs it, and
        // reading it costs a question to the file system per item.
        WallTime modified;
        // Empty when it could not be read.
        std::string kindDescription;

        const std::string& id() const { return url.path(); }
    };
    using EntryRef = std::shared_ptr<const Entry>;

    static constexpr WallTime kDistantPast = WallTime::min();

    enum class Change { header, entries };
    using Subscription = Observers<Change>::Subscription;

    FolderState() = default;
    FolderState(const FolderState&) = delete;
    FolderState& operator=(const FolderState&) = delete;

    // Run when the user clicks an entry. Set once by the owner.
    std::function<void(const Url&)> onOpen;

    [[nodiscard]] Subscription observe(std::function<void(const Change&)> observer) {
        return observers_.subscribe(std::move(observer));
    }

    const std::string& folderName() const { return folderName_; }
    // An equal name, or the same icon, tells nobody.
    void setFolderName(std::string name);
    const ImageRef& folderIcon() const { return folderIcon_; }
    void setFolderIcon(ImageRef icon);
    const std::vector<EntryRef>& entries() const { return entries_; }
    void setEntries(std::vector<EntryRef> entries);

private:
    std::string folderName_;
    ImageRef folderIcon_;
    std::vector<EntryRef> entries_;
    Observers<Change> observers_;
};

}  // namespace vantorel

#include "widgets/FolderState.h"

namespace vantorel {

void FolderState::setFolderName(std::string name) {
    if (name == folderName_) return;
    folderName_ = std::move(name);
    observers_.notify(Change::header);
}

void FolderState::setFolderIcon(ImageRef icon) {
    if (icon == folderIcon_) return;
    folderIcon_ = std::move(icon);
    observers_.notify(Change::header);
}

void FolderState::setEntries(std::vector<EntryRef> entries) {
    entries_ = std::move(entries);
    observers_.notify(Change::entries);
}

}  // namespace vantorel

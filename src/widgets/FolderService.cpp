#include "widgets/FolderService.h"

#include <algorithm>
#include <map>

#include "platform/Collation.h"
#include "platform/FileResources.h"
#include "platform/PlatformPorts.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"

namespace vantorel {
namespace {

const DefaultsDictionary* dictionaryAt(const DefaultsDictionary& dict, const std::string& key) {
    const auto it = dict.find(key);
    return it == dict.end() ? nullptr : it->second.as<DefaultsDictionary>();
}

const std::string* stringAt(const DefaultsDictionary& dict, const std::string& key) {
    const auto it = dict.find(key);
    return it == dict.end() ? nullptr : it->second.as<std::string>();
}

std::string lastPathComponent(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An entry with the collation keys its sort compares.
struct Sortable {
    FolderState::EntryRef entry;
    std::string nameKey;
    const std::string* kindKey = nullptr;
};

}  // namespace

FolderService::FolderService(const PlatformPorts& ports)
    : FolderService(ports.defaults, ports.files, ports.workspace, ports.collation) {}

std::vector<FolderState::EntryRef> FolderService::entries(const Url& folder,
                                                          FolderSort sort) const {
    // Dates cost a question to the file system per item: only their sort reads them.
    auto listing =
        files_->contentsOfDirectoryWithValues(folder, true, sort == FolderSort::dateModified);
    if (!listing) return {};

    std::vector<Sortable> items;
    items.reserve(listing->size());
    // Most entries share a handful of kinds: one key each.
    std::map<std::string, std::string> kindKeys;
    for (ListedItem& listed : *listing) {
        auto entry = std::make_shared<FolderState::Entry>();
        entry->name = lastPathComponent(listed.url.path());
        entry->url = std::move(listed.url);
        entry->modified = FolderState::kDistantPast;
        if (auto& values = listed.values) {
            entry->isDirectory = values->isDirectory.value_or(false);
            entry->modified = values->contentModificationDate.value_or(FolderState::kDistantPast);
            if (values->localizedTypeDescription)
                entry->kindDescription = std::move(*values->localizedTypeDescription);
        }
        // In listing order, right after it: a workspace on the same file system may reuse what
        // the listing found.
        entry->icon = workspace_->iconForFile(entry->url.path());
        Sortable item{entry, {}, nullptr};
        if (sort != FolderSort::dateModified) item.nameKey = collation_->sortKey(entry->name);
        if (sort == FolderSort::kind) {
            auto [it, added] = kindKeys.try_emplace(entry->kindDescription);
            if (added) it->second = collation_->sortKey(entry->kindDescription);
            item.kindKey = &it->second;
        }
        items.push_back(std::move(item));
    }

    switch (sort) {
        case FolderSort::name:
            std::stable_sort(items.begin(), items.end(), [](const Sortable& a, const Sortable& b) {
                return a.nameKey < b.nameKey;
            });
            break;
        case FolderSort::dateModified:
            std::stable_sort(items.begin(), items.end(), [](const Sortable& a, const Sortable& b) {
                return a.entry->modified > b.entry->modified;
            });
            break;
        case FolderSort::kind:
            std::stable_sort(items.begin(), items.end(), [](const Sortable& a, const Sortable& b) {
                if (a.entry->kindDescription == b.entry->kindDescription)
                    return a.nameKey < b.nameKey;
                return *a.kindKey < *b.kindKey;
            });
            break;
    }

    std::vector<FolderState::EntryRef> sorted;
    sorted.reserve(items.size());
    for (auto& item : items)
        sorted.push_back(std::move(item.entry));
    return sorted;
}

bool FolderService::isPlainDirectory(FileResources& files, const Url& url) {
    if (!url.isFileUrl()) return false;
    const auto values = files.resourceValues(url);
    if (!values) return false;
    return values->isDirectory.value_or(false) && !values->isPackage.value_or(false) &&
           !values->isApplication.value_or(false);
}

DockFolderMap FolderService::dockFolderMap() const {
    DockFolderMap map;
    const auto dock = defaults_->suite("com.apple.dock");
    if (!dock) return map;
    const auto others = dock->object("persistent-others");
    const auto* records = others ? others->as<DefaultsArray>() : nullptr;
    if (!records) return map;
    for (const auto& record : *records) {
        if (!record.as<DefaultsDictionary>()) return map;
    }

    for (const auto& element : *records) {
        const auto& record = *element.as<DefaultsDictionary>();
        if (record.empty()) continue;
        const auto* tileData = dictionaryAt(record, "tile-data");
        if (!tileData) continue;
        const std::string* label = stringAt(*tileData, "file-label");
        if (!label) label = stringAt(*tileData, "label");
        if (!label) continue;
        const auto* fileData = dictionaryAt(*tileData, "file-data");
        if (!fileData) continue;
        const std::string* urlString = stringAt(*fileData, "_CFURLString");
        if (!urlString) continue;
        auto url = Url::parse(*urlString);
        if (!url || !isPlainDirectory(*files_, *url)) continue;
        map.insert_or_assign(*label, std::move(*url));
    }
    return map;
}

}  // namespace vantorel

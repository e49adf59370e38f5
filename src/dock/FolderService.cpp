#include "dock/FolderService.h"

#include "platform/FileResources.h"
#include "platform/UserDefaults.h"

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

}  // namespace

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

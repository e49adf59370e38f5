#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantorel {

// Ordering of a Dock folder's entries. The raw strings are what the defaults store holds.
enum class FolderSort { name, dateModified, kind };

inline constexpr std::array<FolderSort, 3> kAllFolderSorts = {
    FolderSort::name, FolderSort::dateModified, FolderSort::kind};

constexpr std::string_view toString(FolderSort sort) {
    switch (sort) {
        case FolderSort::name:
            return "name";
        case FolderSort::dateModified:
            return "dateModified";
        case FolderSort::kind:
            return "kind";
    }
    return "name";
}

constexpr std::optional<FolderSort> folderSortFromString(std::string_view raw) {
    for (const auto sort : kAllFolderSorts) {
        if (toString(sort) == raw) return sort;
    }
    return std::nullopt;
}

}  // namespace vantorel

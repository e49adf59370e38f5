#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantorel {

// Arrangement of the window cards. The raw strings are what the defaults store holds.
// `automatic` is stored as "auto" (the keyword cannot name a case).
enum class PreviewLayout { automatic, grid, list, large };

inline constexpr std::array<PreviewLayout, 4> kAllPreviewLayouts = {
    PreviewLayout::automatic, PreviewLayout::grid, PreviewLayout::list, PreviewLayout::large};

constexpr std::string_view toString(PreviewLayout layout) {
    switch (layout) {
        case PreviewLayout::automatic:
            return "auto";
        case PreviewLayout::grid:
            return "grid";
        case PreviewLayout::list:
            return "list";
        case PreviewLayout::large:
            return "large";
    }
    return "auto";
}

// Only an exact raw string names a case: "Grid" names none.
constexpr std::optional<PreviewLayout> previewLayoutFromString(std::string_view raw) {
    for (const auto layout : kAllPreviewLayouts) {
        if (toString(layout) == raw) return layout;
    }
    return std::nullopt;
}

}  // namespace vantorel

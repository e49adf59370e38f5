#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantorel {

// Size of the window cards. The raw strings are what the defaults store holds.
enum class PreviewSize { small, medium, large };

inline constexpr std::array<PreviewSize, 3> kAllPreviewSizes = {
    PreviewSize::small, PreviewSize::medium, PreviewSize::large};

constexpr std::string_view toString(PreviewSize size) {
    switch (size) {
        case PreviewSize::small:
            return "small";
        case PreviewSize::medium:
            return "medium";
        case PreviewSize::large:
            return "large";
    }
    return "medium";
}

constexpr std::optional<PreviewSize> previewSizeFromString(std::string_view raw) {
    for (const auto size : kAllPreviewSizes) {
        if (toString(size) == raw) return size;
    }
    return std::nullopt;
}

}  // namespace vantorel

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Image.h"

namespace vantorel {

// Readings of window properties as clients write them: any length, any content.
namespace X11Properties {

// Latin-1 bytes as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

// A window's name: the UTF-8 name when it is there and well-formed, else the legacy name, which
// is Latin-1 when latin1 is set and taken as it is otherwise (bytes that are not UTF-8 then read
// as Latin-1 too, so that what is shown is always valid text). A trailing NUL is dropped.
std::string windowName(std::optional<std::string_view> utf8Name,
                       std::optional<std::string_view> legacyName, bool latin1);

// The instance and class of WM_CLASS: two NUL-terminated strings, the last NUL often missing.
struct WindowClass {
    std::string instance;
    std::string className;
};
std::optional<WindowClass> windowClass(std::string_view bytes);

// Left, right, top and bottom frame extents; none unless there are four non-negative values
// below a sane limit.
struct FrameExtents {
    std::int64_t left = 0, right = 0, top = 0, bottom = 0;
};
std::optional<FrameExtents> frameExtents(std::span<const std::uint32_t> values);

// The image of _NET_WM_ICON (width, height, then width x height straight-alpha ARGB words, once
// per size) that suits wanted pixels best: the smallest at least that large, else the largest.
// Null when the values are malformed anywhere: a size of zero, larger than 4096 or longer than
// what follows.
ImageRef bestIcon(std::span<const std::uint32_t> values, int wanted);

}  // namespace X11Properties
}  // namespace vantorel

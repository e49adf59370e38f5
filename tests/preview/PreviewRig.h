#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Image.h"
#include "windows/WindowInfo.h"

namespace vantorel {

// A window of an application with pid 501; minimised ones have no window number.
inline WindowInfo window(std::uint32_t id, std::string title = {}, bool minimized = false) {
    WindowInfo info;
    info.id = id;
    info.cgWindowID = minimized ? 0 : id;
    info.title = std::move(title);
    info.isMinimized = minimized;
    info.ownerPID = 501;
    return info;
}

inline ImageRef solidImage(int width, int height, std::uint32_t argb = 0xff336699u) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), argb);
    return image;
}

}  // namespace vantorel

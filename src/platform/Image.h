#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vantorel {

// Pixels in 32-bit premultiplied ARGB, row-major, no padding. Shared immutably so that the UI
// can wrap the buffer without copying it.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool isValid() const {
        return width > 0 && height > 0 &&
               pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};

using ImageRef = std::shared_ptr<const Image>;

}  // namespace vantorel

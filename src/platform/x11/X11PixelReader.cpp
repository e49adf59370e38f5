#include "platform/x11/X11PixelReader.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/x11/XcbReply.h"

namespace vantorel {
namespace {

// Small windows share one class, so that a switcher full of them reuses one segment.
constexpr std::size_t kSmallestSegment = std::size_t{1} << 20;
constexpr int kLargestSide = 1 << 14;

ImageRef toImage(const void* data, int width, int height, int depth) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->pixels.resize(static_cast<std::size_t>(width) * height);
    std::memcpy(image->pixels.data(), data, image->pixels.size() * 4);
    // Without an alpha channel the top byte is undefined.
    if (depth != 32)
        for (auto& pixel : image->pixels)
            pixel |= 0xFF000000u;
    return image;
}

}  // namespace

X11PixelReader::X11PixelReader(xcb_connection_t* connection, Transport wanted) : c_(connection) {
    if (wanted != Transport::sharedMemory) return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c_, &xcb_shm_id);
    if (!extension || !extension->present) return;
    Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(c_, xcb_shm_query_version(c_), nullptr));
    shm_ = version != nullptr;
}

X11PixelReader::~X11PixelReader() {
    freeSegments();
}

void X11PixelReader::freeSegments() {
    for (auto& [size, segment] : segments_) {
        xcb_shm_detach(c_, segment.id);
        ::shmdt(segment.address);
    }
    if (!segments_.empty()) xcb_flush(c_);
    segments_.clear();
}

const X11PixelReader::Segment* X11PixelReader::segmentFor(std::size_t bytes) {
    const std::size_t size = std::bit_ceil(std::max(bytes, kSmallestSegment));
    if (const auto it = segments_.find(size); it != segments_.end()) return &it->second;
    const int id = ::shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id < 0) return nullptr;
    void* address = ::shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        ::shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
    Segment segment{xcb_generate_id(c_), address};
    Reply<xcb_generic_error_t> error(
        xcb_request_check(c_, xcb_shm_attach_checked(c_, segment.id, id, 0)));
    // Attached (or refused): the segment goes once both sides have let go of it.
    ::shmctl(id, IPC_RMID, nullptr);
    if (error) {
        ::shmdt(address);
        return nullptr;
    }
    return &segments_.emplace(size, segment).first->second;
}

ImageRef X11PixelReader::readShared(xcb_drawable_t drawable, int width, int height, int depth) {
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    const Segment* segment = segmentFor(bytes);
    if (!segment) return nullptr;
    Reply<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(
        c_,
        xcb_shm_get_image(c_, drawable, 0, 0, static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(height), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                          segment->id, 0),
        nullptr));
    if (!reply || reply->depth != depth || reply->size < bytes) return nullptr;
    return toImage(segment->address, width, height, depth);
}

ImageRef X11PixelReader::readSocket(xcb_drawable_t drawable, int width, int height, int depth) {
    Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        c_,
        xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, 0, 0,
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0u),
        nullptr));
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    if (!reply || reply->depth != depth ||
        static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) < bytes)
        return nullptr;
    return toImage(xcb_get_image_data(reply.get()), width, height, depth);
}

ImageRef X11PixelReader::read(xcb_drawable_t drawable, int width, int height, int depth,
                              std::string* error) {
    // Only 32-bit pixels are read as they come: what 24- and 32-deep visuals use.
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide || depth < 24) {
        if (error) *error = "the window's pixels are not in a format we read";
        return nullptr;
    }
    if (shm_) {
        if (ImageRef image = readShared(drawable, width, height, depth)) return image;
    }
    ImageRef image = readSocket(drawable, width, height, depth);
    if (image && shm_) {
        // The socket can read what shared memory could not: it is shared memory that fails.
        freeSegments();
        shm_ = false;
    }
    if (!image && error) *error = "the window's pixels could not be read";
    return image;
}

}  // namespace vantorel

#pragma once

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstddef>
#include <map>
#include <string>

#include "platform/Image.h"

namespace vantorel {

// Reads a drawable's pixels: through a shared-memory segment when the server offers MIT-SHM
// (a local server), else over the socket. Segments are kept per size class and reused until
// freeSegments. A shared-memory read that fails while the socket read works turns shared memory
// off for good: the server cannot share memory with us. The caller serialises the calls.
class X11PixelReader {
public:
    enum class Transport { sharedMemory, socket };

    // sharedMemory is a wish: without MIT-SHM the socket is used.
    X11PixelReader(xcb_connection_t* connection, Transport wanted);
    ~X11PixelReader();
    X11PixelReader(const X11PixelReader&) = delete;
    X11PixelReader& operator=(const X11PixelReader&) = delete;

    // The drawable's pixels, opaque unless depth is 32; null with the reason in error.
    ImageRef read(xcb_drawable_t drawable, int width, int height, int depth, std::string* error);
    void freeSegments();
    Transport transport() const { return shm_ ? Transport::sharedMemory : Transport::socket; }
    std::size_t segmentCount() const { return segments_.size(); }

private:
    struct Segment {
        xcb_shm_seg_t id = 0;
        void* address = nullptr;
    };
    const Segment* segmentFor(std::size_t bytes);
    ImageRef readShared(xcb_drawable_t drawable, int width, int height, int depth);
    ImageRef readSocket(xcb_drawable_t drawable, int width, int height, int depth);

    xcb_connection_t* c_;
    bool shm_ = false;
    std::map<std::size_t, Segment> segments_;
};

}  // namespace vantorel

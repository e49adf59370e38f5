#pragma once

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/Image.h"

namespace vantorel {

// Draws what a capture of a simulated window shows: a title-bar strip with the three window
// buttons and the title, and a body in the window's colour with a few lines of "text" that
// differ from window to window, so a thumbnail is recognisably that window.
class SimWindowPainter {
public:
    struct Content {
        std::string title;
        // The window's size in points; only its aspect ratio and proportions matter.
        Size size;
        std::uint32_t color = 0xff808080u;
    };

    // Largest side painted; the platform would refuse more.
    static constexpr std::int64_t kMaxSide = 8192;

    // An image of width x height pixels. With scalesToFit the window keeps its aspect ratio and
    // is centred on a transparent background; without, it is drawn at one pixel per point from
    // the top-left corner and cut off. frame > 0 adds a caret that moves from frame to frame.
    // nullptr when the size is out of range.
    static ImageRef paint(const Content& content, std::int64_t width, std::int64_t height,
                          bool scalesToFit, std::uint64_t frame = 0);
};

}  // namespace vantorel

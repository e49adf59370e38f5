#pragma once

#include <functional>

#include "platform/Geometry.h"

namespace vantorel {

// Port: a borderless floating panel window hosting one view. It sits above normal windows, never
// activates the application, and is sized, placed, faded and ordered out by its controller.
class PanelSurface {
public:
    virtual ~PanelSurface() = default;

    // The hosted view's size for what it shows now, laid out first. Untrusted: may be zero,
    // negative or not finite.
    virtual Size fittingSize() = 0;
    // On screen, including while a fade-out runs.
    virtual bool isVisible() const = 0;
    // A fade-out is running: the panel orders itself out when it ends.
    virtual bool isFadingOut() const = 0;

    virtual void setContentSize(Size size) = 0;
    // The frame's bottom-left corner in window-system coordinates (bottom-left origin of the
    // primary screen, y upward).
    virtual void setFrameOrigin(Point origin) = 0;

    // A hidden panel starts transparent, comes to the front without activating the application
    // and fades in over 0.18 s with an ease-out curve. A panel fading out turns back instead.
    virtual void fadeIn() = 0;
    // Fades out over 0.16 s, then orders the panel out; transparent until the next fade-in.
    virtual void fadeOut() = 0;

    // Comes to the front at once, without a fade and without activating the application.
    virtual void orderFront() = 0;
    // Leaves the screen at once.
    virtual void orderOut() = 0;

    // Told true when the pointer enters the hosted view and false when it leaves. Empty to stop.
    virtual void setHoverHandler(std::function<void(bool)> handler) = 0;
};

}  // namespace vantorel

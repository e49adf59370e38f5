#pragma once

#include <xcb/xcb.h>

#include <mutex>

#include "platform/Logger.h"
#include "platform/Scheduler.h"
#include "platform/ScreenCapture.h"

namespace vantorel {

// Stills of single windows through the Composite extension, on a connection of its own: the
// window is redirected only for the moment of the capture, its pixmap named and read, and the
// picture scaled down (never up) on the calling thread, which is the capture worker. Completions
// reach the main thread through the scheduler. Any thread.
class X11ScreenCapture final : public ScreenCapture {
public:
    // display: as for xcb_connect (null: $DISPLAY). The scheduler outlives this.
    X11ScreenCapture(const char* display, Scheduler& scheduler, Logger& logger);
    ~X11ScreenCapture() override;

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ShareableContentHandler completion) override;
    void captureImage(WindowNumber windowID, const CaptureConfiguration& configuration,
                      CaptureImageHandler completion) override;
    // Live streams are not offered: the stills are refreshed each time the switcher opens.
    std::shared_ptr<CaptureStream> createStream(WindowNumber windowID,
                                                const CaptureConfiguration& configuration) override;

    // The window's content at its own size, unscaled; the error's description when it cannot be
    // read (a minimised window has no content).
    ImageRef grab(WindowNumber windowID, std::string* error);

private:
    std::mutex mutex_;
    xcb_connection_t* connection_ = nullptr;
    bool composite_ = false;
    Scheduler& scheduler_;
    Log log_;
};

}  // namespace vantorel

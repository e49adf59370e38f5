#pragma once

#include <xcb/xcb.h>

#include <memory>
#include <string>

#include "platform/Executor.h"
#include "platform/Logger.h"
#include "platform/Scheduler.h"
#include "platform/ScreenCapture.h"
#include "platform/x11/X11PixelReader.h"

namespace vantorel {

// Single windows through the Composite extension, on a connection of its own. A window is
// redirected off screen only while the switcher holds the capture or a stream of it runs (else
// for the moment of one still), its pixmap named and read (see X11PixelReader) and the picture
// scaled down, never up, on the calling thread, which is the capture worker. A window that can
// no longer be read (minimised, so unmapped) answers with its last picture. Streams deliver a
// frame when the window was damaged, at most at the configured rate, so that a still window
// costs nothing. Completions reach the main thread through the scheduler.
//
// The port's calls come from any thread; hold and release are for the main thread, as are pump
// and sync, which read the damage the server reports.
class X11ScreenCapture final : public ScreenCapture {
public:
    using Transport = X11PixelReader::Transport;

    // display: as for xcb_connect (null: $DISPLAY). The scheduler and the worker outlive this.
    X11ScreenCapture(const char* display, Scheduler& scheduler, Executor& worker, Logger& logger,
                     Transport transport = Transport::sharedMemory);
    ~X11ScreenCapture() override;
    X11ScreenCapture(const X11ScreenCapture&) = delete;
    X11ScreenCapture& operator=(const X11ScreenCapture&) = delete;

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ShareableContentHandler completion) override;
    void captureImage(WindowNumber windowID, const CaptureConfiguration& configuration,
                      CaptureImageHandler completion) override;
    std::shared_ptr<CaptureStream> createStream(WindowNumber windowID,
                                                const CaptureConfiguration& configuration) override;

    // While held (counted), every listed window stays redirected, so that the ones others cover
    // have repainted their own pixels by the time they are captured. The work runs on the worker.
    void hold();
    void release();

    // The connection's descriptor; pump when it is readable and before the loop sleeps.
    int fileDescriptor() const;
    void pump();
    // A round trip, then pump: whatever the server reported before is handled.
    void sync();

    // The window's content at its own size, unscaled; the error's description when it cannot be
    // read (a minimised window has no content). On the worker.
    ImageRef grab(WindowNumber windowID, std::string* error);
    Transport transport() const;
    // Windows redirected now, by a hold, a stream or both, and shared-memory segments kept.
    std::size_t redirectedCount() const;
    std::size_t sharedSegmentCount() const;

private:
    class Stream;
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace vantorel

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Executor.h"
#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/PlatformPorts.h"
#include "platform/ScreenCapture.h"
#include "windows/StreamOutput.h"

namespace vantorel {

class Logger;
class Scheduler;

// Captures window images for the preview cards and the switcher: stills, and live streams of
// up to five frames a second. An actor: its session counter and its streams live on its own
// serial executor, and every call only posts there. Every answer (completions and frames)
// comes back on the main thread through the scheduler, never inside the call.
//
// Live streams belong to a capture session. A new session (beginSession, stopAll) stops every
// stream of the old one at once, and a stream whose start completes after its session was
// superseded is stopped again. Every asynchronous step re-checks the session when it resumes.
//
// Log lines (category "capture") are posted to the main thread too, so the logger is only ever
// used there.
//
// Call from the main thread. The ports and the executor must outlive the service; once it is
// gone, work still under way does nothing and its completions are not called.
class ThumbnailService {
public:
    using Session = std::uint64_t;
    using FrameCallback = StreamOutput::FrameCallback;

    // The size of every still and stream frame, in pixels.
    static constexpr Size kCaptureSize{568, 364};
    // At most five frames a second.
    static constexpr MediaTime kMinimumFrameInterval{1, 5};

    ThumbnailService(ScreenCapture& capture, Scheduler& main, Logger& logger, Executor& executor);
    ThumbnailService(const PlatformPorts& ports, Executor& executor);
    ThumbnailService(const ThumbnailService&) = delete;
    ThumbnailService& operator=(const ThumbnailService&) = delete;
    ~ThumbnailService();

    Size captureSize() const { return kCaptureSize; }

    // An image of the window, or nullptr: for window number 0 (no window-server window), a window
    // that is not on screen, or a capture that fails.
    void snapshot(WindowNumber windowID, std::function<void(ImageRef)> completion);
    // Starts a new session, stopping every live stream; answers the new session number.
    void beginSession(std::function<void(Session)> completion);
    // Starts a new session, stopping every live stream.
    void stopAll(std::function<void()> completion = {});
    // Starts a live stream of the window for the session, replacing the window's running stream.
    // onFrame receives every frame on the main thread until a newer session begins. completion
    // runs once the stream is running or has failed (or was dropped as stale).
    void startLive(WindowNumber windowID, Session session, FrameCallback onFrame,
                   std::function<void()> completion = {});
    // The session as the main thread knows it; it only ever grows.
    Session session() const { return *mainSession_; }
    // The windows that have a live stream, ascending.
    void liveWindowIDs(std::function<void(std::vector<WindowNumber>)> completion) const;

private:
    class Actor;
    void onActor(std::function<void(Actor&)> work) const;

    Scheduler& main_;
    Executor& executor_;
    std::shared_ptr<Actor> actor_;
    // The session as the main thread knows it: it moves on the moment a new session is asked
    // for, so that frames already on their way are not shown once the caller has moved on.
    // Only ever read or written on the main thread.
    std::shared_ptr<Session> mainSession_;
};

}  // namespace vantorel

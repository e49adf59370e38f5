#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Scheduler.h"
#include "platform/ScreenCapture.h"
#include "platform/sim/SimWindowServer.h"
#include "platform/sim/SimWindows.h"

namespace vantorel {

// Screen capture on the simulated desktop. Like the platform's capture service it does its work
// on its own side: every call only posts to the main thread, where the windows live, and every
// completion and frame comes from there, later. Stills and frames show the window's content
// (see SimWindowPainter); streams deliver a frame each configured interval on the scheduler's
// clock, and stop delivering when their window closes or leaves the screen.
//
// The control side below is for the main thread, and is meant to be set before the calls it
// should affect: the port side may run on another thread.
class SimScreenCapture final : public ScreenCapture {
public:
    // What the platform says when Screen Recording has not been granted.
    static constexpr const char* kDeclinedDescription =
        "The user declined TCCs for application, window, display capture";
    static constexpr const char* kWindowUnavailableDescription =
        "The window is no longer available";
    static constexpr const char* kInvalidConfigurationDescription =
        "The capture configuration is invalid";

    SimScreenCapture(Scheduler& main, SimWindows& windows, SimWindowServer& server)
        : main_(main), windows_(windows), server_(server) {}
    ~SimScreenCapture() override;
    SimScreenCapture(const SimScreenCapture&) = delete;
    SimScreenCapture& operator=(const SimScreenCapture&) = delete;

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ShareableContentHandler completion) override;
    void captureImage(WindowNumber windowID, const CaptureConfiguration& configuration,
                      CaptureImageHandler completion) override;
    std::shared_ptr<CaptureStream> createStream(WindowNumber windowID,
                                                const CaptureConfiguration& configuration) override;

    // Control side. Without Screen Recording the content query, stills and stream starts fail.
    // Granted by default; the permissions model decides it once it is wired in.
    void setScreenRecordingGranted(bool granted) { granted_ = granted; }
    bool screenRecordingGranted() const { return granted_; }
    // While set, every still fails with this description.
    void setStillCaptureError(std::optional<std::string> description) {
        stillError_ = std::move(description);
    }
    // While set, every still completes with neither an image nor an error.
    void setStillCaptureAnswersNothing(bool nothing) { stillAnswersNothing_ = nothing; }
    // While set, adding an output to a stream fails with this description.
    void setAddOutputError(std::optional<std::string> description) {
        addOutputError_ = std::move(description);
    }
    // While set, every stream start fails with this description.
    void setStreamStartError(std::optional<std::string> description) {
        startError_ = std::move(description);
    }
    // While holding, stream starts wait until released; a start released after its stream was
    // stopped or dropped completes with an error.
    void setHoldStreamStarts(bool hold) { holdStarts_ = hold; }
    std::size_t heldStartCount() const { return held_.size(); }
    void releaseHeldStarts();
    // Hands a sample to every output of every running stream of the window, whatever type the
    // output was added for, as a misbehaving platform might.
    void injectSample(WindowNumber windowID, StreamOutputType type, const SampleBuffer& buffer);

    // What happened, for tests (main thread).
    std::size_t contentQueryCount() const { return contentQueries_; }
    std::size_t stillCaptureCount() const { return stills_; }
    std::size_t startRequestCount() const { return startRequests_; }
    std::size_t stopRequestCount() const { return stopRequests_; }
    std::uint64_t framesDelivered() const { return framesDelivered_; }
    // One entry per running stream: the window it captures.
    std::vector<WindowNumber> runningStreams() const;
    const std::optional<CaptureConfiguration>& lastStillConfiguration() const {
        return lastStillConfiguration_;
    }
    const std::optional<CaptureConfiguration>& lastStreamConfiguration() const {
        return lastStreamConfiguration_;
    }

    // The frame interval a configuration asks for, bounded by what a display can do.
    static Duration frameInterval(const MediaTime& minimum);

private:
    class Stream;
    struct HeldStart {
        std::weak_ptr<Stream> stream;
        CaptureCompletionHandler completion;
    };

    bool capturable(WindowNumber windowID);
    static bool validConfiguration(const CaptureConfiguration& configuration);
    ImageRef render(WindowNumber windowID, const CaptureConfiguration& configuration,
                    std::uint64_t frame);
    void start(const std::shared_ptr<Stream>& stream, CaptureCompletionHandler completion);
    void finishStart(Stream& stream, const CaptureCompletionHandler& completion);
    void scheduleTick(const std::shared_ptr<Stream>& stream);
    void tick(const std::weak_ptr<Stream>& weak);
    void stop(Stream& stream, const CaptureCompletionHandler& completion);

    Scheduler& main_;
    SimWindows& windows_;
    SimWindowServer& server_;

    bool granted_ = true;
    std::optional<std::string> stillError_;
    bool stillAnswersNothing_ = false;
    std::optional<std::string> addOutputError_;
    std::optional<std::string> startError_;
    bool holdStarts_ = false;

    std::vector<HeldStart> held_;
    std::vector<std::weak_ptr<Stream>> streams_;
    std::size_t contentQueries_ = 0;
    std::size_t stills_ = 0;
    std::size_t startRequests_ = 0;
    std::size_t stopRequests_ = 0;
    std::uint64_t framesDelivered_ = 0;
    std::optional<CaptureConfiguration> lastStillConfiguration_;
    std::optional<CaptureConfiguration> lastStreamConfiguration_;
};

}  // namespace vantorel

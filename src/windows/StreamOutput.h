#pragma once

#include <functional>
#include <memory>

#include "platform/Image.h"
#include "platform/Scheduler.h"
#include "platform/ScreenCapture.h"

namespace vantorel {

// The receiver of one live stream's samples: turns every usable frame into an image and hands
// it to onFrame on the main thread, one posted task per frame (frames are not coalesced).
// Immutable once built, so the platform may deliver on any thread.
class StreamOutput {
public:
    using FrameCallback = std::function<void(ImageRef)>;

    StreamOutput(FrameCallback onFrame, Scheduler& main)
        : onFrame_(std::make_shared<const FrameCallback>(std::move(onFrame))), main_(&main) {}

    // One sample as the stream delivers it. Samples of another output type, invalid ones and
    // those that only report status (no image) are dropped.
    void stream(const SampleBuffer& buffer, StreamOutputType type) const;

    // What to register with the stream: it holds the output weakly, so samples that arrive
    // after the output is released go nowhere.
    static SampleHandler handler(const std::shared_ptr<StreamOutput>& output);

private:
    // The platform hands over an immutable buffer, so nothing is copied: a buffer whose pixels
    // do not match its size cannot be drawn and gives nothing.
    static ImageRef convert(const ImageRef& imageBuffer);

    std::shared_ptr<const FrameCallback> onFrame_;
    Scheduler* main_;
};

}  // namespace vantorel

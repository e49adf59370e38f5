#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/WindowServer.h"

namespace vantorel {

// What a failed capture call reports: the platform error's description.
struct CaptureError {
    std::string description;
};

// The windows the platform would let us capture at the moment of the query.
struct ShareableContent {
    std::vector<WindowNumber> windowIDs;
};

// A rational time, as the media clock keeps it: value / timescale seconds.
struct MediaTime {
    std::int64_t value = 0;
    std::int32_t timescale = 0;
};

// The capture settings for a still or a stream. Pixel sizes, as the platform takes them.
struct CaptureConfiguration {
    // The four-character code 'BGRA': the byte order of Image's 32-bit ARGB words in memory.
    static constexpr std::uint32_t kPixelFormatBGRA =
        (std::uint32_t{'B'} << 24) | (std::uint32_t{'G'} << 16) | (std::uint32_t{'R'} << 8) | 'A';

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t pixelFormat = kPixelFormatBGRA;
    bool showsCursor = true;
    bool capturesAudio = false;
    // Scale the window into width x height, keeping its aspect ratio.
    bool scalesToFit = false;
    // Streams only: the shortest time between two frames; zero means the display's own rate.
    MediaTime minimumFrameInterval;
};

// The kinds of sample a stream delivers; other values may arrive from a newer platform.
enum class StreamOutputType : std::int64_t { screen = 0, audio = 1, microphone = 2 };

// One sample a stream delivers. A buffer that only reports status carries no image.
struct SampleBuffer {
    bool isValid = false;
    ImageRef imageBuffer;
};

using ShareableContentHandler =
    std::function<void(std::optional<ShareableContent> content, std::optional<CaptureError> error)>;
using CaptureImageHandler = std::function<void(ImageRef image, std::optional<CaptureError> error)>;
using CaptureCompletionHandler = std::function<void(std::optional<CaptureError> error)>;
using SampleHandler = std::function<void(const SampleBuffer& buffer, StreamOutputType type)>;

// One stream of frames of one window. Releasing the last handle ends its deliveries.
class CaptureStream {
public:
    virtual ~CaptureStream() = default;
    // The handler receives every sample of that type, on a thread of the platform's choosing,
    // until the stream stops. Synchronous: the error, if the output cannot be added.
    virtual std::optional<CaptureError> addStreamOutput(StreamOutputType type,
                                                        SampleHandler handler) = 0;
    virtual void startCapture(CaptureCompletionHandler completion) = 0;
    virtual void stopCapture(CaptureCompletionHandler completion) = 0;
};

// Port: screen capture of single windows. Every call may be made from any thread; every
// completion runs later, never inside the call, on a thread of the platform's choosing, once.
// The answers are as loose as the platform's: both parts of a completion may be absent.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    virtual void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                     ShareableContentHandler completion) = 0;
    // One image of the window alone, whatever covers it.
    virtual void captureImage(WindowNumber windowID, const CaptureConfiguration& configuration,
                              CaptureImageHandler completion) = 0;
    // A stream of the window alone, not yet started; nullptr when the platform refuses.
    virtual std::shared_ptr<CaptureStream> createStream(
        WindowNumber windowID, const CaptureConfiguration& configuration) = 0;
};

}  // namespace vantorel

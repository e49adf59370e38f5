#include "platform/sim/SimScreenCapture.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/sim/SimWindowPainter.h"

namespace vantorel {
namespace {

constexpr double kDisplayInterval = 1.0 / 60;
constexpr double kLongestInterval = 3600;

void complete(const CaptureCompletionHandler& completion, std::optional<CaptureError> error) {
    if (completion) completion(std::move(error));
}

std::optional<double> number(const WindowServerValue* value) {
    if (!value) return std::nullopt;
    if (const auto* i = value->as<std::int64_t>()) return static_cast<double>(*i);
    if (const auto* d = value->as<double>()) return *d;
    return std::nullopt;
}

const WindowServerValue* find(const WindowServerDictionary& dictionary, std::string_view key) {
    const auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &it->second;
}

}  // namespace

class SimScreenCapture::Stream final : public CaptureStream,
                                       public std::enable_shared_from_this<Stream> {
public:
    enum class State { idle, starting, running, stopped, ended, failed };

    Stream(SimScreenCapture& capture, WindowNumber windowID, CaptureConfiguration configuration)
        : capture_(capture), window_(windowID), configuration_(std::move(configuration)) {}

    std::optional<CaptureError> addStreamOutput(StreamOutputType type,
                                                SampleHandler handler) override {
        if (!handler) return CaptureError{"The stream output is invalid"};
        if (capture_.addOutputError_) return CaptureError{*capture_.addOutputError_};
        capture_.main_.post([self = shared_from_this(), type, handler = std::move(handler)] {
            self->outputs_.emplace_back(type, handler);
        });
        return std::nullopt;
    }

    void startCapture(CaptureCompletionHandler completion) override {
        capture_.main_.post([self = shared_from_this(), completion = std::move(completion)] {
            self->capture_.start(self, completion);
        });
    }

    void stopCapture(CaptureCompletionHandler completion) override {
        capture_.main_.post([self = shared_from_this(), completion = std::move(completion)] {
            self->capture_.stop(*self, completion);
        });
    }

    // Everything below is the main thread's.
    SimScreenCapture& capture_;
    const WindowNumber window_;
    const CaptureConfiguration configuration_;
    std::vector<std::pair<StreamOutputType, SampleHandler>> outputs_;
    State state_ = State::idle;
    std::uint64_t frames_ = 0;
    TaskHandle nextFrame_;
};

SimScreenCapture::~SimScreenCapture() {
    // Pending frames would reach back into this object.
    for (const auto& weak : streams_) {
        if (auto stream = weak.lock()) stream->nextFrame_.cancel();
    }
}

void SimScreenCapture::getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                           ShareableContentHandler completion) {
    main_.post(
        [this, excludingDesktopWindows, onScreenWindowsOnly, completion = std::move(completion)] {
            ++contentQueries_;
            if (!completion) return;
            if (!granted_) {
                completion(std::nullopt, CaptureError{kDeclinedDescription});
                return;
            }
            ShareableContent content;
            for (const WindowNumber number : server_.order()) {
                const auto* record = server_.record(number);
                if (onScreenWindowsOnly && !record->onScreen) continue;
                if (excludingDesktopWindows && record->desktopElement) continue;
                content.windowIDs.push_back(number);
            }
            completion(std::move(content), std::nullopt);
        });
}

void SimScreenCapture::captureImage(WindowNumber windowID,
                                    const CaptureConfiguration& configuration,
                                    CaptureImageHandler completion) {
    main_.post([this, windowID, configuration, completion = std::move(completion)] {
        ++stills_;
        lastStillConfiguration_ = configuration;
        if (!completion) return;
        if (!granted_) {
            completion(nullptr, CaptureError{kDeclinedDescription});
        } else if (stillError_) {
            completion(nullptr, CaptureError{*stillError_});
        } else if (stillAnswersNothing_) {
            completion(nullptr, std::nullopt);
        } else if (!validConfiguration(configuration)) {
            completion(nullptr, CaptureError{kInvalidConfigurationDescription});
        } else if (!capturable(windowID)) {
            completion(nullptr, CaptureError{kWindowUnavailableDescription});
        } else {
            completion(render(windowID, configuration, 0), std::nullopt);
        }
    });
}

std::shared_ptr<CaptureStream> SimScreenCapture::createStream(
    WindowNumber windowID, const CaptureConfiguration& configuration) {
    return std::make_shared<Stream>(*this, windowID, configuration);
}

void SimScreenCapture::releaseHeldStarts() {
    auto held = std::exchange(held_, {});
    for (auto& start : held) {
        auto stream = start.stream.lock();
        if (!stream) {
            complete(start.completion, CaptureError{"The stream was released before it started"});
        } else if (stream->state_ != Stream::State::starting) {
            complete(start.completion, CaptureError{"The stream was stopped before it started"});
        } else {
            finishStart(*stream, start.completion);
        }
    }
}

void SimScreenCapture::injectSample(WindowNumber windowID, StreamOutputType type,
                                    const SampleBuffer& buffer) {
    for (const auto& weak : streams_) {
        auto stream = weak.lock();
        if (!stream || stream->window_ != windowID || stream->state_ != Stream::State::running) {
            continue;
        }
        const auto outputs = stream->outputs_;
        for (const auto& output : outputs)
            output.second(buffer, type);
    }
}

std::vector<WindowNumber> SimScreenCapture::runningStreams() const {
    std::vector<WindowNumber> out;
    for (const auto& weak : streams_) {
        auto stream = weak.lock();
        if (stream && stream->state_ == Stream::State::running) out.push_back(stream->window_);
    }
    return out;
}

Duration SimScreenCapture::frameInterval(const MediaTime& minimum) {
    double seconds = kDisplayInterval;
    if (minimum.value > 0 && minimum.timescale > 0) {
        seconds = static_cast<double>(minimum.value) / static_cast<double>(minimum.timescale);
    }
    seconds = std::clamp(seconds, kDisplayInterval, kLongestInterval);
    return Duration(std::llround(seconds * 1e9));
}

bool SimScreenCapture::capturable(WindowNumber windowID) {
    const auto* record = server_.record(windowID);
    return record && record->onScreen;
}

bool SimScreenCapture::validConfiguration(const CaptureConfiguration& configuration) {
    return configuration.width >= 1 && configuration.height >= 1 &&
           configuration.width <= SimWindowPainter::kMaxSide &&
           configuration.height <= SimWindowPainter::kMaxSide &&
           configuration.pixelFormat == CaptureConfiguration::kPixelFormatBGRA;
}

ImageRef SimScreenCapture::render(WindowNumber windowID, const CaptureConfiguration& configuration,
                                  std::uint64_t frame) {
    SimWindowPainter::Content content;
    if (const SimWindow* window = windows_.find(windowID)) {
        content.title = window->spec.title;
        content.size = window->spec.frame.size;
        content.color = window->spec.color;
    } else if (const auto* record = server_.record(windowID)) {
        // A window only the window server knows: drawn from its description.
        if (const auto* info = record->info.as<WindowServerDictionary>()) {
            if (const auto* name = find(*info, WindowServer::kName)) {
                if (const auto* text = name->as<std::string>()) content.title = *text;
            }
            if (const auto* bounds = find(*info, WindowServer::kBounds)) {
                if (const auto* b = bounds->as<WindowServerDictionary>()) {
                    content.size.width = number(find(*b, WindowServer::kWidth)).value_or(0);
                    content.size.height = number(find(*b, WindowServer::kHeight)).value_or(0);
                }
            }
        }
    }
    return SimWindowPainter::paint(content, configuration.width, configuration.height,
                                   configuration.scalesToFit, frame);
}

void SimScreenCapture::start(const std::shared_ptr<Stream>& stream,
                             CaptureCompletionHandler completion) {
    ++startRequests_;
    lastStreamConfiguration_ = stream->configuration_;
    if (stream->state_ != Stream::State::idle) {
        complete(completion, CaptureError{"The stream has already been started"});
        return;
    }
    std::erase_if(streams_, [](const auto& weak) { return weak.expired(); });
    streams_.push_back(stream);
    stream->state_ = Stream::State::starting;
    if (holdStarts_) {
        held_.push_back({stream, std::move(completion)});
        return;
    }
    finishStart(*stream, completion);
}

void SimScreenCapture::finishStart(Stream& stream, const CaptureCompletionHandler& completion) {
    std::optional<CaptureError> error;
    if (!granted_) {
        error = CaptureError{kDeclinedDescription};
    } else if (startError_) {
        error = CaptureError{*startError_};
    } else if (!validConfiguration(stream.configuration_)) {
        error = CaptureError{kInvalidConfigurationDescription};
    } else if (!capturable(stream.window_)) {
        error = CaptureError{kWindowUnavailableDescription};
    }
    if (error) {
        stream.state_ = Stream::State::failed;
        complete(completion, std::move(error));
        return;
    }
    stream.state_ = Stream::State::running;
    scheduleTick(stream.shared_from_this());
    complete(completion, std::nullopt);
}

void SimScreenCapture::scheduleTick(const std::shared_ptr<Stream>& stream) {
    stream->nextFrame_ =
        main_.schedule(frameInterval(stream->configuration_.minimumFrameInterval),
                       [this, weak = std::weak_ptr<Stream>(stream)] { tick(weak); });
}

void SimScreenCapture::tick(const std::weak_ptr<Stream>& weak) {
    auto stream = weak.lock();
    if (!stream || stream->state_ != Stream::State::running) return;
    if (!capturable(stream->window_)) {
        // The window closed or left the screen: the stream falls silent and stays so.
        stream->state_ = Stream::State::ended;
        return;
    }
    scheduleTick(stream);
    const SampleBuffer buffer{true,
                              render(stream->window_, stream->configuration_, ++stream->frames_)};
    ++framesDelivered_;
    const auto outputs = stream->outputs_;
    for (const auto& [type, handler] : outputs) {
        if (type == StreamOutputType::screen) handler(buffer, StreamOutputType::screen);
    }
}

void SimScreenCapture::stop(Stream& stream, const CaptureCompletionHandler& completion) {
    ++stopRequests_;
    if (stream.state_ != Stream::State::running && stream.state_ != Stream::State::starting) {
        complete(completion, CaptureError{"The stream is not running"});
        return;
    }
    stream.state_ = Stream::State::stopped;
    stream.nextFrame_.cancel();
    complete(completion, std::nullopt);
}

}  // namespace vantorel

#include "windows/ThumbnailService.h"

#include <algorithm>
#include <map>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/Logger.h"
#include "platform/Scheduler.h"
#include "windows/LiveCapture.h"

namespace vantorel {
namespace {

constexpr std::string_view kCategory = "capture";

// Stop requests never report back.
void ignoreStop(std::optional<CaptureError>) {}

}  // namespace

class ThumbnailService::Actor : public std::enable_shared_from_this<Actor> {
public:
    Actor(ScreenCapture& capture, Scheduler& main, Logger& logger, Executor& executor)
        : capture_(capture), main_(main), logger_(logger), executor_(executor) {}

    // Everything from here on runs on the executor.

    void snapshot(WindowNumber windowID, std::function<void(ImageRef)> completion) {
        findWindow(windowID, [windowID, completion](Actor& self, bool found) {
            if (!found) {
                self.answer(completion, ImageRef{});
                return;
            }
            self.capture_.captureImage(
                windowID, self.configuration(false),
                self.resume<ImageRef, std::optional<CaptureError>>(
                    [windowID, completion](Actor& actor, ImageRef image,
                                           std::optional<CaptureError> error) {
                        if (error) {
                            actor.log(LogLevel::error, "Still capture failed for " +
                                                           std::to_string(windowID) + ": " +
                                                           error->description);
                            image = nullptr;
                        }
                        // An image that cannot be drawn is as good as none.
                        if (image && !image->isValid()) image = nullptr;
                        actor.answer(completion, std::move(image));
                    }));
        });
    }

    Session beginSession() {
        ++session_;
        stopStreams();
        return session_;
    }

    void stopAll() {
        ++session_;
        stopStreams();
    }

    void startLive(WindowNumber windowID, Session session, FrameCallback onFrame,
                   std::function<void()> completion) {
        if (windowID == 0 || session != session_) {
            answer(completion);
            return;
        }
        drop(windowID);
        findWindow(windowID, [windowID, session, onFrame, completion](Actor& self, bool found) {
            // Superseded while the content was being asked for: nobody wants this stream now.
            if (!found || session != self.session_) {
                self.answer(completion);
                return;
            }
            self.openStream(windowID, session, onFrame, completion);
        });
    }

    std::vector<WindowNumber> liveWindowIDs() const {
        std::vector<WindowNumber> out;
        for (const auto& entry : liveStreams_)
            out.push_back(entry.first);
        return out;
    }

    // Runs the completion on the main thread with the given answer.
    template <typename... Args>
    void answer(std::function<void(Args...)> completion, std::type_identity_t<Args>... args) {
        if (!completion) return;
        main_.post([completion = std::move(completion), ... args = std::move(args)]() mutable {
            completion(std::move(args)...);
        });
    }

private:
    // Wraps what runs when a platform call completes, on whatever thread: the body runs later on
    // the executor, at most once, and only while the actor is alive.
    template <typename... Args>
    std::function<void(Args...)> resume(
        std::type_identity_t<std::function<void(Actor&, Args...)>> body) {
        return [weak = weak_from_this(), body = std::move(body)](Args... args) mutable {
            auto self = weak.lock();
            if (!self || !body) return;
            self->executor_.post(
                [weak, body = std::exchange(body, nullptr), ... args = std::move(args)]() mutable {
                    if (auto actor = weak.lock()) body(*actor, std::move(args)...);
                });
        };
    }

    // Whether the window is among the windows that can be captured now.
    void findWindow(WindowNumber windowID, std::function<void(Actor&, bool)> next) {
        capture_.getShareableContent(
            false, true,
            resume<std::optional<ShareableContent>, std::optional<CaptureError>>(
                [windowID, next](Actor& self, std::optional<ShareableContent> content,
                                 std::optional<CaptureError> error) {
                    if (error || !content) {
                        self.log(LogLevel::error,
                                 "SCShareableContent failed: " +
                                     (error ? error->description : std::string("no content")));
                        next(self, false);
                        return;
                    }
                    const auto& ids = content->windowIDs;
                    next(self, std::find(ids.begin(), ids.end(), windowID) != ids.end());
                }));
    }

    void openStream(WindowNumber windowID, Session session, const FrameCallback& onFrame,
                    const std::function<void()>& completion) {
        auto stream = capture_.createStream(windowID, configuration(true));
        if (!stream) {
            log(LogLevel::error, "Live stream failed: the stream could not be created");
            answer(completion);
            return;
        }
        auto output = std::make_shared<StreamOutput>(onFrame, main_);
        if (auto error =
                stream->addStreamOutput(StreamOutputType::screen, StreamOutput::handler(output))) {
            log(LogLevel::error, "Live stream failed: " + error->description);
            answer(completion);
            return;
        }
        stream->startCapture(resume<std::optional<CaptureError>>(
            [windowID, session, stream, output, completion](Actor& self,
                                                            std::optional<CaptureError> error) {
                self.started(windowID, session, LiveCapture{stream, output}, error);
                self.answer(completion);
            }));
    }

    void started(WindowNumber windowID, Session session, LiveCapture live,
                 const std::optional<CaptureError>& error) {
        if (error) {
            log(LogLevel::error, "Live stream failed: " + error->description);
            return;
        }
        if (session != session_) {
            live.stream->stopCapture(ignoreStop);
            log(LogLevel::debug, "Dropped late live stream for " + std::to_string(windowID) +
                                     " (session superseded)");
            return;
        }
        // Another start for the same window may have finished while this one was starting; the
        // later one wins and the other is stopped rather than left running unseen.
        drop(windowID);
        liveStreams_.emplace(windowID, std::move(live));
    }

    void drop(WindowNumber windowID) {
        const auto it = liveStreams_.find(windowID);
        if (it == liveStreams_.end()) return;
        it->second.stream->stopCapture(ignoreStop);
        liveStreams_.erase(it);
    }

    void stopStreams() {
        const std::size_t count = liveStreams_.size();
        for (const auto& entry : liveStreams_)
            entry.second.stream->stopCapture(ignoreStop);
        liveStreams_.clear();
        if (count > 0) {
            log(LogLevel::debug,
                "Stopped " + std::to_string(count) + " live stream(s); capture idle");
        }
    }

    CaptureConfiguration configuration(bool stream) const {
        CaptureConfiguration c;
        c.width = static_cast<std::int64_t>(captureSize_.width);
        c.height = static_cast<std::int64_t>(captureSize_.height);
        c.pixelFormat = CaptureConfiguration::kPixelFormatBGRA;
        c.showsCursor = false;
        c.capturesAudio = false;
        c.scalesToFit = true;
        if (stream) c.minimumFrameInterval = kMinimumFrameInterval;
        return c;
    }

    void log(LogLevel level, std::string message) {
        main_.post([logger = &logger_, level, message = std::move(message)] {
            const Log log(*logger, kCategory);
            switch (level) {
                case LogLevel::debug:
                    log.debug(message);
                    break;
                case LogLevel::info:
                    log.info(message);
                    break;
                case LogLevel::error:
                    log.error(message);
                    break;
            }
        });
    }

    ScreenCapture& capture_;
    Scheduler& main_;
    Logger& logger_;
    Executor& executor_;

    const Size captureSize_ = kCaptureSize;
    std::map<WindowNumber, LiveCapture> liveStreams_;
    Session session_ = 0;
};

ThumbnailService::ThumbnailService(ScreenCapture& capture, Scheduler& main, Logger& logger,
                                   Executor& executor)
    : main_(main),
      executor_(executor),
      actor_(std::make_shared<Actor>(capture, main, logger, executor)),
      mainSession_(std::make_shared<Session>(0)) {}

ThumbnailService::ThumbnailService(const PlatformPorts& ports, Executor& executor)
    : ThumbnailService(ports.capture, ports.scheduler, ports.logger, executor) {}

ThumbnailService::~ThumbnailService() = default;

void ThumbnailService::onActor(std::function<void(Actor&)> work) const {
    executor_.post([weak = std::weak_ptr<Actor>(actor_), work = std::move(work)] {
        if (auto actor = weak.lock()) work(*actor);
    });
}

void ThumbnailService::snapshot(WindowNumber windowID, std::function<void(ImageRef)> completion) {
    // A window without a window-server number cannot be captured: no need to ask anyone.
    if (windowID == 0) {
        if (completion) main_.post([completion = std::move(completion)] { completion(nullptr); });
        return;
    }
    onActor([windowID, completion = std::move(completion)](Actor& actor) {
        actor.snapshot(windowID, completion);
    });
}

void ThumbnailService::beginSession(std::function<void(Session)> completion) {
    ++*mainSession_;
    onActor([completion = std::move(completion)](Actor& actor) {
        const Session session = actor.beginSession();
        actor.answer(completion, session);
    });
}

void ThumbnailService::stopAll(std::function<void()> completion) {
    ++*mainSession_;
    onActor([completion = std::move(completion)](Actor& actor) {
        actor.stopAll();
        actor.answer(completion);
    });
}

void ThumbnailService::startLive(WindowNumber windowID, Session session, FrameCallback onFrame,
                                 std::function<void()> completion) {
    FrameCallback gated = [current = mainSession_, session,
                           onFrame = std::move(onFrame)](ImageRef image) {
        if (*current == session && onFrame) onFrame(std::move(image));
    };
    onActor([windowID, session, gated = std::move(gated), completion = std::move(completion)](
                Actor& actor) { actor.startLive(windowID, session, gated, completion); });
}

void ThumbnailService::liveWindowIDs(
    std::function<void(std::vector<WindowNumber>)> completion) const {
    onActor([completion = std::move(completion)](Actor& actor) {
        actor.answer(completion, actor.liveWindowIDs());
    });
}

}  // namespace vantorel

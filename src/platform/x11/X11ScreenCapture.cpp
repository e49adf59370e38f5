#include "platform/x11/X11ScreenCapture.h"

#include <xcb/composite.h>
#include <xcb/damage.h>

#include "platform/qt/ImageConversion.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/x11/XcbReply.h"

namespace vantorel {
namespace {

// The last pictures of windows that may vanish from the screen, oldest dropped first.
constexpr std::size_t kLastFrameBudget = std::size_t{64} << 20;
// What a stream without a rate of its own runs at: the display's.
constexpr Duration kDisplayInterval = std::chrono::microseconds(16667);

ImageRef scaledToFit(ImageRef source, const CaptureConfiguration& configuration) {
    if (!configuration.scalesToFit || configuration.width <= 0 || configuration.height <= 0)
        return source;
    if (source->width <= configuration.width && source->height <= configuration.height)
        return source;  // never up: small windows keep their own pixels
    return fromQImage(toQImage(source).scaled(
        static_cast<int>(std::min<std::int64_t>(configuration.width, 1 << 14)),
        static_cast<int>(std::min<std::int64_t>(configuration.height, 1 << 14)),
        Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

Duration intervalOf(const MediaTime& time) {
    if (time.value <= 0 || time.timescale <= 0) return kDisplayInterval;
    const double seconds = static_cast<double>(time.value) / time.timescale;
    // A minute between frames is as slow as anyone means.
    return std::chrono::duration_cast<Duration>(
        std::chrono::duration<double>(std::min(seconds, 60.0)));
}

}  // namespace

struct X11ScreenCapture::State {
    State(Scheduler& s, Executor& w, Logger& logger)
        : scheduler(s), worker(w), log(logger, "capture") {}
    ~State() {
        reader.reset();
        xcb_disconnect(c);
    }

    Scheduler& scheduler;
    Executor& worker;
    Log log;
    xcb_connection_t* c = nullptr;
    xcb_window_t root = XCB_NONE;
    bool composite = false;
    bool damage = false;
    std::uint8_t damageNotify = 0;

    // Everything below is guarded by the mutex: the worker, stream starts and stops share it.
    mutable std::mutex mutex;
    std::unique_ptr<X11PixelReader> reader;
    int holds = 0;
    std::set<xcb_window_t> held;
    // Live streams per window.
    std::map<xcb_window_t, int> streamed;
    struct Frame {
        ImageRef image;
        std::uint64_t stamp = 0;
    };
    std::map<xcb_window_t, Frame> lastFrames;
    std::uint64_t stamp = 0;
    std::size_t frameBytes = 0;

    // Which stream a damage object reports for; pump reads it on the main thread.
    std::mutex damageMutex;
    std::map<std::uint32_t, std::weak_ptr<Stream>> damages;

    bool redirected(xcb_window_t w) const { return held.contains(w) || streamed.contains(w); }

    std::vector<xcb_window_t> clientList() {
        const char kList[] = "_NET_CLIENT_LIST";
        Reply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kList - 1, kList), nullptr));
        if (!atom) return {};
        Reply<xcb_get_property_reply_t> list(xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1 << 16), nullptr));
        if (!list || list->format != 32) return {};
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(list.get()));
        return {values, values + xcb_get_property_value_length(list.get()) / 4};
    }

    ImageRef grab(xcb_window_t window, std::string* error) {
        if (!composite) {
            if (error) *error = "no Composite extension";
            return nullptr;
        }
        const bool transient = !redirected(window);
        if (transient) xcb_composite_redirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        const xcb_pixmap_t pixmap = xcb_generate_id(c);
        // Named at each read: a resize gives the window a new pixmap.
        Reply<xcb_generic_error_t> nameError(
            xcb_request_check(c, xcb_composite_name_window_pixmap_checked(c, window, pixmap)));
        ImageRef result;
        if (nameError) {
            if (error)
                *error = "the window has no content to read (X error " +
                         std::to_string(nameError->error_code) + ")";
        } else {
            Reply<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(c, xcb_get_geometry(c, pixmap), nullptr));
            if (geometry) {
                const Transport before = reader->transport();
                result =
                    reader->read(pixmap, geometry->width, geometry->height, geometry->depth, error);
                if (before != reader->transport())
                    log.error("Shared memory with the X server failed; reading over the socket");
            } else if (error) {
                *error = "the window went away";
            }
            xcb_free_pixmap(c, pixmap);
        }
        if (transient) xcb_composite_unredirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        xcb_flush(c);
        return result;
    }

    void remember(xcb_window_t window, const ImageRef& image) {
        auto& frame = lastFrames[window];
        if (frame.image) frameBytes -= frame.image->pixels.size() * 4;
        frame = {image, ++stamp};
        frameBytes += image->pixels.size() * 4;
        while (frameBytes > kLastFrameBudget && !lastFrames.empty()) {
            const auto oldest = std::min_element(
                lastFrames.begin(), lastFrames.end(),
                [](const auto& a, const auto& b) { return a.second.stamp < b.second.stamp; });
            frameBytes -= oldest->second.image->pixels.size() * 4;
            lastFrames.erase(oldest);
        }
    }

    void forgetAllBut(const std::vector<WindowNumber>& ids) {
        const std::set<WindowNumber> present(ids.begin(), ids.end());
        std::erase_if(lastFrames, [&](const auto& entry) {
            if (present.contains(entry.first)) return false;
            frameBytes -= entry.second.image->pixels.size() * 4;
            return true;
        });
    }

    void unredirect(xcb_window_t window) {
        if (redirected(window)) return;
        xcb_composite_unredirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
    }

    // Nothing redirected: nothing worth keeping shared memory for.
    void freeWhenIdle() {
        if (held.empty() && streamed.empty() && holds == 0) reader->freeSegments();
        xcb_flush(c);
    }

    std::vector<std::shared_ptr<Stream>> pump(bool roundTrip);
};

class X11ScreenCapture::Stream final : public CaptureStream,
                                       public std::enable_shared_from_this<Stream> {
public:
    Stream(const std::shared_ptr<State>& state, xcb_window_t window,
           const CaptureConfiguration& configuration)
        : state_(state),
          scheduler_(state->scheduler),
          worker_(state->worker),
          window_(window),
          configuration_(configuration),
          interval_(intervalOf(configuration.minimumFrameInterval)) {}
    ~Stream() override { stop(); }

    std::optional<CaptureError> addStreamOutput(StreamOutputType type,
                                                SampleHandler handler) override {
        if (type != StreamOutputType::screen)
            return CaptureError{"Only the window's frames can be streamed"};
        std::lock_guard lock(handlerMutex_);
        handler_ = std::move(handler);
        return std::nullopt;
    }

    void startCapture(CaptureCompletionHandler completion) override {
        std::optional<CaptureError> error = start();
        if (!error) {
            // The first frame at once; later ones when the window changes.
            scheduler_.post([weak = weak_from_this()] {
                if (const auto self = weak.lock()) self->damaged();
            });
        }
        answer(std::move(completion), std::move(error));
    }

    void stopCapture(CaptureCompletionHandler completion) override {
        const bool wasRunning = stop();
        answer(std::move(completion),
               wasRunning ? std::nullopt
                          : std::optional<CaptureError>(CaptureError{"The stream is not running"}));
    }

    // The window changed (main thread): a frame once the interval since the last one is over.
    void damaged() {
        if (!started_) return;
        if (pending_) {
            again_ = true;
            return;
        }
        pending_ = true;
        const Duration delay =
            last_ ? std::max(Duration::zero(), *last_ + interval_ - scheduler_.now())
                  : Duration::zero();
        scheduler_.schedule(delay, [weak = weak_from_this(), &worker = worker_] {
            worker.post([weak] {
                if (const auto self = weak.lock()) self->deliver();
            });
        });
    }

private:
    std::optional<CaptureError> start() {
        const auto state = state_.lock();
        if (!state) return CaptureError{"The capture service has gone"};
        if (!state->composite || !state->damage)
            return CaptureError{"The X server cannot follow a window's changes"};
        std::lock_guard lock(state->mutex);
        if (started_) return CaptureError{"The stream is already running"};
        if (++state->streamed[window_] == 1 && !state->held.contains(window_))
            xcb_composite_redirect_window(state->c, window_, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        damage_ = xcb_generate_id(state->c);
        xcb_damage_create(state->c, damage_, window_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(state->c);
        {
            std::lock_guard damageLock(state->damageMutex);
            state->damages[damage_] = weak_from_this();
        }
        started_ = true;
        return std::nullopt;
    }

    bool stop() {
        const auto state = state_.lock();
        if (!state) return started_.exchange(false);
        std::lock_guard lock(state->mutex);
        if (!started_.exchange(false)) return false;
        {
            std::lock_guard damageLock(state->damageMutex);
            state->damages.erase(damage_);
        }
        xcb_damage_destroy(state->c, damage_);
        if (--state->streamed[window_] <= 0) {
            state->streamed.erase(window_);
            state->unredirect(window_);
        }
        state->freeWhenIdle();
        return true;
    }

    void deliver() {
        const auto state = state_.lock();
        if (!state || !started_) return;
        ImageRef image;
        {
            std::lock_guard lock(state->mutex);
            if (!started_) return;
            // Subtracted before the read: whatever is drawn meanwhile reports again.
            xcb_damage_subtract(state->c, damage_, XCB_NONE, XCB_NONE);
            image = state->grab(window_, nullptr);
        }
        if (image) {
            image = scaledToFit(std::move(image), configuration_);
            std::lock_guard lock(state->mutex);
            state->remember(window_, image);
        }
        SampleHandler handler;
        {
            std::lock_guard lock(handlerMutex_);
            handler = handler_;
        }
        // An unmapped window has no frame to give; its last one stays where it is shown.
        if (image && handler) handler(SampleBuffer{true, image}, StreamOutputType::screen);
        scheduler_.post([weak = weak_from_this(), wstate = state_] {
            const auto self = weak.lock();
            if (!self) return;
            self->pending_ = false;
            self->last_ = self->scheduler_.now();
            if (std::exchange(self->again_, false)) self->damaged();
            // Replies awaited on the worker may have read notifications off the socket.
            if (const auto s = wstate.lock())
                for (const auto& stream : s->pump(false))
                    stream->damaged();
        });
    }

    void answer(CaptureCompletionHandler completion, std::optional<CaptureError> error) {
        if (!completion) return;
        scheduler_.post(
            [completion = std::move(completion), error = std::move(error)] { completion(error); });
    }

    std::weak_ptr<State> state_;
    Scheduler& scheduler_;
    Executor& worker_;
    const xcb_window_t window_;
    const CaptureConfiguration configuration_;
    const Duration interval_;
    std::mutex handlerMutex_;
    SampleHandler handler_;
    std::atomic<bool> started_{false};
    std::uint32_t damage_ = 0;
    // Main thread only.
    bool pending_ = false;
    bool again_ = false;
    std::optional<TimePoint> last_;
};

std::vector<std::shared_ptr<X11ScreenCapture::Stream>> X11ScreenCapture::State::pump(
    bool roundTrip) {
    if (roundTrip) std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::vector<std::shared_ptr<Stream>> changed;
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        if (damage && (event->response_type & 0x7f) == damageNotify) {
            const auto* notify = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            std::lock_guard lock(damageMutex);
            if (const auto it = damages.find(notify->damage); it != damages.end())
                if (auto stream = it->second.lock()) changed.push_back(std::move(stream));
        }
        std::free(event);
    }
    return changed;
}

X11ScreenCapture::X11ScreenCapture(const char* display, Scheduler& scheduler, Executor& worker,
                                   Logger& logger, Transport transport)
    : state_(std::make_shared<State>(scheduler, worker, logger)) {
    State& s = *state_;
    s.c = xcb_connect(display, nullptr);
    s.reader = std::make_unique<X11PixelReader>(s.c, transport);
    if (xcb_connection_has_error(s.c)) return;
    s.root = xcb_setup_roots_iterator(xcb_get_setup(s.c)).data->root;
    Reply<xcb_composite_query_version_reply_t> version(
        xcb_composite_query_version_reply(s.c, xcb_composite_query_version(s.c, 0, 4), nullptr));
    s.composite = version && (version->major_version > 0 || version->minor_version >= 2);
    if (!s.composite) s.log.error("The X server offers no Composite extension: no thumbnails");
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(s.c, &xcb_damage_id);
    if (damage && damage->present) {
        Reply<xcb_damage_query_version_reply_t> damageVersion(
            xcb_damage_query_version_reply(s.c, xcb_damage_query_version(s.c, 1, 1), nullptr));
        s.damage = damageVersion != nullptr;
        s.damageNotify = static_cast<std::uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
    }
    if (!s.damage) s.log.error("The X server offers no DAMAGE extension: no live previews");
}

X11ScreenCapture::~X11ScreenCapture() = default;

int X11ScreenCapture::fileDescriptor() const {
    return xcb_get_file_descriptor(state_->c);
}

void X11ScreenCapture::pump() {
    for (const auto& stream : state_->pump(false))
        stream->damaged();
}

void X11ScreenCapture::sync() {
    for (const auto& stream : state_->pump(true))
        stream->damaged();
}

X11ScreenCapture::Transport X11ScreenCapture::transport() const {
    std::lock_guard lock(state_->mutex);
    return state_->reader->transport();
}

std::size_t X11ScreenCapture::redirectedCount() const {
    std::lock_guard lock(state_->mutex);
    std::set<xcb_window_t> all(state_->held);
    for (const auto& entry : state_->streamed)
        all.insert(entry.first);
    return all.size();
}

std::size_t X11ScreenCapture::sharedSegmentCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->reader->segmentCount();
}

void X11ScreenCapture::hold() {
    state_->worker.post([weak = std::weak_ptr<State>(state_)] {
        const auto s = weak.lock();
        if (!s || !s->composite) return;
        std::lock_guard lock(s->mutex);
        if (s->holds++ > 0) return;
        for (const xcb_window_t window : s->clientList()) {
            if (!s->streamed.contains(window))
                xcb_composite_redirect_window(s->c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
            s->held.insert(window);
        }
        xcb_flush(s->c);
    });
}

void X11ScreenCapture::release() {
    state_->worker.post([weak = std::weak_ptr<State>(state_)] {
        const auto s = weak.lock();
        if (!s || !s->composite) return;
        std::lock_guard lock(s->mutex);
        if (s->holds == 0 || --s->holds > 0) return;
        const std::set<xcb_window_t> held = std::exchange(s->held, {});
        for (const xcb_window_t window : held)
            s->unredirect(window);
        s->freeWhenIdle();
    });
}

void X11ScreenCapture::getShareableContent(bool, bool, ShareableContentHandler completion) {
    std::vector<WindowNumber> ids;
    {
        std::lock_guard lock(state_->mutex);
        if (state_->composite) {
            for (const xcb_window_t window : state_->clientList())
                ids.push_back(window);
            state_->forgetAllBut(ids);
        }
    }
    const bool usable = state_->composite;
    state_->scheduler.post([completion = std::move(completion), ids = std::move(ids), usable] {
        if (!usable) {
            completion(std::nullopt, CaptureError{"The X server cannot capture windows"});
            return;
        }
        completion(ShareableContent{ids}, std::nullopt);
    });
}

ImageRef X11ScreenCapture::grab(WindowNumber windowID, std::string* error) {
    std::lock_guard lock(state_->mutex);
    return state_->grab(windowID, error);
}

void X11ScreenCapture::captureImage(WindowNumber windowID,
                                    const CaptureConfiguration& configuration,
                                    CaptureImageHandler completion) {
    std::string error;
    ImageRef image = grab(windowID, &error);
    if (image) image = scaledToFit(std::move(image), configuration);
    {
        std::lock_guard lock(state_->mutex);
        if (image) {
            state_->remember(windowID, image);
        } else if (const auto it = state_->lastFrames.find(windowID);
                   it != state_->lastFrames.end()) {
            // Minimised: the picture it showed before it left the screen.
            image = it->second.image;
        }
        if (!state_->redirected(windowID)) state_->freeWhenIdle();
    }
    state_->scheduler.post(
        [completion = std::move(completion), image = std::move(image), error = std::move(error)] {
            if (image) {
                completion(image, std::nullopt);
            } else {
                completion(nullptr, CaptureError{error});
            }
        });
}

std::shared_ptr<CaptureStream> X11ScreenCapture::createStream(
    WindowNumber windowID, const CaptureConfiguration& configuration) {
    if (!state_->composite || !state_->damage || windowID == 0) return nullptr;
    return std::make_shared<Stream>(state_, windowID, configuration);
}

}  // namespace vantorel

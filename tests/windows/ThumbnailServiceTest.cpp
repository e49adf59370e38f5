#include "windows/ThumbnailService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWindowPainter.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Session = ThumbnailService::Session;
using Numbers = std::vector<WindowNumber>;
using Lines = std::vector<std::string>;

using Error = std::optional<CaptureError>;

ImageRef picture(int width, int height, std::vector<std::uint32_t> pixels) {
    return std::make_shared<Image>(Image{width, height, std::move(pixels)});
}
std::uint32_t pixel(const Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}
CaptureConfiguration config(std::int64_t width = 568, std::int64_t height = 364) {
    CaptureConfiguration c;
    c.width = width;
    c.height = height;
    return c;
}

// The service on the simulated desktop, its actor drained by hand: nothing happens until
// settle() runs the executor and the main thread in turn until both are idle.
struct Rig {
    WindowId open(const std::string& title = "Diary", std::uint32_t color = 0xff3366ccu) {
        SimWindowSpec spec;
        spec.title = title;
        spec.frame = Rect(100, 100, 880, 560);
        spec.color = color;
        return desktop.addWindow(pid, spec);
    }
    void settle() {
        do {
            executor.drain();
            desktop.scheduler.runDue();
        } while (executor.pendingCount() > 0);
    }
    void advance(Duration delta) {
        desktop.scheduler.advance(delta);
        settle();
    }
    Session begin() {
        std::optional<Session> session;
        service->beginSession([&](Session s) { session = s; });
        settle();
        return session.value();
    }
    // Starts a stream whose frames are counted in *frames; *done once its completion ran.
    void startLive(WindowNumber id, Session session, int* frames, bool* done) {
        service->startLive(
            id, session, [frames](const ImageRef& image) { *frames += image ? 1 : 0; },
            [done] { *done = true; });
    }
    // Starts a stream and lets it settle; true once its completion ran.
    bool live(WindowNumber id, Session session, int* frames = nullptr) {
        bool done = false;
        startLive(id, session, frames ? frames : &ignored, &done);
        settle();
        return done;
    }
    Numbers liveIDs() {
        Numbers out{999};
        service->liveWindowIDs([&](Numbers ids) { out = std::move(ids); });
        settle();
        return out;
    }
    Lines lines() { return desktop.logger.messages("capture"); }
    SimScreenCapture& capture() { return desktop.capture; }

    SimDesktop desktop;
    ManualExecutor executor;
    std::unique_ptr<ThumbnailService> service =
        std::make_unique<ThumbnailService>(desktop.ports(), executor);
    ProcessId pid = desktop.launch(SimAppSpec{"Notes", "com.example.notes", {}, 0, nullptr});
    int ignored = 0;
};

// The live tests' rig with one window open.
class ThumbnailServiceTest : public testing::Test, public Rig {
protected:
    const WindowId id = open();
};

TEST_F(ThumbnailServiceTest, StillIsTheWindowAtCaptureSizeAndWindowZeroIsNothingWithoutAsking) {
    std::vector<ImageRef> answers;
    for (const WindowNumber n : {WindowNumber{0}, open("Inbox", 0xff228844u), open("Outbox")})
        service->snapshot(n, [&](ImageRef i) { answers.push_back(std::move(i)); });
    // Answered later on the main thread, never inside the call; window 0 skips the actor.
    EXPECT_TRUE(answers.empty());
    settle();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0], nullptr);
    ASSERT_TRUE(answers[1] && answers[2]);
    const Image& image = *answers[1];
    ASSERT_TRUE(image.width == 568 && image.height == 364);
    EXPECT_EQ(capture().contentQueryCount(), 2u);
    const auto& config = *capture().lastStillConfiguration();
    EXPECT_TRUE(config.pixelFormat == CaptureConfiguration::kPixelFormatBGRA &&
                config.scalesToFit && !config.showsCursor && !config.capturesAudio);
    EXPECT_TRUE(lines().empty());

    // The simulated picture: the window's body in its colour, and each window its own.
    EXPECT_EQ(pixel(image, 284, 300), 0xff228844u);
    EXPECT_NE(image.pixels, answers[2]->pixels);
}

TEST_F(ThumbnailServiceTest, FailuresToStartAreLoggedAndNothingIsKept) {
    const Session s = begin();
    capture().setAddOutputError("No room");
    EXPECT_TRUE(live(id, s));
    EXPECT_EQ(capture().startRequestCount(), 0u);
    capture().setAddOutputError(std::nullopt);
    capture().setStreamStartError("The stream could not start");
    EXPECT_TRUE(live(open(), s));  // another window: the first one's leftovers would stay
    EXPECT_EQ(capture().startRequestCount(), 1u);
    EXPECT_EQ(lines(), (Lines{"Live stream failed: No room",
                              "Live stream failed: The stream could not start"}));
    EXPECT_EQ(liveIDs(), Numbers{});
    EXPECT_EQ(capture().runningStreams(), Numbers{});
}

TEST_F(ThumbnailServiceTest, StreamsGiveFiveFramesASecondUntilTheSessionEndsWhichStopsThemAll) {
    const Session first = begin();
    const Numbers ids{id, open(), open()};
    int frames = 0;
    for (const WindowNumber n : ids)
        ASSERT_TRUE(live(n, first, &frames));
    EXPECT_EQ(liveIDs(), ids);
    // Small steps, so a faster stream would show.
    for (int i = 0; i < 20; ++i)
        advance(50ms);
    EXPECT_EQ(frames, 15);
    EXPECT_TRUE(lines().empty());

    bool stopped = false;
    service->stopAll([&] { stopped = true; });
    settle();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(liveIDs(), Numbers{});
    EXPECT_EQ(capture().runningStreams(), Numbers{});
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);  // idle: no frame is due any more
    EXPECT_EQ(lines(), Lines{"Stopped 3 live stream(s); capture idle"});
    // A new session stops the last one's streams too.
    ASSERT_TRUE(live(ids[0], begin()));
    begin();
    EXPECT_EQ(lines().back(), "Stopped 1 live stream(s); capture idle");
}

TEST_F(ThumbnailServiceTest, AWindowHasOneStreamTheStartThatCompletesLastWins) {
    const Session s = begin();
    ASSERT_TRUE(live(id, s));
    // A new start stops the window's running stream at once; of two starts under way together,
    // the one that completes last replaces the other.
    capture().setHoldStreamStarts(true);
    int first = 0;
    int second = 0;
    bool done = false;
    startLive(id, s, &first, &done);
    startLive(id, s, &second, &done);
    settle();
    EXPECT_EQ(capture().runningStreams(), Numbers{});
    ASSERT_EQ(capture().heldStartCount(), 2u);
    capture().releaseHeldStarts();
    settle();
    EXPECT_EQ(capture().runningStreams(), Numbers{id});
    advance(1s);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 5);
}

TEST_F(ThumbnailServiceTest, StartsOvertakenByANewSessionEndWithoutAStreamLoggedOnlyOnceStarted) {
    const Session old = begin();
    const Session current = begin();
    EXPECT_TRUE(live(0, current));
    EXPECT_TRUE(live(id, old));
    EXPECT_TRUE(live(id, current + 1));
    EXPECT_EQ(capture().contentQueryCount(), 0u);
    // Overtaken while the content is asked for: the stop is queued behind the start.
    bool done = false;
    startLive(id, current, &ignored, &done);
    service->stopAll();
    settle();
    EXPECT_TRUE(done);
    EXPECT_EQ(capture().contentQueryCount(), 1u);
    EXPECT_EQ(capture().startRequestCount(), 0u);
    EXPECT_TRUE(lines().empty());

    // Overtaken while the stream starts: it is stopped again once started.
    const Session s = begin();
    capture().setHoldStreamStarts(true);
    int frames = 0;
    done = false;
    startLive(id, s, &frames, &done);
    settle();
    ASSERT_EQ(capture().heldStartCount(), 1u);
    EXPECT_FALSE(done);
    begin();
    capture().releaseHeldStarts();
    settle();
    EXPECT_TRUE(done);
    EXPECT_EQ(lines(), Lines{"Dropped late live stream for " + std::to_string(id) +
                             " (session superseded)"});
    EXPECT_EQ(liveIDs(), Numbers{});
    EXPECT_EQ(capture().runningStreams(), Numbers{});
    advance(1s);
    EXPECT_EQ(frames, 0);
}

TEST_F(ThumbnailServiceTest, OnlyValidScreenImagesOfTheCurrentSessionReachTheCallback) {
    const Session s = begin();
    std::vector<ImageRef> seen;
    service->startLive(id, s, [&](ImageRef image) { seen.push_back(std::move(image)); });
    settle();
    const auto good = picture(2, 2, {1, 2, 3, 4});
    // Another output type, an unknown one, an invalid buffer, a status-only one (no image), and
    // pixels that do not match the size.
    const std::vector<std::pair<StreamOutputType, SampleBuffer>> dropped = {
        {StreamOutputType::audio, {true, good}},
        {static_cast<StreamOutputType>(7), {true, good}},
        {StreamOutputType::screen, {false, good}},
        {StreamOutputType::screen, {true, nullptr}},
        {StreamOutputType::screen, {true, picture(2, 2, {1})}}};
    for (const auto& [type, buffer] : dropped) {
        capture().injectSample(id, type, buffer);
        settle();
        EXPECT_TRUE(seen.empty());
    }
    capture().injectSample(id, StreamOutputType::screen, SampleBuffer{true, good});
    settle();
    EXPECT_EQ(seen, std::vector<ImageRef>{good});
    // A frame already converted and on its way is not shown once the panel has moved on.
    capture().injectSample(id, StreamOutputType::screen, SampleBuffer{true, good});
    service->stopAll();
    settle();
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(ThumbnailServiceTest, OnceTheServiceIsGoneNothingAnswersAndItsStreamsFallSilent) {
    int frames = 0;
    ASSERT_TRUE(live(id, begin(), &frames));
    bool answered = false;
    service->snapshot(id, [&](const ImageRef&) { answered = true; });
    service.reset();
    advance(1s);
    EXPECT_FALSE(answered);
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(capture().framesDelivered(), 0u);
}

// A platform that answers at once, twice, with both parts of an answer or none, or no stream.
struct Odd {
    const char* name;
    int answers;
    std::optional<ShareableContent> content;
    std::optional<CaptureError> contentError;
    ImageRef image;
    std::optional<CaptureError> imageError;
    bool imageBack;
    Lines expected;
    bool live = false;  // a stream is started instead of a still taken
};

class OddCapture final : public ScreenCapture {
public:
    explicit OddCapture(const Odd& odd) : odd_(odd) {}
    void getShareableContent(bool, bool, ShareableContentHandler completion) override {
        for (int i = 0; i < odd_.answers; ++i)
            completion(odd_.content, odd_.contentError);
    }
    void captureImage(WindowNumber, const CaptureConfiguration&,
                      CaptureImageHandler completion) override {
        for (int i = 0; i < odd_.answers; ++i)
            completion(odd_.image, odd_.imageError);
    }
    std::shared_ptr<CaptureStream> createStream(WindowNumber,
                                                const CaptureConfiguration&) override {
        return nullptr;
    }

private:
    const Odd& odd_;
};

TEST(ThumbnailServiceOddPlatform, AnswersAreTakenAtMostOnceAndErrorsWinOverValues) {
    const ShareableContent five{{5}};
    const ShareableContent six{{6}};
    const std::optional<ShareableContent> noContent;
    const std::optional<CaptureError> fine;
    const auto dot = picture(1, 1, {7});
    const Lines quiet;
    const std::vector<Odd> cases = {
        {"answered twice, inside the call", 2, five, fine, dot, fine, true, quiet},
        {"neither content nor error", 1, noContent, fine, dot, fine, false,
         Lines{"SCShareableContent failed: no content"}},
        {"content and error", 1, five, CaptureError{"Stale"}, dot, fine, false,
         Lines{"SCShareableContent failed: Stale"}},
        {"image and error", 1, five, fine, dot, CaptureError{"Late"}, false,
         Lines{"Still capture failed for 5: Late"}},
        {"neither image nor error", 1, five, fine, nullptr, fine, false, quiet},
        {"image that cannot be drawn", 1, five, fine, picture(3, 3, {}), fine, false, quiet},
        {"window not listed", 1, six, fine, dot, fine, false, quiet},
        {"window not listed, for a stream", 1, six, fine, dot, fine, false, quiet, true},
        {"no stream", 1, five, fine, dot, fine, false,
         Lines{"Live stream failed: the stream could not be created"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OddCapture capture(c);
        Rig rig;
        ThumbnailService service(capture, rig.desktop.scheduler, rig.desktop.logger, rig.executor);
        std::vector<ImageRef> answers;
        if (c.live) {
            service.startLive(
                5, 0, [](const ImageRef&) {}, [&] { answers.push_back(nullptr); });
        } else {
            service.snapshot(5, [&](ImageRef image) { answers.push_back(std::move(image)); });
        }
        rig.settle();
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0] != nullptr, c.imageBack);
        EXPECT_EQ(rig.lines(), c.expected);
    }
}

// The simulated capture itself, where the service would not notice it differ from the platform.

TEST(SimScreenCapture, StillsFailForBadConfigurationsAndWindowsOffScreen) {
    Rig rig;
    const WindowId id = rig.open();
    const WindowId away = rig.open();
    rig.desktop.windows.setOnScreen(away, false);
    auto wrongFormat = config();
    wrongFormat.pixelFormat = 0;
    const auto* invalid = SimScreenCapture::kInvalidConfigurationDescription;
    const auto* unavailable = SimScreenCapture::kWindowUnavailableDescription;
    const std::tuple<WindowNumber, CaptureConfiguration, const char*> calls[] = {
        {id, config(0, 364), invalid},         {id, config(568, -1), invalid},
        {id, config(568, 1'000'000), invalid}, {id, wrongFormat, invalid},
        {away, config(), unavailable},         {4242, config(), unavailable}};
    for (const auto& [window, c, description] : calls) {
        std::optional<std::pair<ImageRef, Error>> out;
        rig.capture().captureImage(window, c, [&](ImageRef i, Error e) { out.emplace(i, e); });
        rig.settle();
        ASSERT_TRUE(out.has_value());
        EXPECT_EQ(out->first, nullptr);
        EXPECT_EQ(out->second.value_or(CaptureError{}).description, description);
    }
}

TEST(SimScreenCapture, AStreamFallsSilentForGoodOnceItsWindowLeavesTheScreen) {
    Rig rig;
    const WindowId id = rig.open();
    int frames = 0;
    ASSERT_TRUE(rig.live(id, rig.begin(), &frames));
    rig.advance(400ms);
    EXPECT_EQ(frames, 2);
    rig.desktop.windows.setMinimized(id, true);
    rig.advance(400ms);
    rig.desktop.windows.setMinimized(id, false);
    rig.advance(1s);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{});

    // Where the service never asks: a stream takes no empty output, starts once, stops only
    // while it runs, and does not start for a window that is gone; nothing without permission.
    std::vector<std::string> answers;
    const auto answer = [&](Error e) { answers.push_back(e ? e->description : "ok"); };
    auto stream = rig.capture().createStream(id, config());
    EXPECT_TRUE(stream->addStreamOutput(StreamOutputType::screen, nullptr));
    stream->startCapture(answer);
    stream->startCapture(answer);
    stream->stopCapture(answer);
    stream->stopCapture(answer);
    rig.settle();
    rig.desktop.windows.close(id);
    rig.capture().createStream(id, config())->startCapture(answer);
    rig.settle();
    rig.capture().setScreenRecordingGranted(false);
    rig.capture().getShareableContent(false, true, [&](auto, Error e) { answer(e); });
    rig.settle();
    EXPECT_EQ(answers, (std::vector<std::string>{"ok", "The stream has already been started", "ok",
                                                 "The stream is not running",
                                                 SimScreenCapture::kWindowUnavailableDescription,
                                                 SimScreenCapture::kDeclinedDescription}));
}

TEST(SimWindowPainter, RefusesSizesOutOfRangeAndDrawsWindowsOfNoSizeAsOrdinaryOnes) {
    SimWindowPainter::Content content{"Odd", Size{std::nan(""), -4}, 0xff101010u};
    EXPECT_EQ(SimWindowPainter::paint(content, 0, 10, true), nullptr);
    EXPECT_EQ(SimWindowPainter::paint(content, 10, SimWindowPainter::kMaxSide + 1, true), nullptr);
    const auto image = SimWindowPainter::paint(content, 80, 60, true);
    ASSERT_TRUE(image && image->isValid());
    // Drawn as 800 x 600: it fills the 4:3 image exactly.
    EXPECT_EQ(pixel(*image, 40, 50), 0xff101010u);
    EXPECT_NE(pixel(*image, 0, 0), 0u);
    // A title of nothing but non-ASCII text still draws (as boxes), and a one-pixel image too.
    content.title = "\xE2\x80\x94\xE6\x97\xA5";
    EXPECT_TRUE(SimWindowPainter::paint(content, 1, 1, true));
    EXPECT_TRUE(SimWindowPainter::paint(content, 568, 364, false, 3));
}

}  // namespace
}  // namespace vantorel

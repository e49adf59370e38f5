#include "windows/ThumbnailService.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Session = ThumbnailService::Session;
using Numbers = std::vector<WindowNumber>;
using Lines = std::vector<std::string>;

const std::string kDeclined = SimScreenCapture::kDeclinedDescription;

// The service on the simulated desktop, its actor drained by hand: nothing happens until
// settle() runs the executor and the main thread in turn until both are idle.
struct Rig {
    Rig() { pid = desktop.launch(SimAppSpec{"Notes", "com.example.notes", {}, 0, nullptr}); }

    WindowId open(const std::string& title, std::uint32_t color = 0xff3366ccu) {
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

    std::optional<ImageRef> snapshot(WindowNumber id) {
        std::optional<ImageRef> out;
        service->snapshot(id, [&](ImageRef image) { out = std::move(image); });
        settle();
        return out;
    }
    Session begin() {
        std::optional<Session> session;
        service->beginSession([&](Session s) { session = s; });
        settle();
        EXPECT_TRUE(session.has_value());
        return session.value_or(0);
    }
    // Starts a stream whose frames are counted in *frames; true once its completion ran.
    bool live(WindowNumber id, Session session, int* frames = nullptr) {
        bool done = false;
        startLive(id, session, frames, &done);
        settle();
        return done;
    }
    void startLive(WindowNumber id, Session session, int* frames, bool* done = nullptr) {
        service->startLive(
            id, session,
            [frames](const ImageRef& image) {
                if (frames && image && image->isValid()) ++*frames;
            },
            [done] {
                if (done) *done = true;
            });
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
    ProcessId pid = 0;
};

// ---------------------------------------------------------------------------------------------
// Stills

TEST(ThumbnailServiceStill, WindowZeroYieldsNothingWithoutTouchingThePlatform) {
    Rig rig;
    bool called = false;
    ImageRef image = std::make_shared<Image>();
    rig.service->snapshot(0, [&](ImageRef i) {
        called = true;
        image = std::move(i);
    });
    // Answered later on the main thread, never inside the call; the actor is not involved.
    EXPECT_FALSE(called);
    EXPECT_EQ(rig.executor.pendingCount(), 0u);
    rig.settle();
    EXPECT_TRUE(called);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(rig.capture().contentQueryCount(), 0u);
    EXPECT_EQ(rig.capture().stillCaptureCount(), 0u);
    EXPECT_TRUE(rig.lines().empty());
}

TEST(ThumbnailServiceStill, IsTheWindowAtCaptureSizeTakenWithoutCursorOrAudio) {
    Rig rig;
    const WindowId id = rig.open("Shopping list", 0xff228844u);
    bool calledInside = false;
    rig.service->snapshot(id, [&](const ImageRef&) { calledInside = true; });
    EXPECT_FALSE(calledInside);
    rig.settle();

    const auto image = rig.snapshot(id);
    ASSERT_TRUE(image.has_value());
    ASSERT_NE(*image, nullptr);
    EXPECT_EQ((*image)->width, 568);
    EXPECT_EQ((*image)->height, 364);
    EXPECT_TRUE((*image)->isValid());
    // The body is drawn in the window's colour.
    EXPECT_EQ((*image)->pixels[static_cast<std::size_t>(300 * 568 + 284)], 0xff228844u);

    const auto& config = rig.capture().lastStillConfiguration();
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->width, 568);
    EXPECT_EQ(config->height, 364);
    EXPECT_EQ(config->pixelFormat, CaptureConfiguration::kPixelFormatBGRA);
    EXPECT_FALSE(config->showsCursor);
    EXPECT_FALSE(config->capturesAudio);
    EXPECT_TRUE(config->scalesToFit);
    EXPECT_EQ(rig.service->captureSize(), (Size{568, 364}));
    EXPECT_TRUE(rig.lines().empty());
}

TEST(ThumbnailServiceStill, FailuresYieldNothingAndLogOnlyWhatThePlatformReported) {
    struct Case {
        const char* name;
        std::function<void(Rig&, WindowId)> arrange;
        // "%u" stands for the window number.
        Lines expected;
        std::size_t stills;
    };
    const std::vector<Case> cases = {
        {"no Screen Recording",
         [](Rig& r, WindowId) { r.capture().setScreenRecordingGranted(false); },
         {"SCShareableContent failed: " + kDeclined},
         0},
        {"capture error",
         [](Rig& r, WindowId) { r.capture().setStillCaptureError("The display is asleep"); },
         {"Still capture failed for %u: The display is asleep"},
         1},
        {"neither image nor error",
         [](Rig& r, WindowId) { r.capture().setStillCaptureAnswersNothing(true); },
         {},
         1},
        {"minimised", [](Rig& r, WindowId id) { r.desktop.windows.setMinimized(id, true); }, {}, 0},
        {"on another space",
         [](Rig& r, WindowId id) { r.desktop.windows.setOnScreen(id, false); },
         {},
         0},
        {"application hidden",
         [](Rig& r, WindowId) { r.desktop.windows.setApplicationHidden(r.pid, true); },
         {},
         0},
        {"closed", [](Rig& r, WindowId id) { r.desktop.windows.close(id); }, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const WindowId id = rig.open("Draft");
        c.arrange(rig, id);
        const auto image = rig.snapshot(id);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(*image, nullptr);
        Lines expected;
        for (auto line : c.expected) {
            if (const auto at = line.find("%u"); at != std::string::npos) {
                line.replace(at, 2, std::to_string(id));
            }
            expected.push_back(line);
        }
        EXPECT_EQ(rig.lines(), expected);
        EXPECT_EQ(rig.capture().stillCaptureCount(), c.stills);
    }
}

// ---------------------------------------------------------------------------------------------
// Sessions and live streams

TEST(ThumbnailServiceLive, SessionsCountUpAndStopAllStartsOneToo) {
    Rig rig;
    EXPECT_EQ(rig.begin(), 1u);
    EXPECT_EQ(rig.begin(), 2u);
    bool stopped = false;
    rig.service->stopAll([&] { stopped = true; });
    rig.settle();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(rig.begin(), 4u);
    // Nothing was running, so nothing was said.
    EXPECT_TRUE(rig.lines().empty());
}

TEST(ThumbnailServiceLive, FramesArriveOnTheMainThreadAtNoMoreThanFivePerSecond) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    int frames = 0;
    ASSERT_TRUE(rig.live(id, s, &frames));
    EXPECT_EQ(rig.liveIDs(), Numbers{id});
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{id});
    const auto& config = rig.capture().lastStreamConfiguration();
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->minimumFrameInterval.value, 1);
    EXPECT_EQ(config->minimumFrameInterval.timescale, 5);
    EXPECT_EQ(config->width, 568);
    EXPECT_EQ(config->height, 364);
    EXPECT_TRUE(config->scalesToFit);
    EXPECT_FALSE(config->showsCursor);

    // Small steps, so a faster stream would show.
    for (int i = 0; i < 20; ++i)
        rig.advance(50ms);
    EXPECT_EQ(frames, 5);
    for (int i = 0; i < 20; ++i)
        rig.advance(50ms);
    EXPECT_EQ(frames, 10);
    EXPECT_TRUE(rig.lines().empty());
}

TEST(ThumbnailServiceLive, WindowZeroAndStaleSessionsStartNothingButStillComplete) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session old = rig.begin();
    const Session current = rig.begin();
    EXPECT_TRUE(rig.live(0, current));
    EXPECT_TRUE(rig.live(id, old));
    EXPECT_TRUE(rig.live(id, current + 1));
    EXPECT_EQ(rig.capture().contentQueryCount(), 0u);
    EXPECT_EQ(rig.capture().startRequestCount(), 0u);
    EXPECT_EQ(rig.liveIDs(), Numbers{});
}

TEST(ThumbnailServiceLive, ASecondStartForTheSameWindowStopsAndReplacesTheFirst) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    int first = 0;
    int second = 0;
    ASSERT_TRUE(rig.live(id, s, &first));
    rig.advance(200ms);
    EXPECT_EQ(first, 1);
    ASSERT_TRUE(rig.live(id, s, &second));
    EXPECT_EQ(rig.capture().stopRequestCount(), 1u);
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{id});
    EXPECT_EQ(rig.liveIDs(), Numbers{id});
    rig.advance(1s);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 5);
}

TEST(ThumbnailServiceLive, StartsForTheSameWindowThatOverlapLeaveExactlyOneRunning) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    rig.capture().setHoldStreamStarts(true);
    int first = 0;
    int second = 0;
    rig.startLive(id, s, &first);
    rig.startLive(id, s, &second);
    rig.settle();
    ASSERT_EQ(rig.capture().heldStartCount(), 2u);
    rig.capture().releaseHeldStarts();
    rig.settle();
    // The start that completed last wins; the other is stopped, not left running unseen.
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{id});
    EXPECT_EQ(rig.liveIDs(), Numbers{id});
    rig.advance(1s);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 5);
}

TEST(ThumbnailServiceLive, AStartThatCompletesAfterANewSessionIsStoppedAndLogged) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    rig.capture().setHoldStreamStarts(true);
    int frames = 0;
    bool done = false;
    rig.startLive(id, s, &frames, &done);
    rig.settle();
    ASSERT_EQ(rig.capture().heldStartCount(), 1u);
    EXPECT_FALSE(done);

    EXPECT_EQ(rig.begin(), s + 1);
    rig.capture().releaseHeldStarts();
    rig.settle();
    EXPECT_TRUE(done);
    EXPECT_EQ(rig.lines(), Lines{"Dropped late live stream for " + std::to_string(id) +
                                 " (session superseded)"});
    EXPECT_EQ(rig.liveIDs(), Numbers{});
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{});
    rig.advance(1s);
    EXPECT_EQ(frames, 0);
}

TEST(ThumbnailServiceLive, ASessionChangeWhileTheContentIsAskedForEndsTheStartSilently) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    bool done = false;
    rig.startLive(id, s, nullptr, &done);
    // Queued behind the start on the actor, so it runs while the content query is out.
    rig.service->stopAll();
    rig.settle();
    EXPECT_TRUE(done);
    EXPECT_EQ(rig.capture().contentQueryCount(), 1u);
    EXPECT_EQ(rig.capture().startRequestCount(), 0u);
    EXPECT_TRUE(rig.lines().empty());
}

TEST(ThumbnailServiceLive, StoppingAllCountsTheStreamsItStopped) {
    Rig rig;
    const Session s = rig.begin();
    const WindowId a = rig.open("A");
    const WindowId b = rig.open("B");
    const WindowId c = rig.open("C");
    for (const WindowId id : {a, b, c})
        ASSERT_TRUE(rig.live(id, s));
    EXPECT_EQ(rig.liveIDs(), (Numbers{a, b, c}));

    rig.service->stopAll();
    rig.settle();
    EXPECT_EQ(rig.lines(), Lines{"Stopped 3 live stream(s); capture idle"});
    EXPECT_EQ(rig.liveIDs(), Numbers{});
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{});
    // Idle: no frame is scheduled any more.
    EXPECT_EQ(rig.desktop.scheduler.pendingCount(), 0u);

    const Session next = rig.begin();
    ASSERT_TRUE(rig.live(a, next));
    ASSERT_TRUE(rig.live(b, next));
    rig.begin();
    EXPECT_EQ(rig.lines(), (Lines{"Stopped 3 live stream(s); capture idle",
                                  "Stopped 2 live stream(s); capture idle"}));
    rig.service->stopAll();
    rig.settle();
    EXPECT_EQ(rig.lines().size(), 2u);
}

TEST(ThumbnailServiceLive, FramesAlreadyOnTheirWayAreNotShownOnceANewSessionIsAskedFor) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    int frames = 0;
    ASSERT_TRUE(rig.live(id, s, &frames));
    auto image = std::make_shared<Image>();
    image->width = 2;
    image->height = 1;
    image->pixels = {1, 2};
    // The frame is converted and queued for the main thread; then the panel moves on.
    rig.capture().injectSample(id, StreamOutputType::screen, SampleBuffer{true, image});
    rig.service->stopAll();
    rig.settle();
    EXPECT_EQ(frames, 0);
}

TEST(ThumbnailServiceLive, OnlyValidScreenSamplesWithAnImageReachTheCallback) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    std::vector<ImageRef> seen;
    rig.service->startLive(id, s, [&](ImageRef image) { seen.push_back(std::move(image)); });
    rig.settle();

    auto good = std::make_shared<Image>();
    good->width = 2;
    good->height = 2;
    good->pixels = {1, 2, 3, 4};
    auto torn = std::make_shared<Image>();
    torn->width = 2;
    torn->height = 2;
    torn->pixels = {1, 2, 3};
    struct Case {
        const char* name;
        StreamOutputType type;
        SampleBuffer buffer;
    };
    const std::vector<Case> dropped = {
        {"audio", StreamOutputType::audio, {true, good}},
        {"microphone", StreamOutputType::microphone, {true, good}},
        {"unknown type", static_cast<StreamOutputType>(7), {true, good}},
        {"invalid buffer", StreamOutputType::screen, {false, good}},
        {"status only", StreamOutputType::screen, {true, nullptr}},
        {"pixels do not match the size", StreamOutputType::screen, {true, torn}},
        {"empty image", StreamOutputType::screen, {true, std::make_shared<Image>()}},
    };
    for (const auto& c : dropped) {
        SCOPED_TRACE(c.name);
        rig.capture().injectSample(id, c.type, c.buffer);
        rig.settle();
        EXPECT_TRUE(seen.empty());
    }
    rig.capture().injectSample(id, StreamOutputType::screen, SampleBuffer{true, good});
    rig.settle();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.front(), good);
}

TEST(ThumbnailServiceLive, FailuresToStartAreLoggedAndNothingIsKept) {
    struct Case {
        const char* name;
        std::function<void(Rig&, WindowId)> arrange;
        Lines expected;
        std::size_t startRequests;
    };
    const std::vector<Case> cases = {
        {"start fails",
         [](Rig& r, WindowId) { r.capture().setStreamStartError("The stream could not start"); },
         {"Live stream failed: The stream could not start"},
         1},
        {"output refused",
         [](Rig& r, WindowId) { r.capture().setAddOutputError("No room"); },
         {"Live stream failed: No room"},
         0},
        {"no Screen Recording",
         [](Rig& r, WindowId) { r.capture().setScreenRecordingGranted(false); },
         {"SCShareableContent failed: " + kDeclined},
         0},
        // Not a failure of capture: nothing is said.
        {"not on screen",
         [](Rig& r, WindowId id) { r.desktop.windows.setMinimized(id, true); },
         {},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const WindowId id = rig.open("Diary");
        const Session s = rig.begin();
        c.arrange(rig, id);
        EXPECT_TRUE(rig.live(id, s));
        EXPECT_EQ(rig.lines(), c.expected);
        EXPECT_EQ(rig.capture().startRequestCount(), c.startRequests);
        EXPECT_EQ(rig.liveIDs(), Numbers{});
        EXPECT_EQ(rig.capture().runningStreams(), Numbers{});
    }
}

TEST(ThumbnailServiceLive, AStreamWhoseWindowClosesFallsSilentAndIsStoppedWithTheSession) {
    Rig rig;
    const WindowId id = rig.open("Diary");
    int frames = 0;
    ASSERT_TRUE(rig.live(id, rig.begin(), &frames));
    rig.advance(400ms);
    EXPECT_EQ(frames, 2);
    rig.desktop.windows.close(id);
    rig.advance(1s);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{});
    // The service is not told: the stream stays its own until the session ends.
    EXPECT_EQ(rig.liveIDs(), Numbers{id});
    rig.begin();
    EXPECT_EQ(rig.lines(), Lines{"Stopped 1 live stream(s); capture idle"});
}

TEST(ThumbnailServiceLive, OnceTheServiceIsGoneNothingAnswersAndItsStreamsFallSilent) {
    Rig rig;
    const WindowId a = rig.open("A");
    const WindowId b = rig.open("B");
    const Session s = rig.begin();
    int frames = 0;
    ASSERT_TRUE(rig.live(a, s, &frames));
    bool answered = false;
    rig.service->snapshot(b, [&](const ImageRef&) { answered = true; });
    rig.service.reset();
    rig.advance(1s);
    EXPECT_FALSE(answered);
    EXPECT_EQ(frames, 0);
    // Its stream handles went with it, which ends their deliveries.
    EXPECT_EQ(rig.capture().runningStreams(), Numbers{});
    EXPECT_EQ(rig.capture().framesDelivered(), 0u);
}

// ---------------------------------------------------------------------------------------------
// A platform that answers oddly: at once, twice, with both parts of an answer or with none.

class OddCapture final : public ScreenCapture {
public:
    std::optional<ShareableContent> content;
    std::optional<CaptureError> contentError;
    ImageRef image;
    std::optional<CaptureError> imageError;
    int answers = 1;
    bool refuseStreams = false;
    int streamsAsked = 0;

    void getShareableContent(bool, bool, ShareableContentHandler completion) override {
        for (int i = 0; i < answers; ++i)
            completion(content, contentError);
    }
    void captureImage(WindowNumber, const CaptureConfiguration&,
                      CaptureImageHandler completion) override {
        for (int i = 0; i < answers; ++i)
            completion(image, imageError);
    }
    std::shared_ptr<CaptureStream> createStream(WindowNumber,
                                                const CaptureConfiguration&) override {
        ++streamsAsked;
        return nullptr;
    }
};

struct OddRig {
    void settle() {
        do {
            executor.drain();
            scheduler.runDue();
        } while (executor.pendingCount() > 0);
    }
    std::vector<ImageRef> snapshots(WindowNumber id) {
        std::vector<ImageRef> out;
        service.snapshot(id, [&](ImageRef image) { out.push_back(std::move(image)); });
        settle();
        return out;
    }

    OddCapture capture;
    ManualScheduler scheduler;
    MemoryLogger logger;
    ManualExecutor executor;
    ThumbnailService service{capture, scheduler, logger, executor};
};

TEST(ThumbnailServiceOddPlatform, AnswersAreTakenAtMostOnceAndErrorsWinOverValues) {
    auto picture = std::make_shared<Image>();
    picture->width = 1;
    picture->height = 1;
    picture->pixels = {7};
    auto torn = std::make_shared<Image>();
    torn->width = 3;
    torn->height = 3;

    struct Case {
        const char* name;
        std::function<void(OddCapture&)> arrange;
        bool image;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"content answered twice, inside the call",
         [&](OddCapture& c) {
             c.answers = 2;
             c.content = ShareableContent{{5}};
             c.image = picture;
         },
         true,
         {}},
        {"neither content nor error",
         [](OddCapture&) {},
         false,
         {"SCShareableContent failed: no content"}},
        {"content and error",
         [](OddCapture& c) {
             c.content = ShareableContent{{5}};
             c.contentError = CaptureError{"Stale"};
         },
         false,
         {"SCShareableContent failed: Stale"}},
        {"image and error",
         [&](OddCapture& c) {
             c.content = ShareableContent{{5}};
             c.image = picture;
             c.imageError = CaptureError{"Late"};
         },
         false,
         {"Still capture failed for 5: Late"}},
        {"image whose pixels do not match its size",
         [&](OddCapture& c) {
             c.content = ShareableContent{{5}};
             c.image = torn;
         },
         false,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OddRig rig;
        c.arrange(rig.capture);
        const auto answers = rig.snapshots(5);
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers.front() != nullptr, c.image);
        EXPECT_EQ(rig.logger.messages("capture"), c.expected);
    }
}

TEST(ThumbnailServiceOddPlatform, AStreamThePlatformRefusesIsLoggedAndNotKept) {
    OddRig rig;
    rig.capture.content = ShareableContent{{5}};
    std::optional<Session> session;
    rig.service.beginSession([&](Session s) { session = s; });
    rig.settle();
    bool done = false;
    rig.service.startLive(
        5, *session, [](const ImageRef&) {}, [&] { done = true; });
    rig.settle();
    EXPECT_TRUE(done);
    EXPECT_EQ(rig.capture.streamsAsked, 1);
    EXPECT_EQ(rig.logger.messages("capture"),
              Lines{"Live stream failed: the stream could not be created"});
}

TEST(ManualExecutor, RunsInOrderOnlyWhenDrainedIncludingWorkPostedMeanwhile) {
    ManualExecutor executor;
    std::string trace;
    executor.post([&] {
        trace += "a";
        executor.post([&] { trace += "c"; });
    });
    executor.post([&] { trace += "b"; });
    EXPECT_EQ(trace, "");
    EXPECT_EQ(executor.pendingCount(), 2u);
    EXPECT_TRUE(executor.runOne());
    EXPECT_EQ(trace, "a");
    EXPECT_EQ(executor.drain(), 2u);
    EXPECT_EQ(trace, "abc");
    EXPECT_FALSE(executor.runOne());
}

}  // namespace
}  // namespace vantorel

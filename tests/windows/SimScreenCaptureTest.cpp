#include "platform/sim/SimScreenCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWindowPainter.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Numbers = std::vector<WindowNumber>;

CaptureConfiguration still(std::int64_t width = 568, std::int64_t height = 364) {
    CaptureConfiguration c;
    c.width = width;
    c.height = height;
    c.showsCursor = false;
    c.scalesToFit = true;
    return c;
}

CaptureConfiguration stream(MediaTime interval) {
    CaptureConfiguration c = still();
    c.minimumFrameInterval = interval;
    return c;
}

std::uint32_t pixel(const Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                        static_cast<std::size_t>(x)];
}

// The capture the tests and the playground see must behave like the platform's: answers come
// later, from the main thread; stills and frames show the window's own content.
class SimScreenCaptureTest : public testing::Test {
protected:
    SimScreenCaptureTest() { pid = desktop.launch(SimAppSpec{"Mail", {}, {}, 0, nullptr}); }

    WindowId open(const std::string& title, std::uint32_t color, Rect frame = Rect(0, 0, 880, 560),
                  bool onScreen = true) {
        SimWindowSpec spec;
        spec.title = title;
        spec.frame = frame;
        spec.color = color;
        spec.onScreen = onScreen;
        return desktop.addWindow(pid, spec);
    }

    struct Content {
        std::optional<ShareableContent> content;
        std::optional<CaptureError> error;
    };
    Content query(bool excludingDesktop, bool onScreenOnly) {
        std::optional<Content> out;
        capture().getShareableContent(
            excludingDesktop, onScreenOnly,
            [&](std::optional<ShareableContent> c, std::optional<CaptureError> e) {
                out = Content{c, e};
            });
        EXPECT_FALSE(out.has_value());
        desktop.scheduler.runDue();
        return out.value_or(Content{});
    }
    struct Still {
        ImageRef image;
        std::optional<CaptureError> error;
    };
    Still take(WindowNumber id, const CaptureConfiguration& config = still()) {
        std::optional<Still> out;
        capture().captureImage(id, config, [&](ImageRef i, std::optional<CaptureError> e) {
            out = Still{std::move(i), std::move(e)};
        });
        EXPECT_FALSE(out.has_value());
        desktop.scheduler.runDue();
        EXPECT_TRUE(out.has_value());
        return out.value_or(Still{});
    }

    // A started stream whose screen frames and start answer are kept.
    struct Recorder {
        std::shared_ptr<CaptureStream> stream;
        std::shared_ptr<std::vector<ImageRef>> frames = std::make_shared<std::vector<ImageRef>>();
        // Empty until the start completes; then the error it reported, if any.
        std::shared_ptr<std::optional<std::optional<CaptureError>>> started =
            std::make_shared<std::optional<std::optional<CaptureError>>>();

        bool succeeded() const { return started->has_value() && !started->value().has_value(); }
        std::string failure() const {
            return started->has_value() && started->value() ? started->value()->description : "";
        }
    };
    Recorder open(WindowNumber id, const CaptureConfiguration& config) {
        Recorder r;
        r.stream = capture().createStream(id, config);
        EXPECT_FALSE(r.stream->addStreamOutput(
            StreamOutputType::screen, [frames = r.frames](const SampleBuffer& b, StreamOutputType) {
                frames->push_back(b.imageBuffer);
            }));
        r.stream->startCapture([started = r.started](std::optional<CaptureError> e) {
            started->emplace(std::move(e));
        });
        EXPECT_FALSE(r.started->has_value());
        desktop.scheduler.runDue();
        return r;
    }
    std::optional<CaptureError> stop(CaptureStream& s) {
        std::optional<std::optional<CaptureError>> out;
        s.stopCapture([&](std::optional<CaptureError> e) { out.emplace(e); });
        EXPECT_FALSE(out.has_value());
        desktop.scheduler.runDue();
        EXPECT_TRUE(out.has_value());
        return out.value_or(CaptureError{"never answered"});
    }

    SimScreenCapture& capture() { return desktop.capture; }

    SimDesktop desktop;
    ProcessId pid = 0;
};

TEST_F(SimScreenCaptureTest, ContentListsTheWindowsTheQueryAsksForFrontToBack) {
    const WindowId front = open("Inbox", 0xff2255aau);
    const WindowId back = open("Draft", 0xffaa5522u);
    const WindowId away = open("Other space", 0xff888888u, Rect(0, 0, 100, 100), false);
    const WindowId small = open("Minimised", 0xff888888u);
    desktop.windows.setMinimized(small, true);
    const WindowNumber wallpaper = desktop.windowServer.allocateNumber();
    desktop.windowServer.add(wallpaper, {WindowServerDictionary{}, true, true});

    EXPECT_EQ(query(false, true).content->windowIDs, (Numbers{front, back, wallpaper}));
    EXPECT_EQ(query(true, true).content->windowIDs, (Numbers{front, back}));
    EXPECT_EQ(query(true, false).content->windowIDs, (Numbers{front, back, away, small}));
    EXPECT_EQ(capture().contentQueryCount(), 3u);

    capture().setScreenRecordingGranted(false);
    const auto denied = query(false, true);
    EXPECT_FALSE(denied.content.has_value());
    ASSERT_TRUE(denied.error.has_value());
    EXPECT_EQ(denied.error->description, SimScreenCapture::kDeclinedDescription);
}

TEST_F(SimScreenCaptureTest, AStillShowsTheWindowsTitleBarAndBodySoWindowsCanBeToldApart) {
    const WindowId blue = open("Inbox", 0xff2255aau);
    const WindowId twin = open("Outbox", 0xff2255aau);
    const auto a = take(blue);
    const auto b = take(twin);
    ASSERT_TRUE(a.image && b.image);
    EXPECT_FALSE(a.error);
    const Image& image = *a.image;
    ASSERT_EQ(image.width, 568);
    ASSERT_EQ(image.height, 364);

    // 880 x 560 fits 568 x 361.5: a thin transparent strip above and below.
    EXPECT_EQ(pixel(image, 284, 0), 0u);
    EXPECT_EQ(pixel(image, 284, 363), 0u);
    EXPECT_EQ(pixel(image, 284, 300), 0xff2255aau);
    // The title bar: a light strip with the red, yellow and green buttons at its left.
    const std::uint32_t bar = pixel(image, 120, 12);
    EXPECT_NE(bar, 0xff2255aau);
    EXPECT_GT(bar & 0xffu, 0xaau);
    EXPECT_EQ(pixel(image, 10, 13), 0xffff5f57u);
    // The title is written in it, dark on light.
    const auto titleInk =
        std::count(image.pixels.begin(), image.pixels.begin() + 568 * 20, 0xff3c3c3cu);
    EXPECT_GT(titleInk, 20);
    // Same colour, another title: another title and other body lines.
    EXPECT_NE(a.image->pixels, b.image->pixels);
}

TEST_F(SimScreenCaptureTest, ScalingToFitKeepsTheAspectRatioAndWithoutItTheWindowIsCutOff) {
    const WindowId tall = open("Tall", 0xff44aa44u, Rect(0, 0, 300, 900));
    const auto fitted = take(tall);
    ASSERT_TRUE(fitted.image);
    // 300 x 900 fits 121 x 364, centred.
    EXPECT_EQ(pixel(*fitted.image, 5, 200), 0u);
    EXPECT_EQ(pixel(*fitted.image, 562, 200), 0u);
    EXPECT_EQ(pixel(*fitted.image, 284, 300), 0xff44aa44u);

    const WindowId small = open("Small", 0xff44aa44u, Rect(0, 0, 200, 100));
    CaptureConfiguration asIs = still();
    asIs.scalesToFit = false;
    const auto cut = take(small, asIs);
    ASSERT_TRUE(cut.image);
    EXPECT_EQ(pixel(*cut.image, 100, 80), 0xff44aa44u);
    EXPECT_EQ(pixel(*cut.image, 300, 200), 0u);
}

TEST_F(SimScreenCaptureTest, StillsFailForBadConfigurationsWindowsOffScreenAndOnRequest) {
    const WindowId id = open("Inbox", 0xff2255aau);
    const WindowId away = open("Away", 0xff2255aau, Rect(0, 0, 100, 100), false);
    CaptureConfiguration wrongFormat = still();
    wrongFormat.pixelFormat = 0;
    struct Case {
        const char* name;
        WindowNumber window;
        CaptureConfiguration config;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"zero width", id, still(0, 364), SimScreenCapture::kInvalidConfigurationDescription},
        {"negative height", id, still(568, -1), SimScreenCapture::kInvalidConfigurationDescription},
        {"huge", id, still(568, 1'000'000), SimScreenCapture::kInvalidConfigurationDescription},
        {"pixel format", id, wrongFormat, SimScreenCapture::kInvalidConfigurationDescription},
        {"not on screen", away, still(), SimScreenCapture::kWindowUnavailableDescription},
        {"unknown window", 4242, still(), SimScreenCapture::kWindowUnavailableDescription},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = take(c.window, c.config);
        EXPECT_EQ(result.image, nullptr);
        ASSERT_TRUE(result.error.has_value());
        EXPECT_EQ(result.error->description, c.error);
    }

    capture().setStillCaptureError("Busy");
    EXPECT_EQ(take(id).error->description, "Busy");
    capture().setStillCaptureError(std::nullopt);
    capture().setStillCaptureAnswersNothing(true);
    const auto nothing = take(id);
    EXPECT_EQ(nothing.image, nullptr);
    EXPECT_FALSE(nothing.error.has_value());
    EXPECT_EQ(capture().stillCaptureCount(), cases.size() + 2);
}

TEST_F(SimScreenCaptureTest, StreamsDeliverAFrameEachIntervalOnTheSchedulersClock) {
    const WindowId id = open("Inbox", 0xff2255aau);
    auto fast = open(id, stream({1, 10}));
    ASSERT_TRUE(fast.succeeded());
    desktop.scheduler.advance(99ms);
    EXPECT_TRUE(fast.frames->empty());
    desktop.scheduler.advance(901ms);
    ASSERT_EQ(fast.frames->size(), 10u);
    // Frames move on: a live thumbnail visibly lives.
    EXPECT_NE((*fast.frames)[0]->pixels, (*fast.frames)[1]->pixels);
    EXPECT_EQ((*fast.frames)[0]->width, 568);
    EXPECT_EQ(capture().runningStreams(), Numbers{id});

    EXPECT_FALSE(stop(*fast.stream));
    desktop.scheduler.advance(1s);
    EXPECT_EQ(fast.frames->size(), 10u);
    EXPECT_EQ(capture().runningStreams(), Numbers{});
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
    // Stopping what is not running is an error the caller may ignore.
    EXPECT_TRUE(stop(*fast.stream));
}

TEST_F(SimScreenCaptureTest, FrameIntervalsAreBoundedByTheDisplay) {
    const Duration display = SimScreenCapture::frameInterval({0, 0});
    EXPECT_EQ(display, Duration(16'666'667));
    EXPECT_EQ(SimScreenCapture::frameInterval({1, 5}), 200ms);
    EXPECT_EQ(SimScreenCapture::frameInterval({1, 0}), display);
    EXPECT_EQ(SimScreenCapture::frameInterval({-1, 5}), display);
    EXPECT_EQ(SimScreenCapture::frameInterval({1, 1000}), display);
    EXPECT_EQ(SimScreenCapture::frameInterval({7200, 1}), 3600s);
    EXPECT_EQ(SimScreenCapture::frameInterval({std::numeric_limits<std::int64_t>::max(), 1}),
              3600s);
}

TEST_F(SimScreenCaptureTest, AStreamFallsSilentForGoodWhenItsWindowLeavesTheScreen) {
    const WindowId id = open("Inbox", 0xff2255aau);
    auto r = open(id, stream({1, 5}));
    desktop.scheduler.advance(400ms);
    EXPECT_EQ(r.frames->size(), 2u);
    desktop.windows.setMinimized(id, true);
    desktop.scheduler.advance(400ms);
    desktop.windows.setMinimized(id, false);
    desktop.scheduler.advance(1s);
    EXPECT_EQ(r.frames->size(), 2u);
    EXPECT_EQ(capture().runningStreams(), Numbers{});

    // A stream of a window that is already gone does not start.
    desktop.windows.close(id);
    EXPECT_EQ(open(id, stream({1, 5})).failure(), SimScreenCapture::kWindowUnavailableDescription);
}

TEST_F(SimScreenCaptureTest, HeldStartsCompleteWhenReleasedAndFailIfStoppedOrDroppedMeanwhile) {
    const WindowId id = open("Inbox", 0xff2255aau);
    capture().setHoldStreamStarts(true);
    auto held = open(id, stream({1, 5}));
    auto stopped = open(id, stream({1, 5}));
    auto dropped = open(id, stream({1, 5}));
    EXPECT_EQ(capture().heldStartCount(), 3u);
    EXPECT_FALSE(held.started->has_value());
    EXPECT_EQ(capture().runningStreams(), Numbers{});
    EXPECT_FALSE(stop(*stopped.stream));
    auto droppedStarted = dropped.started;
    dropped.stream.reset();

    capture().releaseHeldStarts();
    EXPECT_EQ(capture().heldStartCount(), 0u);
    EXPECT_TRUE(held.succeeded());
    EXPECT_EQ(stopped.failure(), "The stream was stopped before it started");
    ASSERT_TRUE(droppedStarted->has_value() && droppedStarted->value().has_value());
    EXPECT_EQ(droppedStarted->value()->description, "The stream was released before it started");
    EXPECT_EQ(capture().runningStreams(), Numbers{id});
    desktop.scheduler.advance(1s);
    EXPECT_EQ(held.frames->size(), 5u);
    EXPECT_TRUE(stopped.frames->empty());
    EXPECT_TRUE(dropped.frames->empty());
}

TEST_F(SimScreenCaptureTest, AStreamStartsOnceAndTakesNoEmptyOutput) {
    const WindowId id = open("Inbox", 0xff2255aau);
    auto s = open(id, stream({1, 5}));
    ASSERT_TRUE(s.succeeded());
    EXPECT_TRUE(s.stream->addStreamOutput(StreamOutputType::screen, nullptr).has_value());
    std::optional<std::optional<CaptureError>> again;
    s.stream->startCapture([&](std::optional<CaptureError> e) { again.emplace(e); });
    desktop.scheduler.runDue();
    ASSERT_TRUE(again.has_value() && again->has_value());
    desktop.scheduler.advance(1s);
    EXPECT_EQ(s.frames->size(), 5u);
    EXPECT_EQ(capture().runningStreams(), Numbers{id});
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

#include <gtest/gtest.h>

#include <xcb/xcb_ewmh.h>

#include <cstring>

#include "platform/sim/ManualExecutor.h"
#include "platform/x11/X11Rig.h"
#include "platform/x11/X11ScreenCapture.h"

namespace vantorel {
namespace {

class X11ScreenCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rig.session.skipReason.empty()) GTEST_SKIP() << rig.session.skipReason;
    }
    std::unique_ptr<X11ScreenCapture> make(X11ScreenCapture::Transport transport) {
        return std::make_unique<X11ScreenCapture>(rig.session.display.c_str(), rig.sim.scheduler,
                                                  worker, rig.sim.logger, transport);
    }
    // How often the client has painted, as it says on its window.
    std::uint32_t paints(xcb_window_t window) {
        xcb_connection_t* c = rig.session.connection->get();
        const xcb_atom_t atom = rig.session.connection->atom("_VANTOREL_PAINTS");
        auto* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        std::uint32_t value = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            std::memcpy(&value, xcb_get_property_value(reply), 4);
        std::free(reply);
        return value;
    }
    bool paintedSince(xcb_window_t window, std::uint32_t before) {
        return rig.session.waitFor([&] { return paints(window) > before; });
    }
    void repaint(xcb_window_t window, std::uint32_t color) {
        xcb_connection_t* c = rig.session.connection->get();
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window,
                            rig.session.connection->atom("_VANTOREL_COLOR"), XCB_ATOM_CARDINAL, 32,
                            1, &color);
        xcb_flush(c);
    }
    static std::uint32_t centre(const ImageRef& image) {
        return image
            ->pixels[static_cast<std::size_t>(image->height / 2) * image->width + image->width / 2];
    }

    X11Rig rig;
    ManualExecutor worker;
};

TEST_F(X11ScreenCaptureTest, ACoveredWindowReadsItsOwnPixelsThroughSharedMemoryAndTheSocket) {
    const xcb_window_t under = rig.open("Under", "under", "-", "0x20a040", "drawn");
    const xcb_window_t over = rig.open("Over", "over", "-", "0xc03020");
    ASSERT_TRUE(under && over);
    // Over goes where Under is, on top of it.
    const Rect target = rig.find(under)->frame;
    xcb_ewmh_request_moveresize_window(
        &rig.session.connection->ewmh(), 0, over, XCB_GRAVITY_NORTH_WEST,
        XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
        static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(XCB_EWMH_MOVERESIZE_WINDOW_X |
                                                            XCB_EWMH_MOVERESIZE_WINDOW_Y),
        static_cast<std::uint32_t>(target.minX()), static_cast<std::uint32_t>(target.minY()), 0, 0);
    xcb_flush(rig.session.connection->get());
    ASSERT_TRUE(
        rig.session.waitFor([&] { return rig.find(over)->frame.contains(target.center()); }));

    const auto shared = make(X11ScreenCapture::Transport::sharedMemory);
    const auto socket = make(X11ScreenCapture::Transport::socket);
    const std::uint32_t before = paints(under);
    shared->hold();
    worker.drain();
    EXPECT_EQ(shared->redirectedCount(), 2u);
    // Redirected, the covered part is the client's to paint again.
    ASSERT_TRUE(paintedSince(under, before));

    const struct {
        X11ScreenCapture* capture;
        X11ScreenCapture::Transport transport;
    } cases[] = {{shared.get(), X11ScreenCapture::Transport::sharedMemory},
                 {socket.get(), X11ScreenCapture::Transport::socket}};
    std::vector<ImageRef> images;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transport == X11ScreenCapture::Transport::socket ? "socket" : "shm");
        std::string error;
        images.push_back(c.capture->grab(under, &error));
        ASSERT_TRUE(images.back()) << error;
        EXPECT_EQ(c.capture->transport(), c.transport);
        EXPECT_EQ(centre(images.back()), 0xFF20A040u);
    }
    EXPECT_EQ(images[0]->pixels, images[1]->pixels);

    shared->release();
    worker.drain();
    EXPECT_EQ(shared->redirectedCount(), 0u);
    EXPECT_EQ(shared->sharedSegmentCount(), 0u);
}

TEST_F(X11ScreenCaptureTest, AMinimisedWindowAnswersWithItsLastPictureOrNothing) {
    const auto capture = make(X11ScreenCapture::Transport::sharedMemory);
    const struct {
        const char* cls;
        bool capturedBefore;
    } cases[] = {{"Seen", true}, {"Unseen", false}};
    CaptureConfiguration configuration;
    configuration.width = 160;
    configuration.height = 100;
    configuration.scalesToFit = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls);
        const xcb_window_t window = rig.open(c.cls, c.cls, "-", "0x808000");
        ASSERT_TRUE(window);
        const auto still = [&] {
            std::optional<std::pair<ImageRef, bool>> answer;
            capture->captureImage(window, configuration,
                                  [&](ImageRef image, std::optional<CaptureError> error) {
                                      answer.emplace(std::move(image), error.has_value());
                                  });
            rig.sim.scheduler.runDue();
            return answer.value_or(std::pair<ImageRef, bool>{});
        };
        ImageRef seen;
        if (c.capturedBefore) {
            seen = still().first;
            ASSERT_TRUE(seen);
            EXPECT_EQ(seen->width, 160);  // scaled down to fit, aspect kept
            EXPECT_EQ(seen->height, 100);
        }
        rig.desktop->minimizeWindow(window);
        ASSERT_TRUE(rig.session.waitFor([&] { return !rig.find(window)->viewable; }));
        const auto [image, failed] = still();
        EXPECT_EQ(image, seen);
        EXPECT_EQ(failed, !c.capturedBefore);
    }
}

TEST_F(X11ScreenCaptureTest, AStreamDeliversWhenTheWindowChangesAndFreesAllWhenStopped) {
    const xcb_window_t window = rig.open("Live", "live", "-", "0x2040c0", "drawn");
    ASSERT_TRUE(window);
    const auto capture = make(X11ScreenCapture::Transport::sharedMemory);
    CaptureConfiguration configuration;
    configuration.width = 568;
    configuration.height = 364;
    configuration.scalesToFit = true;
    configuration.minimumFrameInterval = {1, 5};
    const auto stream = capture->createStream(window, configuration);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(stream->addStreamOutput(StreamOutputType::audio, [](auto&, auto) {}));
    std::vector<ImageRef> frames;
    EXPECT_FALSE(stream->addStreamOutput(StreamOutputType::screen,
                                         [&](const SampleBuffer& buffer, StreamOutputType) {
                                             frames.push_back(buffer.imageBuffer);
                                         }));
    std::vector<std::optional<CaptureError>> completions;
    const auto done = [&](std::optional<CaptureError> error) { completions.push_back(error); };
    stream->startCapture(done);
    // What the server reported is read, the frame interval passes, the worker reads the window.
    const auto settle = [&] {
        for (int i = 0; i < 2; ++i) {
            capture->sync();
            rig.sim.scheduler.advance(std::chrono::seconds(1));
            worker.drain();
            rig.sim.scheduler.runDue();
        }
    };
    settle();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(centre(frames.back()), 0xFF2040C0u);
    EXPECT_EQ(frames.back()->width, 320);  // never scaled up
    const std::size_t first = frames.size();
    settle();
    EXPECT_EQ(frames.size(), first) << "a still window costs no frame";

    std::uint32_t before = paints(window);
    repaint(window, 0xA0A000);
    ASSERT_TRUE(paintedSince(window, before));
    settle();
    ASSERT_EQ(frames.size(), first + 1);
    EXPECT_EQ(centre(frames.back()), 0xFFA0A000u);

    stream->stopCapture(done);
    stream->stopCapture(done);
    rig.sim.scheduler.runDue();
    EXPECT_EQ(capture->redirectedCount(), 0u);
    EXPECT_EQ(capture->sharedSegmentCount(), 0u);
    before = paints(window);
    repaint(window, 0x101010);
    ASSERT_TRUE(paintedSince(window, before));
    settle();
    EXPECT_EQ(frames.size(), first + 1);
    // Started, stopped, and refused a second stop.
    ASSERT_EQ(completions.size(), 3u);
    EXPECT_FALSE(completions[0] || completions[1]);
    EXPECT_TRUE(completions[2]);
}

}  // namespace
}  // namespace vantorel

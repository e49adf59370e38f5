#include <gtest/gtest.h>

#include "platform/sim/ManualExecutor.h"
#include "platform/x11/X11Rig.h"
#include "platform/x11/X11ScreenCapture.h"

namespace vantorel {
namespace {

using Transport = X11ScreenCapture::Transport;

class X11ScreenCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rig.session.skipReason.empty()) GTEST_SKIP() << rig.session.skipReason;
    }
    std::unique_ptr<X11ScreenCapture> make(Transport transport = Transport::sharedMemory) {
        return std::make_unique<X11ScreenCapture>(rig.session.display.c_str(), rig.sim.scheduler,
                                                  worker, rig.sim.logger, transport);
    }
    // How often the client has painted, as it says on its window.
    std::uint32_t paints(xcb_window_t window) {
        XcbConnection& x = *rig.session.connection;
        std::uint32_t value = 0;
        xcb_ewmh_get_cardinal_reply(&x.ewmh(),
                                    xcb_get_property(x.get(), 0, window, x.atom("_VANTOREL_PAINTS"),
                                                     XCB_ATOM_CARDINAL, 0, 1),
                                    &value, nullptr);
        return value;
    }
    // Runs the change, then waits until the client has painted after it.
    bool paintedAfter(xcb_window_t window, const std::function<void()>& change) {
        const std::uint32_t before = paints(window);
        change();
        return rig.session.waitFor([&] { return paints(window) > before; });
    }
    void recolour(xcb_window_t window, std::uint32_t color) {
        xcb_client_message_event_t message{
            XCB_CLIENT_MESSAGE, 32, 0, window, rig.session.connection->atom("_VANTOREL_COLOR"), {}};
        message.data.data32[0] = color;
        xcb_send_event(rig.session.connection->get(), 0, window, 0,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(rig.session.connection->get());
    }
    static std::uint32_t centre(const ImageRef& image) {
        return image
            ->pixels[static_cast<std::size_t>(image->height / 2) * image->width + image->width / 2];
    }

    X11Rig rig;
    ManualExecutor worker;
};

TEST_F(X11ScreenCaptureTest, ACoveredWindowReadsItsOwnPixelsThroughSharedMemoryAndTheSocket) {
    // Both asked for the same place: the later covers the earlier.
    const xcb_window_t under = rig.open("Under", "under", "-", "0x20a040", "drawn,placed");
    const xcb_window_t over = rig.open("Over", "over", "-", "0xc03020", "placed");
    ASSERT_TRUE(under && over);
    // Each find reads the list again: hold a copy, not a pointer into the last answer.
    const Rect overFrame = rig.find(over)->frame;
    ASSERT_TRUE(overFrame.contains(rig.find(under)->frame.center()));
    const auto shared = make(Transport::sharedMemory);
    const auto socket = make(Transport::socket);
    // Redirected, the covered part is the client's to paint again.
    ASSERT_TRUE(paintedAfter(under, [&] {
        shared->hold();
        worker.drain();
    }));
    std::vector<ImageRef> images;
    for (X11ScreenCapture* capture : {shared.get(), socket.get()}) {
        std::string error;
        images.push_back(capture->grab(under, &error));
        ASSERT_TRUE(images.back()) << error;
        EXPECT_EQ(centre(images.back()), 0xFF20A040u);
    }
    EXPECT_EQ(shared->transport(), Transport::sharedMemory);
    EXPECT_EQ(socket->transport(), Transport::socket);
    EXPECT_EQ(images[0]->pixels, images[1]->pixels);

    shared->release();
    worker.drain();
    EXPECT_EQ(shared->redirectedCount(), 0u);
    EXPECT_EQ(shared->sharedSegmentCount(), 0u);
}

TEST_F(X11ScreenCaptureTest, AMinimisedWindowAnswersWithItsLastPictureOrNothing) {
    const auto capture = make();
    const CaptureConfiguration configuration{
        .width = 160, .height = 100, .scalesToFit = true, .minimumFrameInterval = {}};
    for (const bool capturedBefore : {true, false}) {
        SCOPED_TRACE(capturedBefore);
        const xcb_window_t window = rig.open(capturedBefore ? "Seen" : "Unseen", "w", "-");
        ASSERT_TRUE(window);
        const auto still = [&] {
            std::pair<ImageRef, bool> answer;
            capture->captureImage(window, configuration, [&](ImageRef image, auto error) {
                answer = {std::move(image), error.has_value()};
            });
            rig.sim.scheduler.runDue();
            return answer;
        };
        ImageRef seen;
        if (capturedBefore) {
            seen = still().first;
            ASSERT_TRUE(seen);
            EXPECT_EQ(std::pair(seen->width, seen->height), std::pair(160, 100));
        }
        rig.desktop->minimizeWindow(window);
        ASSERT_TRUE(rig.session.waitFor([&] { return !rig.find(window)->viewable; }));
        EXPECT_EQ(still(), std::pair(seen, !capturedBefore));
    }
}

TEST_F(X11ScreenCaptureTest, AStreamDeliversWhenTheWindowChangesAndFreesAllWhenStopped) {
    const xcb_window_t window = rig.open("Live", "live", "-", "0x2040c0", "drawn");
    ASSERT_TRUE(window);
    const auto capture = make();
    const auto stream = capture->createStream(
        window, {.width = 568, .height = 364, .scalesToFit = true, .minimumFrameInterval = {1, 5}});
    ASSERT_TRUE(stream);
    std::vector<ImageRef> frames;
    EXPECT_TRUE(stream->addStreamOutput(StreamOutputType::audio, [](auto&, auto) {}));
    EXPECT_FALSE(stream->addStreamOutput(StreamOutputType::screen, [&](auto& buffer, auto) {
        frames.push_back(buffer.imageBuffer);
    }));
    std::vector<bool> failed;
    const auto done = [&](std::optional<CaptureError> error) {
        failed.push_back(error.has_value());
    };
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

    ASSERT_TRUE(paintedAfter(window, [&] { recolour(window, 0xA0A000); }));
    settle();
    ASSERT_EQ(frames.size(), first + 1);
    EXPECT_EQ(centre(frames.back()), 0xFFA0A000u);

    stream->stopCapture(done);
    stream->stopCapture(done);
    rig.sim.scheduler.runDue();
    EXPECT_EQ(capture->redirectedCount(), 0u);
    EXPECT_EQ(capture->sharedSegmentCount(), 0u);
    ASSERT_TRUE(paintedAfter(window, [&] { recolour(window, 0x101010); }));
    settle();
    EXPECT_EQ(frames.size(), first + 1);
    // Started, stopped, and a second stop refused.
    EXPECT_EQ(failed, std::vector<bool>({false, false, true}));
}

}  // namespace
}  // namespace vantorel

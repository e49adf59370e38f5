#include <gtest/gtest.h>
#include <sys/uio.h>
#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <cstdlib>
#include <vector>

#include "platform/x11/X11Screens.h"
#include "platform/x11/X11SessionRig.h"

namespace vantorel {
namespace {

struct MonitorSpec {
    const char* name;
    int x, y, width, height;
    bool primary;
};

// Monitors as a user lays them out with xrandr --setmonitor, beside the one the server makes
// of its only output (the whole 1280×800 screen, not primary).
class X11ScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!session.skipReason.empty()) GTEST_SKIP() << session.skipReason;
        c = session.connection->get();
        // The server takes monitors only from clients that said they know them.
        std::free(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    }

    void layOut(std::initializer_list<MonitorSpec> monitors) {
        // Only monitors that exist: Xvfb stops answering for monitors after deleting one that
        // does not.
        for (const xcb_atom_t name : laidOut)
            xcb_randr_delete_monitor(c, session.connection->root(), name);
        laidOut.clear();
        for (const MonitorSpec& m : monitors) {
            xcb_randr_monitor_info_t info{};
            info.name = session.connection->atom(m.name);
            info.primary = m.primary;
            info.x = static_cast<std::int16_t>(m.x);
            info.y = static_cast<std::int16_t>(m.y);
            info.width = static_cast<std::uint16_t>(m.width);
            info.height = static_cast<std::uint16_t>(m.height);
            info.width_in_millimeters = static_cast<std::uint32_t>(m.width / 4);
            info.height_in_millimeters = static_cast<std::uint32_t>(m.height / 4);
            setMonitor(info);
            laidOut.push_back(info.name);
        }
    }
    // Sent by hand: libxcb 1.15's own request sometimes goes out too long and the server drops
    // the connection.
    void setMonitor(const xcb_randr_monitor_info_t& info) {
        struct {
            std::uint8_t major, minor;
            std::uint16_t length;
            xcb_window_t window;
        } header{0, XCB_RANDR_SET_MONITOR, 0, session.connection->root()};
        iovec parts[4];
        parts[2] = {&header, sizeof header};
        parts[3] = {const_cast<xcb_randr_monitor_info_t*>(&info), sizeof info};
        const xcb_protocol_request_t request{2, &xcb_randr_id, XCB_RANDR_SET_MONITOR, 1};
        xcb_send_request(c, 0, parts + 2, &request);
    }
    void pointAt(int x, int y) {
        xcb_warp_pointer(c, XCB_NONE, session.connection->root(), 0, 0, 0, 0,
                         static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }

    X11SessionRig session;
    xcb_connection_t* c = nullptr;
    std::vector<xcb_atom_t> laidOut;
};

// Frames are expected in the ports' coordinates: origin at the bottom left of the primary
// monitor (else the first listed), y upward.
TEST_F(X11ScreensTest, MainScreenIsTheMonitorUnderThePointerFirstListedFirst) {
    const Rect whole{0, 0, 1280, 800};
    struct Case {
        const char* what;
        std::initializer_list<MonitorSpec> monitors;
        int px, py;
        Rect main, primary;
        std::size_t count;
        Point mouse;
    } cases[] = {
        {"the output's monitor alone", {}, 300, 200, whole, whole, 1, {300, 600}},
        {"pointer on a primary monitor",
         {{"VT-A", 640, 0, 640, 400, true}},
         900,
         100,
         {640, 0, 640, 400},
         {640, 0, 640, 400},
         2,
         {900, 300}},
        {"pointer off the shorter primary: y flips by its height",
         {{"VT-A", 640, 0, 640, 400, true}},
         100,
         700,
         {0, -400, 1280, 800},
         {640, 0, 640, 400},
         2,
         {100, -300}},
        {"pointer off every monitor of ours: the output's",
         {{"VT-A", 0, 0, 400, 800, false}, {"VT-B", 400, 0, 400, 800, false}},
         1000,
         400,
         whole,
         {0, 0, 400, 800},
         3,
         {1000, 400}},
        {"pointer on the second of ours",
         {{"VT-A", 0, 0, 400, 800, false}, {"VT-B", 400, 0, 400, 800, false}},
         500,
         10,
         {400, 0, 400, 800},
         {0, 0, 400, 800},
         3,
         {500, 790}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        layOut(k.monitors);
        pointAt(k.px, k.py);
        X11Screens screens(*session.connection);
        const auto all = screens.screens();
        ASSERT_EQ(all.size(), k.count);
        EXPECT_EQ(all.front().frame, k.primary);
        const auto main = screens.mainScreen();
        ASSERT_TRUE(main);
        EXPECT_EQ(main->frame, k.main);
        // No panel reserves room here: the work area is the whole screen.
        EXPECT_EQ(main->visibleFrame, k.main);
        EXPECT_EQ(screens.mouseLocation().x, k.mouse.x);
        EXPECT_EQ(screens.mouseLocation().y, k.mouse.y);
    }
}

}  // namespace
}  // namespace vantorel

#include <gtest/gtest.h>
#include <sys/uio.h>
#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <cstdlib>
#include <cstring>

#include "platform/x11/X11Screens.h"
#include "platform/x11/X11SessionRig.h"

namespace vantorel {
namespace {

// Monitors set by hand (libxcb 1.15's request sometimes goes out too long) beside the one of
// Xvfb's only output (1280×800, not primary); frames in the ports' coordinates.
TEST(X11ScreensTest, MainScreenIsTheMonitorUnderThePointerFirstListedFirst) {
    X11SessionRig session;
    if (!session.skipReason.empty()) GTEST_SKIP() << session.skipReason;
    xcb_connection_t* c = session.connection->get();
    const xcb_window_t root = session.connection->root();
    std::free(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    const xcb_atom_t names[] = {session.connection->atom("VT-A"), session.connection->atom("VT-B")};
    const Rect all{0, 0, 1280, 800}, top{640, 0, 640, 400}, a{0, 0, 400, 800}, b{400, 0, 400, 800};
    const struct Case {
        std::vector<Rect> monitors;  // in the server's coordinates; the first one primary?
        bool primary;
        Point at, mouse;  // the pointer in the server's and the ports' coordinates
        Rect main, first;
    } cases[] = {
        {{}, false, {300, 200}, {300, 600}, all, all},
        {{top}, true, {100, 700}, {100, -300}, {0, -400, 1280, 800}, top},  // off the primary
        {{a, b}, false, {1000, 400}, {1000, 400}, all, a},                  // off ours
        {{a, b}, false, {500, 10}, {500, 790}, b, a},
    };
    for (std::size_t laidOut = 0; const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.at.x << "," << k.at.y);
        // Only monitors that exist: Xvfb stops answering after deleting one that does not.
        for (std::size_t i = 0; i < laidOut; ++i)
            xcb_randr_delete_monitor(c, root, names[i]);
        laidOut = k.monitors.size();
        for (std::size_t i = 0; i < laidOut; ++i) {
            xcb_randr_monitor_info_t info{};
            info.name = names[i];
            info.primary = k.primary && i == 0;
            info.x = static_cast<std::int16_t>(k.monitors[i].minX());
            info.width = static_cast<std::uint16_t>(k.monitors[i].width());
            info.height = static_cast<std::uint16_t>(k.monitors[i].height());
            std::uint8_t header[8] = {0, XCB_RANDR_SET_MONITOR};  // opcode and length: xcb's
            std::memcpy(header + 4, &root, sizeof root);
            iovec parts[4] = {{}, {}, {&header, sizeof header}, {&info, sizeof info}};
            const xcb_protocol_request_t request{2, &xcb_randr_id, XCB_RANDR_SET_MONITOR, 1};
            xcb_send_request(c, 0, parts + 2, &request);
        }
        xcb_warp_pointer(c, XCB_NONE, root, 0, 0, 0, 0, static_cast<std::int16_t>(k.at.x),
                         static_cast<std::int16_t>(k.at.y));
        X11Screens screens(*session.connection);
        ASSERT_EQ(screens.screens().size(), k.monitors.size() + 1);
        EXPECT_EQ(screens.screens().front().frame, k.first);
        EXPECT_EQ(screens.mainScreen().value_or(ScreenInfo{}).frame, k.main);
        EXPECT_EQ(screens.mouseLocation(), k.mouse);
    }
}

}  // namespace
}  // namespace vantorel

#include "platform/qt/X11SelectionWatch.h"

#include <QProcess>
#include <QSignalSpy>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace vantorel {
namespace {

// On a private X server, started as it says it is ready (-displayfd), never waited for.
TEST(X11SelectionWatchTest, FollowsTheOwnerAsHostsStartStopAndTakeOverAndNothingWithoutAServer) {
    for (const char* nowhere : {":4711", "no display at all"}) {
        X11SelectionWatch none("_NET_SYSTEM_TRAY_S", nowhere);
        EXPECT_FALSE(none.isWatching() || none.owner()) << nowhere;
    }
    QProcess server;  // killed and waited for when it goes
    server.start(QStringLiteral("Xvfb"), QStringLiteral("-displayfd 1 -nolisten tcp -screen 0 "
                                                        "64x64x24")
                                             .split(QLatin1Char(' ')));
    if (!server.waitForStarted()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(server.waitForReadyRead(20000));
    const std::string display = ":" + server.readAllStandardOutput().trimmed().toStdString();

    X11SelectionWatch watch("_NET_SYSTEM_TRAY_S", display);
    ASSERT_TRUE(watch.isWatching());
    EXPECT_EQ(watch.owner(), 0u);
    QSignalSpy changes(&watch, &X11SelectionWatch::ownerChanged);
    const auto next = [&] {
        EXPECT_TRUE(changes.wait(10000));
        return watch.owner();
    };
    // A tray host: a client that makes a window and takes the selection with it.
    const auto host = [&](xcb_connection_t* c) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window,
                          xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        auto* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 19, "_NET_SYSTEM_TRAY_S0"), nullptr);
        xcb_set_selection_owner(c, window, atom->atom, XCB_CURRENT_TIME);
        xcb_flush(c);
        std::free(atom);
        return window;
    };

    xcb_connection_t* first = xcb_connect(display.c_str(), nullptr);
    xcb_connection_t* second = xcb_connect(display.c_str(), nullptr);
    for (xcb_connection_t* c : {first, second}) {  // the second takes over
        const xcb_window_t window = host(c);
        EXPECT_EQ(next(), window);
    }
    xcb_destroy_window(second, watch.owner());
    xcb_flush(second);
    EXPECT_EQ(next(), 0u);  // its window went
    const xcb_window_t again = host(second);
    EXPECT_EQ(next(), again);
    xcb_disconnect(second);
    EXPECT_EQ(next(), 0u);  // the host ended
    xcb_disconnect(first);
    EXPECT_EQ(changes.size(), 5);
}

}  // namespace
}  // namespace vantorel

#include "platform/qt/X11SelectionWatch.h"

#include <QProcess>
#include <QSignalSpy>

#include <string>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace vantorel {
namespace {

TEST(X11SelectionWatchTest, WithoutAServerItWatchesNothing) {
    for (const char* display : {":4711", "no display at all", "/nonexistent/socket:0"}) {
        SCOPED_TRACE(display);
        X11SelectionWatch watch("_NET_SYSTEM_TRAY_S", display);
        EXPECT_FALSE(watch.isWatching());
        EXPECT_EQ(watch.owner(), 0u);
    }
}

// A private X server of our own, started as it says it is ready (-displayfd), never waited for.
class X11SelectionWatchOnXvfb : public testing::Test {
protected:
    void SetUp() override {
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("64x64x24")});
        if (!server.waitForStarted()) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(server.waitForReadyRead(20000));
        display = ":" + server.readAllStandardOutput().trimmed().toStdString();
    }
    void TearDown() override {
        server.kill();
        server.waitForFinished();
    }
    // A client holding a window, as a tray host does.
    struct Client {
        xcb_connection_t* c;
        xcb_window_t window;
    };
    Client connectClient() {
        xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
        const xcb_window_t window = xcb_generate_id(c);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        return {c, window};
    }
    void take(const Client& client) {
        const std::string name = "_NET_SYSTEM_TRAY_S0";
        auto* reply = xcb_intern_atom_reply(
            client.c, xcb_intern_atom(client.c, 0, name.size(), name.c_str()), nullptr);
        xcb_set_selection_owner(client.c, client.window, reply->atom, XCB_CURRENT_TIME);
        xcb_flush(client.c);
        free(reply);
    }

    QProcess server;
    std::string display;
};

TEST_F(X11SelectionWatchOnXvfb, FollowsTheOwnerAsHostsStartStopAndTakeOver) {
    X11SelectionWatch watch("_NET_SYSTEM_TRAY_S", display);
    ASSERT_TRUE(watch.isWatching());
    EXPECT_EQ(watch.owner(), 0u);
    QSignalSpy changes(&watch, &X11SelectionWatch::ownerChanged);
    const auto next = [&] {
        EXPECT_TRUE(changes.wait(10000));
        return watch.owner();
    };

    const Client first = connectClient();
    take(first);
    EXPECT_EQ(next(), first.window);
    const Client second = connectClient();
    take(second);
    EXPECT_EQ(next(), second.window);  // another host took over
    xcb_destroy_window(second.c, second.window);
    xcb_flush(second.c);
    EXPECT_EQ(next(), 0u);  // its window went
    take(first);
    EXPECT_EQ(next(), first.window);
    xcb_disconnect(first.c);
    EXPECT_EQ(next(), 0u);  // the host ended
    xcb_disconnect(second.c);
    EXPECT_EQ(changes.size(), 5);
}

}  // namespace
}  // namespace vantorel

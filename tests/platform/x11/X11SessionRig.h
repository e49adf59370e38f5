#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/x11/XcbConnection.h"

extern char** environ;

namespace vantorel {

// A real X session for the adapters: Xvfb on a display of its own, openbox (with Alt+Tab freed,
// or with its own bindings), and test clients of one window each. skipReason says why there is
// none. Waits are on the server's events, each bounded.
class X11SessionRig {
public:
    enum class Bindings { freeAltTab, openboxDefaults };
    static constexpr int kTimeoutMs = 10000;

    explicit X11SessionRig(Bindings bindings = Bindings::freeAltTab) {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-x11-XXXXXX");
        if (::mkdtemp(pattern.data())) dir = pattern;
        const std::string xvfb = onPath("Xvfb");
        const std::string openbox = onPath("openbox");
        if (xvfb.empty() || openbox.empty()) {
            skipReason = "Xvfb and openbox are needed (scripts/install-deps.sh installs them)";
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0) {
            skipReason = "no pipe";
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        // A number of our own: the lowest free one may be another session's in a sandbox.
        const std::string wanted = ":" + std::to_string(200 + ::getpid() % 700);
        start({xvfb, wanted, "-displayfd", fd, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        ::close(fds[1]);
        std::string number;
        char c = 0;
        pollfd wait{fds[0], POLLIN, 0};
        while (::poll(&wait, 1, kTimeoutMs) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty()) {
            skipReason = "Xvfb did not start";
            return;
        }
        display = ":" + number;
        ::setenv("DISPLAY", display.c_str(), 1);
        // openbox runs the start-up command once it manages windows and holds its keys.
        std::vector<std::string> wm{openbox, "--startup",
                                    "xprop -root -f _VANTOREL_READY 32c -set _VANTOREL_READY 1"};
        if (bindings == Bindings::freeAltTab) wm.insert(wm.end(), {"--config-file", freedConfig()});
        start(wm);
        watcher_ = xcb_connect(display.c_str(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(watcher_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(watcher_, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(watcher_);
        // The window manager announces itself on the root; try again at each change there.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string problem;
        while (!ready(root) || !(connection = XcbConnection::open(display.c_str(), &problem))) {
            if (!waitOn(watcher_, deadline)) {
                skipReason = "openbox: " + problem;
                return;
            }
        }
    }

    ~X11SessionRig() {
        connection.reset();
        if (watcher_) xcb_disconnect(watcher_);
        for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
            ::kill(*it, SIGTERM);
            ::waitpid(*it, nullptr, 0);
        }
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }

    // A client window of that class; "-" leaves a name out. Flags as the client takes them.
    pid_t client(const std::string& cls, const std::string& utf8, const std::string& latin1 = "-",
                 const std::string& color = "0x3366cc", const std::string& flags = "") {
        if (flags.empty()) return start({VANTOREL_X11_TEST_CLIENT, cls, utf8, latin1, color});
        return start({VANTOREL_X11_TEST_CLIENT, cls, utf8, latin1, color, flags});
    }

    // Pumps the adapters' connection until the predicate holds; false after the timeout.
    bool waitFor(const std::function<bool()>& predicate, int timeoutMs = kTimeoutMs) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!predicate()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            connection->waitAndPump(static_cast<int>(left.count()));
        }
        return true;
    }

    std::string skipReason;
    std::string display;
    std::filesystem::path dir;  // the session's own, removed with it
    std::unique_ptr<XcbConnection> connection;

private:
    static std::string onPath(const std::string& name) {
        std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin");
        for (std::string dir; std::getline(path, dir, ':');)
            if (::access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
        return {};
    }
    bool ready(xcb_window_t root) {
        const char name[] = "_VANTOREL_READY";
        auto* atom = xcb_intern_atom_reply(
            watcher_, xcb_intern_atom(watcher_, 0, sizeof name - 1, name), nullptr);
        auto* value =
            atom ? xcb_get_property_reply(
                       watcher_,
                       xcb_get_property(watcher_, 0, root, atom->atom, XCB_ATOM_ANY, 0, 1), nullptr)
                 : nullptr;
        const bool set = value && value->type != XCB_ATOM_NONE;
        std::free(atom);
        std::free(value);
        return set;
    }
    static bool waitOn(xcb_connection_t* c, std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c))
            std::free(event);
        return true;
    }
    // openbox's own configuration without its Alt+Tab bindings, at an absolute path (a relative
    // one makes openbox fall back to its defaults).
    std::string freedConfig() {
        std::ifstream in("/etc/xdg/openbox/rc.xml");
        std::stringstream text;
        text << in.rdbuf();
        const std::regex altTab(R"(<keybind key="A-(S-)?Tab">[\s\S]*?</keybind>)");
        const auto path = dir / "openbox-rc.xml";
        std::ofstream(path) << std::regex_replace(text.str(), altTab, "");
        return path.string();
    }
    pid_t start(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        // The session's output goes to a file of its own: children holding the test's output
        // would keep ctest waiting for ever should the test die before it ends them.
        const std::string log = dir.empty() ? "/dev/null" : (dir / "session.log").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        pid_t pid = 0;
        const int failed = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) return 0;
        children_.push_back(pid);
        return pid;
    }

    xcb_connection_t* watcher_ = nullptr;
    std::vector<pid_t> children_;
};

}  // namespace vantorel

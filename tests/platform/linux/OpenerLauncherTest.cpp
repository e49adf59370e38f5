#include "platform/linux/OpenerLauncher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include "platform/linux/NetworkLockdown.h"

namespace vantorel {
namespace {

// What the probe wrote into a FIFO, waiting at most ten seconds for it to be opened.
std::string readProbe(int fifo) {
    pollfd ready{fifo, POLLIN, 0};
    if (::poll(&ready, 1, 10000) <= 0) return "no probe";
    char text[128] = {};
    return ::read(fifo, text, sizeof text - 1) > 0 ? text : "empty";
}

// In a child of the test: the launcher first, then the filter, as the program does it.
[[noreturn]] void openUnderFilter(bool throughLauncher) {
    auto launcher = std::make_unique<OpenerLauncher>(INET_PROBE);
    if (const auto problem = NetworkLockdown::install()) {
        std::cerr << *problem;
        ::_exit(3);
    }
    if (::socket(AF_INET, SOCK_STREAM, 0) >= 0 || errno != EACCES) ::_exit(4);
    const auto path =
        std::filesystem::temp_directory_path() / ("opener-" + std::to_string(::getpid()));
    ::mkfifo(path.c_str(), 0600);
    const int fifo = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    const auto url = Url::fromPath(path.string());
    if (throughLauncher) {
        if (!launcher->open(*url)) ::_exit(5);
    } else if (::fork() == 0) {
        ::execl(INET_PROBE, INET_PROBE, url->string().c_str(), nullptr);
        ::_exit(127);
    }
    std::cerr << readProbe(fifo);
    std::filesystem::remove(path);
    // Waits for the launcher, which must end with its owner's socket whatever it has reaped.
    launcher.reset();
    ::_exit(0);
}

TEST(OpenerLauncherTest, WhatItOpensIsOutsideTheFilterWhileTheOwnerStaysInside) {
    // Started by the filtered process itself, the opener would inherit the filter.
    EXPECT_EXIT(openUnderFilter(false), testing::ExitedWithCode(0), "^Permission denied$");
    EXPECT_EXIT(openUnderFilter(true), testing::ExitedWithCode(0), "^done$");
}

TEST(OpenerLauncherTest, RefusesWhatIsNotAnAbsoluteUrlAndOpensNothingOnceGone) {
    OpenerLauncher launcher("true");
    const std::string tooLong = "file:///" + std::string(OpenerLauncher::kMaxUrlBytes, 'a');
    for (const char* text : {"relative/path", "-h", tooLong.c_str()}) {
        SCOPED_TRACE(std::string(text).substr(0, 20));
        EXPECT_FALSE(launcher.open(*Url::parse(text)));
    }
    EXPECT_TRUE(launcher.open(*Url::parse("file:///tmp")));
    // Dead but not yet reaped: the URL finds nobody to take it.
    ::kill(launcher.pid(), SIGKILL);
    siginfo_t info;
    ::waitid(P_PID, static_cast<id_t>(launcher.pid()), &info, WEXITED | WNOWAIT);
    EXPECT_FALSE(launcher.open(*Url::parse("file:///tmp")));
    EXPECT_FALSE(launcher.isRunning());
}

}  // namespace
}  // namespace vantorel

#include "platform/linux/OpenerLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <vector>

namespace vantorel {
namespace {

// Only what names a thing to open: an absolute URL the parser accepts, so never an option.
bool isOpenable(std::string_view text) {
    if (text.empty() || text.size() > OpenerLauncher::kMaxUrlBytes) return false;
    const auto url = Url::parse(text);
    return url && !url->scheme().empty() && text.find('\0') == std::string_view::npos;
}

void start(const std::string& opener, const std::string& url, const sigset_t& original) {
    const pid_t pid = ::fork();
    if (pid != 0) return;
    ::sigprocmask(SIG_SETMASK, &original, nullptr);
    const char* argv[] = {opener.c_str(), url.c_str(), nullptr};
    ::execvp(argv[0], const_cast<char* const*>(argv));
    ::_exit(127);
}

// The launcher's whole life: never returns to the caller's code.
[[noreturn]] void serve(int socket, const std::string& opener) {
    ::prctl(PR_SET_NAME, "vantorel-open");
    // Nothing of the owner's but the socket: its files and sockets stay its own.
    if (socket != 3 && ::dup3(socket, 3, O_CLOEXEC) == 3) socket = 3;
    ::close_range(static_cast<unsigned>(socket) + 1, ~0u, 0);
    sigset_t children, original;
    sigemptyset(&children);
    sigaddset(&children, SIGCHLD);
    ::sigprocmask(SIG_BLOCK, &children, &original);
    const int exited = ::signalfd(-1, &children, SFD_NONBLOCK | SFD_CLOEXEC);
    std::vector<char> buffer(OpenerLauncher::kMaxUrlBytes + 1);
    pollfd events[] = {{socket, POLLIN, 0}, {exited, POLLIN, 0}};
    for (;;) {
        if (::poll(events, exited < 0 ? 1 : 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (events[1].revents & POLLIN) {
            signalfd_siginfo info;
            while (::read(exited, &info, sizeof info) > 0) {
            }
        }
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        if (events[0].revents & POLLIN) {
            const ssize_t size = ::recv(socket, buffer.data(), buffer.size(), MSG_TRUNC);
            if (size <= 0) break;  // the owner has gone
            const std::string_view text(buffer.data(), static_cast<std::size_t>(size));
            if (static_cast<std::size_t>(size) < buffer.size() && isOpenable(text)) {
                start(opener, std::string(text), original);
            }
        } else if (events[0].revents & (POLLHUP | POLLERR)) {
            break;
        }
    }
    ::_exit(0);
}

}  // namespace

OpenerLauncher::OpenerLauncher(std::string opener) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(pair[0]);
        serve(pair[1], opener);
    }
    ::close(pair[1]);
    if (pid_ < 0) {
        ::close(pair[0]);
        return;
    }
    socket_ = pair[0];
}

OpenerLauncher::~OpenerLauncher() {
    if (socket_ >= 0) ::close(socket_);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

bool OpenerLauncher::open(const Url& url) {
    if (socket_ < 0 || !isOpenable(url.string())) return false;
    const std::string& text = url.string();
    if (::send(socket_, text.data(), text.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(text.size())) {
        return true;
    }
    // The launcher has gone; the caller may open another way.
    ::close(socket_);
    socket_ = -1;
    return false;
}

}  // namespace vantorel

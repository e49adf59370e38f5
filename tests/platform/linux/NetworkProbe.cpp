// Preloaded into vantorel by NetworkCheck.cmake: as the program exits, after it has run as it
// always does, this tries the network from inside it and writes down what happened.
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

const char* outcome(long result) {
    return result < 0 ? std::strerror(errno) : "done";
}

__attribute__((destructor)) void probe() {
    const char* output = std::getenv("VANTOREL_PROBE_OUTPUT");
    if (!output) return;
    std::ofstream report(output);
    // Port 1 on the loopback: nothing listens there, so an attempt let through is refused by it.
    const sockaddr_in address{AF_INET, htons(1), {htonl(INADDR_LOOPBACK)}, {}};
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const auto* to = reinterpret_cast<const sockaddr*>(&address);
    int pair[2];
    char params[120] = {};
    report << "connect 127.0.0.1: " << outcome(fd < 0 ? fd : ::connect(fd, to, sizeof address))
           << "\ninet6: " << outcome(::socket(AF_INET6, SOCK_DGRAM, 0))
           << "\npacket: " << outcome(::socket(AF_PACKET, SOCK_RAW, 0))
           << "\nunix: " << outcome(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair))
           << "\nio_uring: " << outcome(::syscall(__NR_io_uring_setup, 1, params)) << "\n";
}

}  // namespace

// The opener in OpenerLauncherTest: given a file URL, tries to open an IPv4 socket and writes
// what happened to that file.
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const std::string prefix = "file://";
    if (argc != 2 || std::string(argv[1]).rfind(prefix, 0) != 0) return 2;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::ofstream(argv[1] + prefix.size()) << (fd < 0 ? std::strerror(errno) : "done");
    return 0;
}

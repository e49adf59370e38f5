#pragma once

#include <optional>
#include <string>

namespace vantorel {

// The program sends nothing off the machine. Once it has started, new IPv4, IPv6 and packet
// sockets are refused with EACCES, and io_uring (which could open sockets past the filter) with
// EPERM; local sockets (X11, D-Bus, the journal, the single-instance socket) keep working, and
// so do sockets opened before. The filter covers every thread, is inherited by child processes,
// and cannot be lifted.
class NetworkLockdown {
public:
    // Nullopt once the filter is in force; otherwise why it could not be installed.
    static std::optional<std::string> install();
};

}  // namespace vantorel

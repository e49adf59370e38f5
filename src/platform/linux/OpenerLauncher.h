#pragma once

#include <sys/types.h>

#include <string>

#include "platform/Url.h"

namespace vantorel {

// Opens URLs with the desktop's opener from a small process forked at construction, before the
// network filter goes in: what the user opens (a browser, say) must not inherit the filter. The
// launcher takes one URL per message, starts the opener for it, reaps what it started, and exits
// once its owner is gone. Construct it while the process is still single-threaded.
class OpenerLauncher {
public:
    // `opener` is looked up on PATH and given each URL as its one argument.
    explicit OpenerLauncher(std::string opener = "xdg-open");
    ~OpenerLauncher();
    OpenerLauncher(const OpenerLauncher&) = delete;
    OpenerLauncher& operator=(const OpenerLauncher&) = delete;

    bool isRunning() const { return socket_ >= 0; }
    pid_t pid() const { return pid_; }
    // Hands the URL over; false for a relative or over-long URL, or when the launcher is gone.
    bool open(const Url& url);

    // The longest URL handed over; a longer one is refused rather than cut.
    static constexpr std::size_t kMaxUrlBytes = 8192;

private:
    int socket_ = -1;
    pid_t pid_ = -1;
};

}  // namespace vantorel

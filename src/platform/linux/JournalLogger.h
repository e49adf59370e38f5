#pragma once

#include "platform/Logger.h"

namespace vantorel {

// Sends log lines to the systemd journal, with the subsystem and category as fields of their own
// (VANTOREL_SUBSYSTEM, VANTOREL_CATEGORY) so that `journalctl VANTOREL_CATEGORY=dock` filters.
class JournalLogger final : public Logger {
public:
    explicit JournalLogger(LogLevel minimum) : minimum_(minimum) {}

    // Whether a journal listens on this machine (its socket exists).
    static bool isAvailable();

    bool isEnabled(LogLevel level) const override {
        return static_cast<int>(level) >= static_cast<int>(minimum_);
    }
    void write(const LogRecord& record) override;

private:
    LogLevel minimum_;
};

}  // namespace vantorel

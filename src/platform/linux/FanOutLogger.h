#pragma once

#include <vector>

#include "platform/Logger.h"

namespace vantorel {

// Hands every line to several loggers (standard error and the journal), each keeping its own
// level. Main thread only, like the loggers behind it.
class FanOutLogger final : public Logger {
public:
    FanOutLogger() = default;
    explicit FanOutLogger(std::vector<Logger*> targets);

    // Null targets are ignored.
    void add(Logger* target);

    // A line is built when any target wants it.
    bool isEnabled(LogLevel level) const override;
    void write(const LogRecord& record) override;

private:
    std::vector<Logger*> targets_;
};

}  // namespace vantorel

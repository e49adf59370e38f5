#pragma once

#include <functional>
#include <ostream>

#include "platform/Logger.h"
#include "platform/Scheduler.h"

namespace vantorel {

// Writes log lines as text, one per line: time, subsystem, category, level, message.
class StreamLogger final : public Logger {
public:
    StreamLogger(std::ostream& out, LogLevel minimum, std::function<TimePoint()> clock = {})
        : out_(out), minimum_(minimum), clock_(std::move(clock)) {}

    bool isEnabled(LogLevel level) const override {
        return static_cast<int>(level) >= static_cast<int>(minimum_);
    }
    void write(const LogRecord& record) override;
    void setMinimum(LogLevel minimum) { minimum_ = minimum; }

private:
    std::ostream& out_;
    LogLevel minimum_;
    std::function<TimePoint()> clock_;
};

}  // namespace vantorel

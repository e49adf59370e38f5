#pragma once

#include <iostream>
#include <memory>

#include "platform/linux/FanOutLogger.h"
#include "platform/linux/JournalLogger.h"
#include "platform/linux/StreamLogger.h"

namespace vantorel {

// What a desktop run logs to: standard error, stamped with the scheduler's clock, and the
// journal where one is reachable, each from the given level up.
class SessionLogger final : public Logger {
public:
    SessionLogger(LogLevel minimum, std::function<TimePoint()> clock)
        : standardError_(std::cerr, minimum, std::move(clock)) {
        if (JournalLogger::isAvailable()) journal_ = std::make_unique<JournalLogger>(minimum);
        fanOut_.add(&standardError_);
        fanOut_.add(journal_.get());
    }

    bool isEnabled(LogLevel level) const override { return fanOut_.isEnabled(level); }
    void write(const LogRecord& record) override { fanOut_.write(record); }

private:
    StreamLogger standardError_;
    std::unique_ptr<JournalLogger> journal_;
    FanOutLogger fanOut_;
};

}  // namespace vantorel

#pragma once

#include <string>
#include <vector>

#include "platform/Logger.h"

namespace vantorel {

// Keeps every line it is given (debug included) so that tests can assert the exact text, and
// optionally passes each on.
class MemoryLogger final : public Logger {
public:
    struct Line {
        std::string category;
        LogLevel level;
        std::string message;
    };

    explicit MemoryLogger(Logger* forward = nullptr) : forward_(forward) {}

    bool isEnabled(LogLevel level) const override {
        return static_cast<int>(level) >= static_cast<int>(minimum_);
    }
    void write(const LogRecord& record) override;

    const std::vector<Line>& lines() const { return lines_; }
    // Messages of one category, in order.
    std::vector<std::string> messages(const std::string& category) const;
    std::size_t count(const std::string& message) const;
    void clear() { lines_.clear(); }
    void setForward(Logger* forward) { forward_ = forward; }
    // Lines below this level are neither kept nor built by callers that ask first.
    void setMinimum(LogLevel minimum) { minimum_ = minimum; }

private:
    Logger* forward_;
    LogLevel minimum_ = LogLevel::debug;
    std::vector<Line> lines_;
};

}  // namespace vantorel

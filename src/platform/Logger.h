#pragma once

#include <string>
#include <string_view>

namespace vantorel {

enum class LogLevel { debug, info, error };

const char* toString(LogLevel level);

// One line of the unified log: subsystem, category, level and the fully rendered message.
struct LogRecord {
    std::string_view subsystem;
    std::string_view category;
    LogLevel level;
    std::string_view message;
};

// Port: the unified system log.
class Logger {
public:
    virtual ~Logger() = default;
    // Lets callers skip building messages nobody will read (debug lines on hot paths).
    virtual bool isEnabled(LogLevel level) const = 0;
    virtual void write(const LogRecord& record) = 0;
};

// The system's logger for one category; cheap to copy.
class Log {
public:
    static constexpr std::string_view kSubsystem = "app.vantorel.Vantorel";

    Log(Logger& logger, std::string_view category) : logger_(&logger), category_(category) {}

    bool debugEnabled() const { return logger_->isEnabled(LogLevel::debug); }
    void debug(std::string_view message) const { send(LogLevel::debug, message); }
    void info(std::string_view message) const { send(LogLevel::info, message); }
    void error(std::string_view message) const { send(LogLevel::error, message); }

private:
    void send(LogLevel level, std::string_view message) const {
        if (logger_->isEnabled(level)) logger_->write({kSubsystem, category_, level, message});
    }

    Logger* logger_;
    std::string_view category_;
};

}  // namespace vantorel

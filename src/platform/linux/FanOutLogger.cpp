#include "platform/linux/FanOutLogger.h"

#include <algorithm>

namespace vantorel {

FanOutLogger::FanOutLogger(std::vector<Logger*> targets) {
    for (Logger* target : targets)
        add(target);
}

void FanOutLogger::add(Logger* target) {
    if (target && target != this) targets_.push_back(target);
}

bool FanOutLogger::isEnabled(LogLevel level) const {
    return std::any_of(targets_.begin(), targets_.end(),
                       [level](const Logger* target) { return target->isEnabled(level); });
}

void FanOutLogger::write(const LogRecord& record) {
    for (Logger* target : targets_) {
        if (target->isEnabled(record.level)) target->write(record);
    }
}

}  // namespace vantorel

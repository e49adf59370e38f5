#include "platform/sim/MemoryLogger.h"

#include <algorithm>

namespace vantorel {

void MemoryLogger::write(const LogRecord& record) {
    lines_.push_back({std::string(record.category), record.level, std::string(record.message)});
    if (forward_ && forward_->isEnabled(record.level)) forward_->write(record);
}

std::vector<std::string> MemoryLogger::messages(const std::string& category) const {
    std::vector<std::string> out;
    for (const auto& line : lines_) {
        if (line.category == category) out.push_back(line.message);
    }
    return out;
}

std::size_t MemoryLogger::count(const std::string& message) const {
    return static_cast<std::size_t>(std::count_if(
        lines_.begin(), lines_.end(), [&](const Line& l) { return l.message == message; }));
}

}  // namespace vantorel

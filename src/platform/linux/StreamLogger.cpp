#include "platform/linux/StreamLogger.h"

#include <cstdio>

namespace vantorel {

void StreamLogger::write(const LogRecord& record) {
    if (!isEnabled(record.level)) return;
    if (clock_) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(clock_().time_since_epoch())
                .count();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%7.3f ", static_cast<double>(ms) / 1000.0);
        out_ << stamp;
    }
    out_ << record.subsystem << " [" << record.category << "] " << toString(record.level) << ": "
         << record.message << '\n';
    out_.flush();
}

}  // namespace vantorel

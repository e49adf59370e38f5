#include "platform/linux/JournalLogger.h"

#include <syslog.h>
#include <systemd/sd-journal.h>

#include <filesystem>
#include <string>

namespace vantorel {

bool JournalLogger::isAvailable() {
    std::error_code ec;
    return std::filesystem::exists("/run/systemd/journal/socket", ec);
}

void JournalLogger::write(const LogRecord& record) {
    if (!isEnabled(record.level)) return;
    int priority = LOG_INFO;
    if (record.level == LogLevel::debug) priority = LOG_DEBUG;
    if (record.level == LogLevel::error) priority = LOG_ERR;
    // The journal takes C strings; the views are not NUL-terminated.
    const std::string message(record.message);
    const std::string subsystem(record.subsystem);
    const std::string category(record.category);
    sd_journal_send("MESSAGE=%s", message.c_str(), "PRIORITY=%i", priority,
                    "SYSLOG_IDENTIFIER=vantorel", "VANTOREL_SUBSYSTEM=%s", subsystem.c_str(),
                    "VANTOREL_CATEGORY=%s", category.c_str(), nullptr);
}

}  // namespace vantorel

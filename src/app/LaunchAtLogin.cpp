#include "app/LaunchAtLogin.h"

namespace vantorel {

LaunchAtLogin::LaunchAtLogin(LoginItems& items, Logger& logger)
    : items_(items),
      log_(logger, "app"),
      isEnabled_(items.status() == LoginItems::Status::enabled) {}

void LaunchAtLogin::setEnabled(bool enabled) {
    const bool current = items_.status() == LoginItems::Status::enabled;
    std::optional<std::string> failure;
    if (enabled && !current) {
        failure = items_.registerItem();
    } else if (!enabled && current) {
        failure = items_.unregisterItem();
    }
    if (failure) {
        log_.error("Launch at login change failed: " + *failure);
    } else {
        log_.info(std::string("Launch at login set to ") + (enabled ? "true" : "false"));
    }

    refresh();
}

void LaunchAtLogin::refresh() {
    const bool now = items_.status() == LoginItems::Status::enabled;
    if (now == isEnabled_) return;
    isEnabled_ = now;
    if (onChange) onChange();
}

}  // namespace vantorel

#pragma once

#include <functional>

#include "platform/Logger.h"
#include "platform/LoginItems.h"

namespace vantorel {

// The launch-at-login switch. isEnabled always shows the login item's real state, also after a
// failed change.
class LaunchAtLogin {
public:
    LaunchAtLogin(LoginItems& items, Logger& logger);

    bool isEnabled() const { return isEnabled_; }
    void setEnabled(bool enabled);
    // Re-reads the login item, which the user may have changed behind our back.
    void refresh();

    // Called when isEnabled changes.
    std::function<void()> onChange;

private:
    LoginItems& items_;
    Log log_;
    bool isEnabled_;
};

}  // namespace vantorel

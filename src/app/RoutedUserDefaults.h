#pragma once

#include <memory>
#include <string_view>

#include "platform/UserDefaults.h"

namespace vantorel {

// The application's own domain from one store and every other domain from another: on the
// simulated desktop our settings live in the real per-user file while the Dock's preferences
// belong to the simulated Dock.
class RoutedUserDefaults final : public UserDefaults {
public:
    // Both stores must outlive this.
    RoutedUserDefaults(UserDefaults& own, UserDefaults& others) : own_(own), others_(others) {}

    DefaultsSuite& standard() override { return own_.standard(); }
    std::shared_ptr<DefaultsSuite> suite(std::string_view name) override {
        return others_.suite(name);
    }

private:
    UserDefaults& own_;
    UserDefaults& others_;
};

}  // namespace vantorel

#pragma once

#include <optional>
#include <string>

namespace vantorel {

// Port: the application's own login item (the program started when the user logs in).
class LoginItems {
public:
    // The platform's status values.
    enum class Status { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

    virtual ~LoginItems() = default;
    virtual Status status() = 0;
    // Each returns the failure's description, or nothing on success.
    virtual std::optional<std::string> registerItem() = 0;
    virtual std::optional<std::string> unregisterItem() = 0;
};

}  // namespace vantorel

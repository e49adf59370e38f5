#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DefaultsValue.h"

namespace vantorel {

// One defaults domain. Reads return the stored object as it is; type checks are the caller's.
class DefaultsSuite {
public:
    virtual ~DefaultsSuite() = default;
    virtual std::optional<DefaultsValue> object(std::string_view key) const = 0;
    virtual void setObject(std::string_view key, DefaultsValue value) = 0;
    virtual void removeObject(std::string_view key) = 0;
};

// Port: the user defaults store.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    // The application's own domain.
    virtual DefaultsSuite& standard() = 0;
    // Another domain by name (read by us, owned by someone else); nullptr when it cannot be opened.
    virtual std::shared_ptr<DefaultsSuite> suite(std::string_view name) = 0;
};

}  // namespace vantorel

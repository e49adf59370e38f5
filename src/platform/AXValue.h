#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/AXElement.h"
#include "platform/Geometry.h"
#include "platform/Url.h"

namespace vantorel {

struct AXValue;
using AXArray = std::vector<AXValue>;

// A value the accessibility interface hands back: any of its types, whatever the attribute.
struct AXValue {
    std::variant<std::string, bool, double, Point, Size, Url, AXElement, AXArray> data;

    template <typename T>
    const T* as() const {
        return std::get_if<T>(&data);
    }
};

// The platform's accessibility error codes.
enum class AXError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    invalidUIElementObserver = -25203,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    notificationUnsupported = -25207,
    notImplemented = -25208,
    apiDisabled = -25211,
    noValue = -25212,
};

// The outcome of reading an attribute: an error code, and a value only when it is success.
// A success may still carry no value.
struct AXResult {
    AXError error = AXError::noValue;
    std::optional<AXValue> value;

    static AXResult of(AXValue v) { return {AXError::success, std::move(v)}; }
    static AXResult failed(AXError e) { return {e, std::nullopt}; }
};

struct AXNamesResult {
    AXError error = AXError::failure;
    std::vector<std::string> names;
};

}  // namespace vantorel

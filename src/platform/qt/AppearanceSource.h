#pragma once

#include <optional>

namespace vantorel {

// The accessibility display settings as one source reports them; empty where it says nothing.
struct AppearanceValues {
    std::optional<bool> reduceMotion;
    std::optional<bool> reduceTransparency;

    friend bool operator==(const AppearanceValues&, const AppearanceValues&) = default;
};

// Where the desktop's settings come from. Behind an interface so tests and screenshots can
// stand in for the desktop.
class AppearanceSource {
public:
    virtual ~AppearanceSource() = default;
    virtual AppearanceValues read() = 0;
};

}  // namespace vantorel

#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantorel {

// The window server's number for a window; 0 names no window.
using WindowNumber = std::uint32_t;

struct WindowServerValue;
using WindowServerArray = std::vector<WindowServerValue>;
using WindowServerDictionary = std::map<std::string, WindowServerValue, std::less<>>;

// One value of a window description, as loosely typed as the platform's: a number may come as an
// integer or a double, and any key may hold any type or be missing.
struct WindowServerValue {
    std::variant<bool, std::int64_t, double, std::string, WindowServerArray, WindowServerDictionary>
        data;

    WindowServerValue() : data(false) {}
    WindowServerValue(bool v) : data(v) {}
    WindowServerValue(int v) : data(std::int64_t{v}) {}
    WindowServerValue(std::int64_t v) : data(v) {}
    WindowServerValue(std::uint32_t v) : data(std::int64_t{v}) {}
    WindowServerValue(double v) : data(v) {}
    WindowServerValue(const char* v) : data(std::string(v)) {}
    WindowServerValue(std::string v) : data(std::move(v)) {}
    WindowServerValue(WindowServerArray v) : data(std::move(v)) {}
    WindowServerValue(WindowServerDictionary v) : data(std::move(v)) {}

    template <typename T>
    const T* as() const {
        return std::get_if<T>(&data);
    }
    template <typename T>
    T* as() {
        return std::get_if<T>(&data);
    }

    friend bool operator==(const WindowServerValue&, const WindowServerValue&) = default;
};

// Port: the window server's list of windows. Hands back the descriptions as they come; every
// check of a key's presence and type is the caller's.
class WindowServer {
public:
    using Options = std::uint32_t;
    static constexpr Options kOptionAll = 0;
    static constexpr Options kOptionOnScreenOnly = 1;
    static constexpr Options kOptionExcludeDesktopElements = 16;
    static constexpr WindowNumber kNullWindow = 0;

    // Keys of one window description.
    static constexpr std::string_view kOwnerPID = "kCGWindowOwnerPID";
    static constexpr std::string_view kOwnerName = "kCGWindowOwnerName";
    static constexpr std::string_view kLayer = "kCGWindowLayer";
    static constexpr std::string_view kNumber = "kCGWindowNumber";
    static constexpr std::string_view kBounds = "kCGWindowBounds";
    static constexpr std::string_view kName = "kCGWindowName";
    static constexpr std::string_view kAlpha = "kCGWindowAlpha";
    // Keys of the bounds dictionary.
    static constexpr std::string_view kX = "X";
    static constexpr std::string_view kY = "Y";
    static constexpr std::string_view kWidth = "Width";
    static constexpr std::string_view kHeight = "Height";

    virtual ~WindowServer() = default;
    // The windows front to back, each normally a dictionary; nullopt when the call fails or
    // answers with something that is not a list.
    virtual std::optional<WindowServerArray> copyWindowInfo(Options options,
                                                            WindowNumber relativeToWindow) = 0;
};

}  // namespace vantorel

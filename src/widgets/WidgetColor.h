#pragma once

#include <optional>
#include <vector>

namespace vantorel {

// A colour the widget views draw: one of the system's own, or sRGB components in 0…1.
struct WidgetColor {
    enum class System { none, blue, gray };
    System system = System::none;
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static WidgetColor systemBlue() { return {System::blue}; }
    static WidgetColor systemGray() { return {System::gray}; }
    // Components as a colour space hands them over: grey and alpha (2), RGB (3) or RGBA (4);
    // values outside 0…1 are brought inside, and what is not a number counts as 0. None for
    // any other count.
    static std::optional<WidgetColor> fromComponents(const std::vector<double>& components);

    bool operator==(const WidgetColor&) const = default;
};

}  // namespace vantorel

#include "widgets/WidgetColor.h"

#include <algorithm>
#include <cmath>

namespace vantorel {
namespace {

double unit(double value) {
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

}  // namespace

std::optional<WidgetColor> WidgetColor::fromComponents(const std::vector<double>& c) {
    WidgetColor color;
    switch (c.size()) {
        case 2:
            color.red = color.green = color.blue = unit(c[0]);
            color.alpha = unit(c[1]);
            return color;
        case 3:
        case 4:
            color.red = unit(c[0]);
            color.green = unit(c[1]);
            color.blue = unit(c[2]);
            color.alpha = c.size() == 4 ? unit(c[3]) : 1.0;
            return color;
        default:
            return std::nullopt;
    }
}

}  // namespace vantorel

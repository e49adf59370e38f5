#include "dock/AXReader.h"

#include <cmath>

namespace vantorel {
namespace {

bool isFinite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
bool isFinite(Size s) {
    return std::isfinite(s.width) && std::isfinite(s.height);
}

}  // namespace

template <typename T>
std::optional<T> AXReader::read(const AXElement& e, std::string_view attribute) const {
    if (!e) return std::nullopt;
    AXResult result = ax_->copyAttributeValue(e, attribute);
    if (result.error != AXError::success || !result.value) return std::nullopt;
    if (const T* value = result.value->as<T>()) return *value;
    return std::nullopt;
}

std::optional<std::string> AXReader::string(const AXElement& e, std::string_view attribute) const {
    return read<std::string>(e, attribute);
}

std::optional<bool> AXReader::boolean(const AXElement& e, std::string_view attribute) const {
    return read<bool>(e, attribute);
}

// Geometry that is not finite would poison every containment test and distance after it.
std::optional<Point> AXReader::point(const AXElement& e, std::string_view attribute) const {
    auto p = read<Point>(e, attribute);
    return p && isFinite(*p) ? p : std::nullopt;
}

std::optional<Size> AXReader::size(const AXElement& e, std::string_view attribute) const {
    auto s = read<Size>(e, attribute);
    return s && isFinite(*s) ? s : std::nullopt;
}

std::optional<Url> AXReader::url(const AXElement& e, std::string_view attribute) const {
    return read<Url>(e, attribute);
}

std::optional<AXElement> AXReader::element(const AXElement& e, std::string_view attribute) const {
    auto element = read<AXElement>(e, attribute);
    return element && *element ? element : std::nullopt;
}

std::optional<std::vector<AXElement>> AXReader::elements(const AXElement& e,
                                                         std::string_view attribute) const {
    auto array = read<AXArray>(e, attribute);
    if (!array) return std::nullopt;
    std::vector<AXElement> out;
    out.reserve(array->size());
    for (const auto& value : *array) {
        const AXElement* element = value.as<AXElement>();
        if (!element || !*element) return std::nullopt;
        out.push_back(*element);
    }
    return out;
}

}  // namespace vantorel

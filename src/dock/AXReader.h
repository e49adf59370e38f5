#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Accessibility.h"

namespace vantorel {

// Reads attributes the way every caller relies on: a failed call, no value, or a value of
// another type is an absent attribute, and nobody retries.
class AXReader {
public:
    explicit AXReader(Accessibility& accessibility) : ax_(&accessibility) {}

    std::optional<std::string> string(const AXElement& e, std::string_view attribute) const;
    std::optional<bool> boolean(const AXElement& e, std::string_view attribute) const;
    std::optional<Point> point(const AXElement& e, std::string_view attribute) const;
    std::optional<Size> size(const AXElement& e, std::string_view attribute) const;
    std::optional<Url> url(const AXElement& e, std::string_view attribute) const;
    std::optional<AXElement> element(const AXElement& e, std::string_view attribute) const;
    // An array holding anything but elements counts as absent as a whole.
    std::optional<std::vector<AXElement>> elements(const AXElement& e,
                                                   std::string_view attribute) const;

    Accessibility& accessibility() const { return *ax_; }

private:
    template <typename T>
    std::optional<T> read(const AXElement& e, std::string_view attribute) const;

    Accessibility* ax_;
};

}  // namespace vantorel

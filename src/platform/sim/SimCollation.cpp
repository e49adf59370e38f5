#include "platform/sim/SimCollation.h"

#include <cctype>

namespace vantorel {

std::string SimCollation::sortKey(std::string_view text) {
    if (fallback_) return fallback_->sortKey(text);
    std::string key;
    key.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isdigit(c)) {
            // Digits sort before letters; bytes shift up by one to leave room for that mark.
            key.push_back(static_cast<char>(std::tolower(c) == 0xff ? 0xff : std::tolower(c) + 1));
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        std::size_t first = i;
        while (first + 1 < end && text[first] == '0')
            ++first;
        // A longer run of significant digits is a larger number.
        key.push_back('\x01');
        key.push_back(static_cast<char>(std::min<std::size_t>(end - first, 0xfe) + 1));
        key.append(text.substr(first, end - first));
        i = end;
    }
    return key;
}

}  // namespace vantorel

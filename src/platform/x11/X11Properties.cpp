#include "platform/x11/X11Properties.h"

#include <algorithm>

namespace vantorel::X11Properties {

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past the last code point are not UTF-8.
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

namespace {
std::string_view withoutTrailingNul(std::string_view text) {
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    return text;
}
}  // namespace

std::string windowName(std::optional<std::string_view> utf8Name,
                       std::optional<std::string_view> legacyName, bool latin1) {
    if (utf8Name) {
        const auto text = withoutTrailingNul(*utf8Name);
        if (!text.empty() && isUtf8(text)) return std::string(text);
    }
    if (!legacyName) return {};
    const auto text = withoutTrailingNul(*legacyName);
    if (!latin1 && isUtf8(text)) return std::string(text);
    return latin1ToUtf8(text);
}

std::optional<WindowClass> windowClass(std::string_view bytes) {
    const auto split = bytes.find('\0');
    if (split == std::string_view::npos) return std::nullopt;
    WindowClass result;
    result.instance = std::string(bytes.substr(0, split));
    result.className = std::string(withoutTrailingNul(bytes.substr(split + 1)));
    if (result.className.find('\0') != std::string::npos) return std::nullopt;
    if (result.className.empty()) return std::nullopt;
    return result;
}

std::optional<FrameExtents> frameExtents(std::span<const std::uint32_t> values) {
    // A frame border wider than any screen is a client's mistake, not a frame.
    constexpr std::uint32_t kLimit = 1u << 15;
    if (values.size() != 4) return std::nullopt;
    for (const auto v : values)
        if (v >= kLimit) return std::nullopt;
    return FrameExtents{values[0], values[1], values[2], values[3]};
}

ImageRef bestIcon(std::span<const std::uint32_t> values, int wanted) {
    constexpr std::uint32_t kLargest = 4096;
    std::optional<std::size_t> best;
    const auto side = [&](std::size_t at) { return std::min(values[at], values[at + 1]); };
    for (std::size_t at = 0; at < values.size();) {
        if (values.size() - at < 2) return nullptr;
        const std::uint32_t w = values[at], h = values[at + 1];
        if (w == 0 || h == 0 || w > kLargest || h > kLargest) return nullptr;
        if (std::size_t{w} * h > values.size() - at - 2) return nullptr;
        const auto target = static_cast<std::uint32_t>(std::max(wanted, 1));
        if (!best || (side(at) >= target ? side(*best) < target || side(at) < side(*best)
                                         : side(*best) < target && side(at) > side(*best)))
            best = at;
        at += 2 + std::size_t{w} * h;
    }
    if (!best) return nullptr;
    auto image = std::make_shared<Image>();
    image->width = static_cast<int>(values[*best]);
    image->height = static_cast<int>(values[*best + 1]);
    const auto pixels = values.subspan(*best + 2, std::size_t{values[*best]} * values[*best + 1]);
    image->pixels.reserve(pixels.size());
    for (const std::uint32_t p : pixels) {
        // Premultiplied, as images are kept.
        const std::uint32_t a = p >> 24;
        const auto channel = [&](int shift) { return (((p >> shift) & 0xFF) * a + 127) / 255; };
        image->pixels.push_back(a << 24 | channel(16) << 16 | channel(8) << 8 | channel(0));
    }
    return image;
}

}  // namespace vantorel::X11Properties

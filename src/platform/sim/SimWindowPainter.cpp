#include "platform/sim/SimWindowPainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace vantorel {
namespace {

// A 5 x 7 pixel font, one byte per row, bit 4 the leftmost column. Lower case is drawn as upper
// case; anything else as an empty box.
struct Glyph {
    char character;
    std::array<std::uint8_t, 7> rows;
};

constexpr std::array<std::uint8_t, 7> kMissingGlyph{0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F};

constexpr Glyph kFont[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0, 0, 0, 0, 0, 0x0C, 0x0C}},
    {',', {0, 0, 0, 0, 0x0C, 0x04, 0x08}},
    {'-', {0, 0, 0, 0x1F, 0, 0, 0}},
    {'_', {0, 0, 0, 0, 0, 0, 0x1F}},
    {':', {0, 0x0C, 0x0C, 0, 0x0C, 0x0C, 0}},
    {'\'', {0x04, 0x04, 0x08, 0, 0, 0, 0}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0, 0x04}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0, 0x04}},
    {'/', {0, 0x01, 0x02, 0x04, 0x08, 0x10, 0}},
    {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}},
    {'+', {0, 0x04, 0x04, 0x1F, 0x04, 0x04, 0}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
};

const std::array<std::uint8_t, 7>& glyph(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const auto& g : kFont) {
        if (g.character == c) return g.rows;
    }
    return kMissingGlyph;
}

// One character per code point: dashes become '-', anything else outside ASCII the missing glyph.
std::string glyphText(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out.push_back(utf8[i]);
        } else if (utf8.compare(i, 2, "\xE2\x80") == 0 && i + 2 < utf8.size() &&
                   (utf8[i + 2] == '\x93' || utf8[i + 2] == '\x94')) {
            out.push_back('-');
            i += 2;
        } else if (byte >= 0xC0) {
            out.push_back('\x01');
        }
    }
    return out;
}

std::uint32_t opaque(std::uint32_t argb) {
    return argb | 0xff000000u;
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t) {
    auto channel = [&](int shift) {
        const double ca = (a >> shift) & 0xffu;
        const double cb = (b >> shift) & 0xffu;
        return static_cast<std::uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    };
    return 0xff000000u | channel(16) | channel(8) | channel(0);
}

double luminance(std::uint32_t argb) {
    return (0.2126 * ((argb >> 16) & 0xffu) + 0.7152 * ((argb >> 8) & 0xffu) +
            0.0722 * (argb & 0xffu)) /
           255.0;
}

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

class Canvas {
public:
    Canvas(int width, int height) : image_(std::make_shared<Image>()) {
        image_->width = width;
        image_->height = height;
        image_->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                              0u);
    }

    // Pixels whose centre lies inside the rectangle; anything outside the image is cut off.
    void fill(double x, double y, double w, double h, std::uint32_t argb) {
        const int x0 = clampX(std::ceil(x - 0.5));
        const int x1 = clampX(std::ceil(x + w - 0.5));
        const int y0 = clampY(std::ceil(y - 0.5));
        const int y1 = clampY(std::ceil(y + h - 0.5));
        for (int py = y0; py < y1; ++py) {
            auto* row = &image_->pixels[static_cast<std::size_t>(py) *
                                        static_cast<std::size_t>(image_->width)];
            std::fill(row + x0, row + x1, argb);
        }
    }

    void disc(double cx, double cy, double r, std::uint32_t argb) {
        const int x0 = clampX(std::floor(cx - r));
        const int x1 = clampX(std::ceil(cx + r) + 1);
        const int y0 = clampY(std::floor(cy - r));
        const int y1 = clampY(std::ceil(cy + r) + 1);
        for (int py = y0; py < y1; ++py) {
            for (int px = x0; px < x1; ++px) {
                const double dx = px + 0.5 - cx;
                const double dy = py + 0.5 - cy;
                if (dx * dx + dy * dy <= r * r) at(px, py) = argb;
            }
        }
    }

    void outline(double x, double y, double w, double h, std::uint32_t argb) {
        fill(x, y, w, 1, argb);
        fill(x, y + h - 1, w, 1, argb);
        fill(x, y, 1, h, argb);
        fill(x + w - 1, y, 1, h, argb);
    }

    ImageRef take() { return std::move(image_); }

private:
    int clampX(double v) const { return static_cast<int>(std::clamp(v, 0.0, 1.0 * image_->width)); }
    int clampY(double v) const {
        return static_cast<int>(std::clamp(v, 0.0, 1.0 * image_->height));
    }
    std::uint32_t& at(int x, int y) {
        return image_
            ->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image_->width) +
                     static_cast<std::size_t>(x)];
    }

    std::shared_ptr<Image> image_;
};

constexpr double kTitleBarHeight = 28;
constexpr double kButtonRadius = 6;
constexpr double kButtonSpacing = 20;
constexpr double kButtonsWidth = 70;
constexpr double kMargin = 20;
constexpr double kLineHeight = 8;
constexpr double kLineSpacing = 22;
constexpr int kMaxLines = 8;
constexpr std::uint32_t kButtonColors[] = {0xffff5f57u, 0xfffebc2eu, 0xff28c840u};
constexpr std::uint32_t kTitleColor = 0xff3c3c3cu;

}  // namespace

ImageRef SimWindowPainter::paint(const Content& content, std::int64_t width, std::int64_t height,
                                 bool scalesToFit, std::uint64_t frame) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
    const double W = static_cast<double>(width);
    const double H = static_cast<double>(height);
    Canvas canvas(static_cast<int>(width), static_cast<int>(height));

    // A window of no sensible size is drawn as an ordinary one.
    double ww = content.size.width;
    double wh = content.size.height;
    if (!std::isfinite(ww) || !std::isfinite(wh) || ww < 1 || wh < 1) {
        ww = 800;
        wh = 600;
    }
    const double s = scalesToFit ? std::min(W / ww, H / wh) : 1.0;
    ww *= s;
    wh *= s;
    const double x0 = scalesToFit ? (W - ww) / 2 : 0;
    const double y0 = scalesToFit ? (H - wh) / 2 : 0;

    const std::uint32_t body = opaque(content.color);
    const double titleBar = std::min(wh, std::max(1.0, kTitleBarHeight * s));
    canvas.fill(x0, y0, ww, wh, body);
    canvas.fill(x0, y0, ww, titleBar, mix(body, 0xffffffffu, 0.75));

    if (kButtonRadius * s >= 1) {
        for (int i = 0; i < 3; ++i) {
            canvas.disc(x0 + (kMargin - kButtonRadius + kButtonSpacing * i) * s, y0 + titleBar / 2,
                        kButtonRadius * s, kButtonColors[i]);
        }
    }

    // The title, centred, in whole font pixels, clear of the buttons.
    // Down to one font pixel a dot, as long as the bar has room for the letters.
    const double g = titleBar >= 9 ? std::max(1.0, std::floor(titleBar * 0.5 / 7)) : 0;
    if (g >= 1) {
        std::string text = glyphText(content.title);
        const double room = ww - 2 * kButtonsWidth * s;
        const auto fits = static_cast<std::size_t>(std::max(0.0, std::floor((room + g) / (6 * g))));
        if (text.size() > fits) text.resize(fits);
        const double textWidth = static_cast<double>(text.size()) * 6 * g - g;
        const double tx = std::round(x0 + (ww - textWidth) / 2);
        const double ty = std::round(y0 + (titleBar - 7 * g) / 2);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto& rows = glyph(text[i]);
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if ((rows[static_cast<std::size_t>(row)] >> (4 - col)) & 1u) {
                        canvas.fill(tx + (static_cast<double>(i) * 6 + col) * g, ty + row * g, g, g,
                                    kTitleColor);
                    }
                }
            }
        }
    }

    // Lines of "text" whose lengths follow from the title.
    const bool light = luminance(body) > 0.6;
    const std::uint32_t ink = light ? mix(body, 0xff000000u, 0.25) : mix(body, 0xffffffffu, 0.35);
    const std::uint64_t hash = fnv1a(content.title);
    const double lineHeight = std::max(1.0, kLineHeight * s);
    const double usable = ww - 2 * kMargin * s;
    int lines = 0;
    for (int i = 0; i < kMaxLines; ++i) {
        const double y = y0 + titleBar + (18 + kLineSpacing * i) * s;
        if (y + lineHeight > y0 + wh - 12 * s || usable <= 0) break;
        const double fraction = 0.35 + static_cast<double>((hash >> (i * 4)) & 0xFu) / 15.0 * 0.5;
        canvas.fill(x0 + kMargin * s, y, usable * fraction, lineHeight, ink);
        ++lines;
    }

    if (frame > 0 && lines > 0) {
        // The caret walks along the lines, one step a frame, so live frames differ.
        const auto line = static_cast<int>((frame - 1) % static_cast<std::uint64_t>(lines));
        const double fraction =
            0.35 + static_cast<double>((hash >> (line * 4)) & 0xFu) / 15.0 * 0.5;
        const double y = y0 + titleBar + (18 + kLineSpacing * line) * s;
        const double x = x0 + kMargin * s + usable * fraction + 2 * s;
        canvas.fill(x, y - 2 * s, std::max(1.0, 3 * s), lineHeight + 4 * s,
                    light ? 0xff000000u : 0xffffffffu);
    }

    canvas.outline(x0, y0, ww, wh, mix(body, 0xff000000u, 0.35));
    return canvas.take();
}

}  // namespace vantorel

#include "platform/qt/GlassBackdrop.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vantorel {
namespace {

// One box pass along a line of `count` pixels `stride` apart, each channel a running sum.
void boxLine(std::uint32_t* line, int count, int stride, int radius,
             std::vector<std::uint32_t>& copy) {
    copy.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        copy[static_cast<std::size_t>(i)] = line[static_cast<std::ptrdiff_t>(i) * stride];
    const auto at = [&](int i) {
        return copy[static_cast<std::size_t>(std::clamp(i, 0, count - 1))];
    };
    const int window = 2 * radius + 1;
    std::uint32_t sum[4] = {0, 0, 0, 0};
    for (int i = -radius; i <= radius; ++i) {
        const std::uint32_t p = at(i);
        for (int c = 0; c < 4; ++c)
            sum[c] += (p >> (8 * c)) & 0xff;
    }
    for (int i = 0; i < count; ++i) {
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c)
            out |= ((sum[c] + window / 2) / window) << (8 * c);
        line[static_cast<std::ptrdiff_t>(i) * stride] = out;
        const std::uint32_t leaving = at(i - radius);
        const std::uint32_t entering = at(i + radius + 1);
        for (int c = 0; c < 4; ++c)
            sum[c] = sum[c] + ((entering >> (8 * c)) & 0xff) - ((leaving >> (8 * c)) & 0xff);
    }
}

}  // namespace

QImage GlassBackdrop::blur(const QImage& beneath, qreal radius) {
    if (beneath.isNull()) return {};
    radius *= beneath.devicePixelRatio();
    // Blurring a quarter-size copy costs a sixteenth and looks the same once scaled back up.
    const int factor = radius >= 8 ? 4 : 1;
    const QSize full = beneath.size();
    QImage small =
        beneath.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(std::max(1, full.width() / factor), std::max(1, full.height() / factor),
                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Three box passes of a third of the radius each come close to a gaussian of that radius.
    const int box = std::max(1, static_cast<int>(std::lround(radius / factor / 3)));
    auto* pixels = reinterpret_cast<std::uint32_t*>(small.bits());
    const int width = small.width();
    const int height = small.height();
    const int stride = static_cast<int>(small.bytesPerLine() / 4);
    std::vector<std::uint32_t> copy;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            boxLine(pixels + static_cast<std::ptrdiff_t>(y) * stride, width, 1, box, copy);
        for (int x = 0; x < width; ++x)
            boxLine(pixels + x, height, stride, box, copy);
    }
    QImage out =
        factor == 1 ? small : small.scaled(full, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    out.setDevicePixelRatio(beneath.devicePixelRatio());
    return out;
}

void GlassBackdrop::paint(QPainter& painter, const QPainterPath& shape, const QImage& blurred,
                          const QPointF& topLeft) {
    if (blurred.isNull() || shape.isEmpty()) return;
    // The panel repaints under each live frame: the backdrop is cut to the shape once, and
    // copied after.
    struct Cut {
        qint64 source = 0;
        QPainterPath shape;
        QPointF topLeft;
        QImage image;
    };
    thread_local Cut cut;
    if (painter.worldTransform().type() <= QTransform::TxTranslate && painter.opacity() >= 1 &&
        painter.compositionMode() == QPainter::CompositionMode_SourceOver) {
        if (cut.source != blurred.cacheKey() || cut.shape != shape || cut.topLeft != topLeft) {
            cut = {blurred.cacheKey(), shape, topLeft, QImage()};
            cut.image = QImage(blurred.size(), QImage::Format_ARGB32_Premultiplied);
            cut.image.setDevicePixelRatio(blurred.devicePixelRatio());
            cut.image.fill(Qt::transparent);
            QPainter p(&cut.image);
            p.translate(-topLeft);
            drawClipped(p, shape, blurred, topLeft);
        }
        painter.drawImage(topLeft, cut.image);
        return;
    }
    drawClipped(painter, shape, blurred, topLeft);
}

void GlassBackdrop::drawClipped(QPainter& painter, const QPainterPath& shape, const QImage& blurred,
                                const QPointF& topLeft) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setClipPath(shape, Qt::IntersectClip);
    painter.drawImage(topLeft, blurred);
    painter.restore();
}

}  // namespace vantorel

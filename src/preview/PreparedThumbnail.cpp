#include "preview/PreparedThumbnail.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/qt/GlassPainter.h"
#include "preview/PreviewPainter.h"

namespace vantorel {
namespace {

QRectF fitted(const QRectF& rect, const QImage& image) {
    const QSizeF natural(image.width() / 2.0, image.height() / 2.0);
    const qreal scale = std::min(rect.width() / natural.width(), rect.height() / natural.height());
    const QSizeF size = natural * scale;
    return {rect.center().x() - size.width() / 2, rect.center().y() - size.height() / 2,
            size.width(), size.height()};
}

QRect aligned(const QRectF& rect) {
    const int left = qRound(rect.left());
    const int top = qRound(rect.top());
    return {left, top, std::max(1, qRound(rect.right()) - left),
            std::max(1, qRound(rect.bottom()) - top)};
}

// The source pixels [begin, end) that make destination pixel i of n, from m.
std::pair<int, int> span(int i, int n, int m) {
    const int begin = static_cast<int>(static_cast<std::int64_t>(i) * m / n);
    const int end = static_cast<int>(static_cast<std::int64_t>(i + 1) * m / n);
    return {begin, std::max(end, begin + 1)};
}

}  // namespace

QImage PreparedThumbnail::shrunk(const QImage& source, const QSize& size) {
    if (source.format() != QImage::Format_ARGB32_Premultiplied || size.isEmpty() ||
        size.width() > source.width() || size.height() > source.height()) {
        return {};
    }
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(size.width()) * 4);
    for (int y = 0; y < size.height(); ++y) {
        const auto [top, bottom] = span(y, size.height(), source.height());
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const auto [left, right] = span(x, size.width(), source.width());
            std::uint32_t a = 0, r = 0, g = 0, b = 0;
            for (int sy = top; sy < bottom; ++sy) {
                const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
                for (int sx = left; sx < right; ++sx) {
                    const QRgb p = line[sx];
                    a += qAlpha(p);
                    r += qRed(p);
                    g += qGreen(p);
                    b += qBlue(p);
                }
            }
            const auto count = static_cast<std::uint32_t>((bottom - top) * (right - left));
            const auto mean = [count](std::uint32_t sum) {
                return static_cast<int>((sum + count / 2) / count);
            };
            row[x] = qRgba(mean(r), mean(g), mean(b), mean(a));
        }
    }
    return out;
}

void PreparedThumbnail::paint(QPainter& painter, const QRectF& rect, qreal radius,
                              const QImage& image) {
    if (rect.isEmpty() || image.isNull()) return;
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || painter.opacity() < 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        PreviewPainter::paintImage(painter, rect, radius, image);
        return;
    }
    const QRectF frame = device.mapRect(rect);
    const QRect pixels = aligned(device.mapRect(fitted(rect, image)));
    if (frame != frame_ || radius != radius_ || pixels != pixels_) {
        frame_ = frame;
        radius_ = radius;
        pixels_ = pixels;
        source_ = 0;
        mask_ = QImage(pixels.size(), QImage::Format_Alpha8);
        mask_.fill(0);
        QPainter shape(&mask_);
        shape.setRenderHint(QPainter::Antialiasing, true);
        shape.translate(-QPointF(pixels.topLeft()));
        shape.fillPath(GlassPainter::shape(frame, radius * device.m11()), Qt::black);
    }
    // What stays of the transform once the painter's own is reset: the device's offset and
    // pixel density.
    const QTransform rest = painter.worldTransform().inverted() * device;
    if (source_ != image.cacheKey()) {
        QImage scaled = shrunk(image, pixels.size());
        if (scaled.isNull()) {
            scaled = image.scaled(pixels.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
        for (int y = 0; y < scaled.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(scaled.scanLine(y));
            const uchar* coverage = mask_.constScanLine(y);
            for (int x = 0; x < scaled.width(); ++x) {
                const unsigned c = coverage[x];
                if (c == 255) continue;
                const auto part = [c](int channel) {
                    return static_cast<int>((static_cast<unsigned>(channel) * c + 127) / 255);
                };
                const QRgb p = row[x];
                row[x] = qRgba(part(qRed(p)), part(qGreen(p)), part(qBlue(p)), part(qAlpha(p)));
            }
        }
        scaled.setDevicePixelRatio(rest.m11());
        prepared_ = std::move(scaled);
        source_ = image.cacheKey();
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.resetTransform();
    painter.drawImage(rest.inverted().map(QPointF(pixels.topLeft())), prepared_);
    painter.restore();
}

}  // namespace vantorel

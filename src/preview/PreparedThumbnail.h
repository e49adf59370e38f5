#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>

class QPainter;

namespace vantorel {

// A window's picture drawn as PreviewPainter::paintImage draws it — fitted into a rounded frame
// — but scaled and rounded once per picture and placement, at the device's own pixels. Drawing
// it is then a copy: the raster engine would otherwise spread every live frame's scaling and
// clipping over its pool of threads, waking them several times a frame.
class PreparedThumbnail {
public:
    // `image` at two pixels a point. Where the painter rotates or shears, or fades or combines
    // otherwise than by drawing over, it is drawn as PreviewPainter::paintImage draws it.
    void paint(QPainter& painter, const QRectF& rect, qreal radius, const QImage& image);

    // The box average of `source` (32-bit premultiplied) at `size`, no larger than the source;
    // null for anything else.
    static QImage shrunk(const QImage& source, const QSize& size);

private:
    // What the prepared pixels were made from.
    qint64 source_ = 0;
    QRectF frame_;
    qreal radius_ = 0;
    QRect pixels_;
    QImage prepared_;
    // The rounded frame's coverage of each prepared pixel, made once per placement.
    QImage mask_;
};

}  // namespace vantorel

#include "preview/PreparedThumbnail.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "preview/PreviewPainter.h"

namespace vantorel {
namespace {

QImage filled(QSize size, QColor color,
              QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    QImage image(size, format);
    image.fill(color);
    return image;
}

TEST(PreparedThumbnail, ShrinksByAveragingAndRefusesWhatItCannotShrink) {
    QImage halves = filled({4, 2}, Qt::black);
    QPainter(&halves).fillRect(2, 0, 2, 2, Qt::white);
    EXPECT_EQ(PreparedThumbnail::shrunk(halves, {1, 1}).pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(PreparedThumbnail::shrunk(halves, {2, 1}).pixel(1, 0), qRgb(255, 255, 255));
    const std::pair<QImage, QSize> refused[] = {
        {halves, {8, 4}},
        {halves, {0, 0}},
        {filled({4, 2}, Qt::red, QImage::Format_RGB32), {2, 1}}};
    for (const auto& [source, size] : refused)
        EXPECT_TRUE(PreparedThumbnail::shrunk(source, size).isNull()) << size.width();
}

// The picture in a 100 × 60 well with corners of 10, in a 120 × 80 image.
QImage draw(PreparedThumbnail* picture, const QImage& frame, QPointF at, qreal scale = 1) {
    QImage image = filled({120, 80}, Qt::transparent);
    QPainter painter(&image);
    painter.translate(at);
    painter.scale(scale, scale);
    if (picture) {
        picture->paint(painter, {10, 10, 100, 60}, 10, frame);
    } else {
        PreviewPainter::paintImage(painter, {10, 10, 100, 60}, 10, frame);
    }
    return image;
}

TEST(PreparedThumbnail, EachFrameAndPlacementIsDrawnAsItselfWithRoundedCorners) {
    const QImage red = filled({200, 120}, Qt::red);
    const QImage blue = filled({200, 120}, Qt::blue);
    PreparedThumbnail picture;
    // A new frame, the same moved, a new one moved back.
    const std::pair<const QImage*, QPoint> steps[] = {
        {&red, {0, 0}}, {&blue, {0, 0}}, {&blue, {5, 7}}, {&red, {0, 0}}};
    for (const auto& [frame, at] : steps) {
        const QImage image = draw(&picture, *frame, at);
        const QPoint centre = QPoint(60, 40) + at;
        EXPECT_EQ(image.pixel(centre), frame->pixel(0, 0));
        EXPECT_EQ(qAlpha(image.pixel(centre - QPoint(49, 29))), 0);
        EXPECT_EQ(qAlpha(image.pixel(centre - QPoint(0, 29))), 255);
    }
    // Where a copy could not land pixel for pixel, it is drawn as the painter would.
    EXPECT_EQ(draw(&picture, red, {3, 2}, 1.1), draw(nullptr, red, {3, 2}, 1.1));
}

}  // namespace
}  // namespace vantorel

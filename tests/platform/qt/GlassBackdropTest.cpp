#include "platform/qt/GlassBackdrop.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// Cut to the shape once and copied after: each change of picture or shape shows.
TEST(GlassBackdrop, FillsTheShapeWithTheLatestPictureWherePlaced) {
    QImage green(90, 70, QImage::Format_ARGB32_Premultiplied), gray = green;
    green.fill(Qt::green);
    gray.fill(Qt::gray);
    const QRectF wide(10, 10, 60, 40), tall(20, 5, 40, 55);
    const std::tuple<const QImage*, QRectF, QPointF> steps[] = {
        {&green, wide, {}}, {&gray, wide, {}}, {&gray, tall, {}}};
    for (const auto& [picture, bounds, topLeft] : steps) {
        QPainterPath shape;
        shape.addEllipse(bounds);
        QImage painted(100, 80, QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        QPainter painter(&painted);
        GlassBackdrop::paint(painter, shape, *picture, topLeft);
        painter.end();
        EXPECT_EQ(painted.pixel(bounds.center().toPoint()), picture->pixel(0, 0));
        EXPECT_EQ(qAlpha(painted.pixel(bounds.topLeft().toPoint())), 0);
    }
}

}  // namespace
}  // namespace vantorel

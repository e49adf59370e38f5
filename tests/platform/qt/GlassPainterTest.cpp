#include "platform/qt/GlassPainter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

QPalette lightPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(236, 236, 236));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    palette.setColor(QPalette::Highlight, QColor(0, 122, 255));
    return palette;
}

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(40, 40, 42));
    palette.setColor(QPalette::WindowText, QColor(255, 255, 255));
    return palette;
}

// A 200 × 120 panel with the usual 8-point transparent margin around its surface.
const QRectF kSurface(8, 8, 184, 104);

QImage render(const GlassStyle& style, const QPalette& palette = lightPalette()) {
    QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    GlassPainter::paint(painter, kSurface, style, palette);
    painter.end();
    return image;
}

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

void expectTransparentCorners(const QImage& image) {
    for (const QPoint p : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 119), QPoint(199, 119),
                           QPoint(9, 9), QPoint(190, 9)}) {
        EXPECT_EQ(alphaAt(image, p.x(), p.y()), 0) << p.x() << "," << p.y();
    }
}

TEST(GlassPainter, GlassIsTranslucentRoundedAndShadowed) {
    const QImage image = render(GlassStyle{});
    expectTransparentCorners(image);

    const int centre = alphaAt(image, 100, 60);
    EXPECT_GT(centre, 150);  // legible over anything
    EXPECT_LT(centre, 255);  // but the desktop shows through

    // The hairline highlight makes the top edge brighter than the body below it.
    EXPECT_GT(qGray(image.pixel(100, 9)), qGray(image.pixel(100, 30)));

    // A soft shadow just outside the bottom edge, fading outwards.
    const int near = alphaAt(image, 100, 113);
    const int far = alphaAt(image, 100, 118);
    EXPECT_GT(near, 0);
    EXPECT_LT(near, 80);
    EXPECT_LT(far, near);

    GlassStyle flat;
    flat.shadow = false;
    EXPECT_EQ(alphaAt(render(flat), 100, 113), 0);
}

TEST(GlassPainter, ReduceTransparencyPaintsTheWindowColourWithASeparatorBorderInside) {
    GlassStyle style;
    style.opaque = true;
    style.shadow = false;
    const QImage image = render(style);
    expectTransparentCorners(image);

    EXPECT_EQ(image.pixel(100, 60), QColor(236, 236, 236).rgba());
    // The border sits on the outermost pixels inside the shape, opaque and darker than the fill.
    for (const QPoint p : {QPoint(8, 60), QPoint(100, 8), QPoint(191, 60), QPoint(100, 111)}) {
        EXPECT_EQ(alphaAt(image, p.x(), p.y()), 255) << p.x() << "," << p.y();
        EXPECT_LT(qGray(image.pixel(p)), 230) << p.x() << "," << p.y();
    }
    EXPECT_EQ(image.pixel(10, 60), QColor(236, 236, 236).rgba());  // one point wide only
    EXPECT_EQ(alphaAt(image, 7, 60), 0);                           // nothing outside

    // The active card: two points of accent instead.
    style.borderColor = QColor(0, 122, 255);
    style.borderWidth = 2;
    const QImage active = render(style);
    EXPECT_EQ(active.pixel(9, 60), QColor(0, 122, 255).rgba());
    EXPECT_EQ(active.pixel(11, 60), QColor(236, 236, 236).rgba());
}

TEST(GlassPainter, FollowsTheDarkPaletteAndTheTint) {
    const QImage light = render(GlassStyle{});
    const QImage dark = render(GlassStyle{}, darkPalette());
    EXPECT_LT(qGray(dark.pixel(100, 60)), qGray(light.pixel(100, 60)) - 100);

    GlassStyle tinted;
    tinted.tint = QColor(0, 122, 255, 56);
    const QRgb wash = render(tinted).pixel(100, 60);
    EXPECT_GT(qBlue(wash) - qRed(wash), 20);
    EXPECT_EQ(qBlue(light.pixel(100, 60)) - qRed(light.pixel(100, 60)) < 10, true);

    GlassStyle opaque;
    opaque.opaque = true;
    EXPECT_EQ(render(opaque, darkPalette()).pixel(100, 60), QColor(40, 40, 42).rgba());
}

TEST(GlassPainter, ShapeHasContinuousCornersAndDegradesToCapsules) {
    EXPECT_TRUE(GlassPainter::shape(QRectF(), 10).isEmpty());
    EXPECT_TRUE(GlassPainter::shape(QRectF(0, 0, -5, 10), 10).isEmpty());

    const QRectF box(0, 0, 200, 100);
    EXPECT_EQ(GlassPainter::shape(box, 0).boundingRect(), box);
    EXPECT_TRUE(GlassPainter::shape(box, -3).contains(QPointF(0.5, 0.5)));

    const QPainterPath card = GlassPainter::shape(box, 26);
    EXPECT_EQ(card.boundingRect(), box);
    EXPECT_FALSE(card.contains(QPointF(4, 4)));
    EXPECT_TRUE(card.contains(QPointF(100, 50)));
    // Unlike a circular corner, the curve is already leaving the edge past one radius.
    EXPECT_FALSE(card.contains(QPointF(27, 0.5)));
    QPainterPath circular;
    circular.addRoundedRect(box, 26, 26);
    EXPECT_TRUE(circular.contains(QPointF(27, 0.5)));

    // A radius too large for the box makes a capsule, not a pinched shape.
    const QPainterPath capsule = GlassPainter::shape(QRectF(0, 0, 80, 20), 50);
    EXPECT_TRUE(capsule.contains(QPointF(1, 10)));
    EXPECT_FALSE(capsule.contains(QPointF(1, 1)));
    EXPECT_TRUE(capsule.contains(QPointF(40, 0.5)));

    // Nothing is painted for an empty surface.
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    GlassPainter::paint(painter, QRectF(5, 5, 0, 10), GlassStyle{}, lightPalette());
    painter.end();
    EXPECT_EQ(alphaAt(image, 5, 10), 0);
    EXPECT_EQ(alphaAt(image, 4, 10), 0);
}

}  // namespace
}  // namespace vantorel

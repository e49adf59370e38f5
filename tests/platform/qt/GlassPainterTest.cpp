#include "platform/qt/GlassPainter.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vantorel {
namespace {

QPalette palette(QColor window) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    return palette;
}
const QColor kLight(236, 236, 236);
const QColor kDark(40, 40, 42);

// A 200 × 120 panel with the usual 8-point transparent margin around its surface.
QImage render(const GlassStyle& style, QColor window = kLight, QRectF surface = {8, 8, 184, 104}) {
    QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    GlassPainter::paint(painter, surface, style, palette(window));
    painter.end();
    return image;
}

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

TEST(GlassPainter, GlassIsTranslucentRoundedShadowedAndFollowsThePaletteAndTint) {
    GlassStyle opaque;
    opaque.opaque = true;
    for (const QImage& image : {render({}), render(opaque)}) {
        for (const QPoint p : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 119), QPoint(199, 119),
                               QPoint(9, 9), QPoint(190, 9)})
            EXPECT_EQ(alphaAt(image, p.x(), p.y()), 0) << p.x() << "," << p.y();
    }
    const QImage glass = render({});
    EXPECT_GT(alphaAt(glass, 100, 60), 150);  // legible over anything
    EXPECT_LT(alphaAt(glass, 100, 60), 255);  // but the desktop shows through
    // The hairline highlight makes the top edge brighter than the body below it.
    EXPECT_GT(qGray(glass.pixel(100, 9)), qGray(glass.pixel(100, 30)));
    // A soft shadow just outside the bottom edge, fading outwards.
    EXPECT_GT(alphaAt(glass, 100, 113), alphaAt(glass, 100, 118));
    EXPECT_LT(alphaAt(glass, 100, 113), 80);
    GlassStyle flat;
    flat.shadow = false;
    EXPECT_EQ(alphaAt(render(flat), 100, 113), 0);

    EXPECT_LT(qGray(render({}, kDark).pixel(100, 60)), qGray(glass.pixel(100, 60)) - 100);
    GlassStyle tinted;
    tinted.tint = QColor(0, 122, 255, 56);
    const QRgb wash = render(tinted).pixel(100, 60);
    EXPECT_GT(qBlue(wash) - qRed(wash), 20);
    EXPECT_LT(qBlue(glass.pixel(100, 60)) - qRed(glass.pixel(100, 60)), 10);

    // Nothing at all for an empty surface.
    EXPECT_EQ(render({}, kLight, QRectF(5, 5, 0, 10)), render(flat, kLight, QRectF()));
}

TEST(GlassPainter, ReduceTransparencyPaintsTheWindowColourWithASeparatorBorderInside) {
    GlassStyle style;
    style.opaque = true;
    style.shadow = false;
    for (const QColor& window : {kLight, kDark}) {
        const QImage image = render(style, window);
        EXPECT_EQ(image.pixel(100, 60), window.rgba());
        EXPECT_EQ(image.pixel(10, 60), window.rgba());  // the border is one point wide only
        EXPECT_EQ(alphaAt(image, 7, 60), 0);            // nothing outside
        // On the outermost pixels inside the shape, opaque and apart from the fill.
        for (const QPoint p : {QPoint(8, 60), QPoint(100, 8), QPoint(191, 60), QPoint(100, 111)}) {
            EXPECT_EQ(alphaAt(image, p.x(), p.y()), 255) << p.x() << "," << p.y();
            EXPECT_GT(std::abs(qGray(image.pixel(p)) - window.lightness()), 6) << p.x();
        }
    }
    // The active card: two points of accent instead.
    style.borderColor = QColor(0, 122, 255);
    style.borderWidth = 2;
    const QImage active = render(style);
    EXPECT_EQ(active.pixel(9, 60), QColor(0, 122, 255).rgba());
    EXPECT_EQ(active.pixel(11, 60), kLight.rgba());
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

    // A radius too large for the box makes a capsule, not a pinched shape.
    const QPainterPath capsule = GlassPainter::shape(QRectF(0, 0, 80, 20), 50);
    EXPECT_TRUE(capsule.contains(QPointF(1, 10)));
    EXPECT_FALSE(capsule.contains(QPointF(1, 1)));
    EXPECT_TRUE(capsule.contains(QPointF(40, 0.5)));
}

// A surface is drawn once and copied after: the copy must land on the same pixels however it
// is placed, the first time and the next, from a moved painter or a widget drawn at an offset.
class SurfaceWidget : public QWidget {
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        GlassPainter::paint(painter, {8, 8, 120, 60}, {}, palette());
    }
};

TEST(GlassPainter, ACopiedSurfaceLandsWhereDrawingItWould) {
    SurfaceWidget widget;
    widget.setPalette(palette(kLight));
    widget.resize(150, 90);
    for (const QPointF at : {QPointF(31, 17), QPointF(10.5, 3.25), QPointF(31, 17)}) {
        QImage moved(200, 120, QImage::Format_ARGB32_Premultiplied);
        moved.fill(Qt::transparent);
        QPainter painter(&moved);
        painter.translate(at);
        GlassPainter::paint(painter, {8, 8, 120, 60}, {}, palette(kLight));
        painter.end();
        EXPECT_EQ(moved, render({}, kLight, QRectF(8, 8, 120, 60).translated(at))) << at.x();
        moved.fill(Qt::transparent);
        widget.render(&moved, at.toPoint(), QRegion(), QWidget::DrawChildren);
        EXPECT_EQ(moved, render({}, kLight, QRectF(8, 8, 120, 60).translated(at.toPoint())));
    }
}

void drawRing(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.strokePath(GlassPainter::shape(rect, radius), QPen(Qt::red, 2));
}
void drawDisc(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.fillPath(GlassPainter::shape(rect, radius), QColor(0, 0, 255, 120));
}

// Two drawings of the same size are two copies; each lands as drawing it there would.
TEST(GlassPainter, CopiedDrawingsLandAsDrawnAndAreNotMistakenForEachOther) {
    for (const QPointF at : {QPointF(0, 0), QPointF(6.5, 2.25), QPointF(0, 0)}) {
        for (const GlassPainter::Drawing drawing : {&drawRing, &drawDisc}) {
            SCOPED_TRACE(at.x());
            QImage copied(100, 60, QImage::Format_ARGB32_Premultiplied), drawn = copied;
            for (QImage* image : {&copied, &drawn}) {
                image->fill(Qt::transparent);
                QPainter painter(image);
                painter.translate(at);
                if (image == &copied)
                    GlassPainter::paintCopied(painter, {8, 8, 70, 40}, 9, drawing);
                if (image == &drawn) drawing(painter, {8, 8, 70, 40}, 9);
            }
            EXPECT_EQ(copied, drawn);
        }
    }
}

}  // namespace
}  // namespace vantorel

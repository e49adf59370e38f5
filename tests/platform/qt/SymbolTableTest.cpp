#include "platform/qt/SymbolTable.h"

#include <QImage>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

struct Ink {
    int pixels = 0;      // pixels with any coverage
    QRgb strongest = 0;  // the most covered pixel
};

QImage drawn(const SymbolTable& table, const QString& name, const QColor& color = Qt::black) {
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    table.draw(painter, QRectF(0, 0, 48, 48), name, color);
    painter.end();
    return image;
}

Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            ++ink.pixels;
            if (qAlpha(pixel) > qAlpha(ink.strongest)) ink.strongest = pixel;
        }
    }
    return ink;
}

// Every name the views use, as they spell it.
const char* const kUsedByViews[] = {
    "xmark",
    "minus",
    "minus.circle.fill",
    "macwindow",
    "arrow.up.left.and.arrow.down.right",
    "calendar",
    "checklist",
    "checkmark.circle",
    "checkmark.circle.fill",
    "checkmark.seal.fill",
    "circle",
    "exclamationmark",
    "music.note",
    "play.fill",
    "pause.fill",
    "forward.fill",
    "backward.fill",
    "rectangle.on.rectangle.angled",
    "command",
    "menubar.rectangle",
    "lock.shield",
    "folder",
    "doc",
};

TEST(SymbolTable, KnowsEveryNameTheViewsUse) {
    const QStringList known = SymbolTable::knownNames();
    for (const char* name : kUsedByViews) {
        EXPECT_TRUE(known.contains(QLatin1String(name))) << name;
    }
    EXPECT_EQ(QSet<QString>(known.begin(), known.end()).size(), known.size());
}

TEST(SymbolTable, DrawsEverySymbolFromTheInstalledIconFont) {
    const SymbolTable& table = SymbolTable::shared();
    ASSERT_TRUE(table.fontLoaded())
        << "install fonts-material-design-icons-iconfont: " << qPrintable(table.defaultFontFile());

    QSet<QString> glyphs;
    for (const QString& name : SymbolTable::knownNames()) {
        const QString ligature = table.ligature(name);
        EXPECT_FALSE(ligature.isEmpty()) << qPrintable(name);
        glyphs.insert(ligature);
        const Ink ink = inkOf(drawn(table, name, QColor(200, 30, 40)));
        // A real glyph: some ink, but not a filled box of missing-glyph or letters.
        EXPECT_GT(ink.pixels, 40) << qPrintable(name);
        EXPECT_LT(ink.pixels, 48 * 48 * 3 / 4) << qPrintable(name);
        EXPECT_EQ(qRgb(qRed(ink.strongest), qGreen(ink.strongest), qBlue(ink.strongest)),
                  qRgb(200, 30, 40))
            << qPrintable(name);
    }
    EXPECT_EQ(glyphs.size(), SymbolTable::knownNames().size());  // no two symbols look alike
    EXPECT_EQ(table.ligature(QStringLiteral("xmark")), QStringLiteral("close"));
    EXPECT_EQ(table.ligature(QStringLiteral("calendar")), QStringLiteral("calendar_today"));
}

TEST(SymbolTable, DrawsDistinctShapesByHandWithoutTheFont) {
    const SymbolTable table(QStringLiteral("/nonexistent/MaterialIcons-Regular.ttf"));
    EXPECT_FALSE(table.fontLoaded());

    QSet<QByteArray> looks;
    for (const QString& name : SymbolTable::knownNames()) {
        EXPECT_TRUE(table.ligature(name).isEmpty());
        const QImage image = drawn(table, name, QColor(10, 120, 220));
        const Ink ink = inkOf(image);
        EXPECT_GT(ink.pixels, 40) << qPrintable(name);
        EXPECT_LT(ink.pixels, 48 * 48 * 3 / 4) << qPrintable(name);
        EXPECT_EQ(qRgb(qRed(ink.strongest), qGreen(ink.strongest), qBlue(ink.strongest)),
                  qRgb(10, 120, 220))
            << qPrintable(name);
        looks.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                static_cast<int>(image.sizeInBytes())));
    }
    EXPECT_EQ(looks.size(), SymbolTable::knownNames().size());
}

TEST(SymbolTable, UnknownNamesDrawAVisiblePlaceholder) {
    const SymbolTable handDrawn(QStringLiteral("/nonexistent.ttf"));
    for (const SymbolTable* table : {&SymbolTable::shared(), &handDrawn}) {
        EXPECT_FALSE(table->knows(QStringLiteral("gearshape.2")));
        EXPECT_TRUE(table->knows(QStringLiteral("xmark")));
        const QImage unknown = drawn(*table, QStringLiteral("gearshape.2"));
        EXPECT_GT(inkOf(unknown).pixels, 40);
        EXPECT_EQ(unknown, drawn(*table, QString()));
        EXPECT_NE(unknown, drawn(*table, QStringLiteral("xmark")));
    }
}

TEST(SymbolTable, MakesPixmapsAndIcons) {
    const SymbolTable& table = SymbolTable::shared();
    const QPixmap pixmap = table.pixmap(QStringLiteral("play.fill"), QSize(20, 20), Qt::white, 2);
    EXPECT_EQ(pixmap.size(), QSize(40, 40));
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), 2.0);
    EXPECT_GT(inkOf(pixmap.toImage().convertToFormat(QImage::Format_ARGB32)).pixels, 40);

    EXPECT_TRUE(table.pixmap(QStringLiteral("play.fill"), QSize(0, 20), Qt::white).isNull());
    EXPECT_TRUE(table.pixmap(QStringLiteral("play.fill"), QSize(20, 20), Qt::white, 0).isNull());

    const QIcon icon = table.icon(QStringLiteral("xmark"), Qt::black);
    EXPECT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.availableSizes().isEmpty());
}

}  // namespace
}  // namespace vantorel

#include "platform/qt/SymbolTable.h"

#include <QImage>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

QImage drawn(const SymbolTable& table, const QString& name, const QColor& color = Qt::black) {
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    table.draw(painter, QRectF(0, 0, 48, 48), name, color);
    painter.end();
    return image;
}

// Pixels with any coverage, and the most covered one.
std::pair<int, QRgb> inkOf(const QImage& image) {
    int pixels = 0;
    QRgb strongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            pixels += qAlpha(pixel) > 0;
            if (qAlpha(pixel) > qAlpha(strongest)) strongest = pixel;
        }
    }
    return {pixels, strongest};
}

TEST(SymbolTable, KnowsEveryNameTheViewsUseAndDrawsEachApartWithTheFontOrByHand) {
    const QStringList known = SymbolTable::knownNames();
    const QString used = QStringLiteral(
        "xmark minus minus.circle.fill macwindow arrow.up.left.and.arrow.down.right calendar "
        "checklist checkmark.circle checkmark.circle.fill checkmark.seal.fill circle "
        "exclamationmark music.note play.fill pause.fill forward.fill backward.fill "
        "rectangle.on.rectangle.angled command menubar.rectangle lock.shield folder doc");
    for (const QString& name : used.split(QLatin1Char(' ')))
        EXPECT_TRUE(known.contains(name)) << qPrintable(name);

    const SymbolTable& font = SymbolTable::shared();
    ASSERT_TRUE(font.fontLoaded())
        << "install fonts-material-design-icons-iconfont: " << qPrintable(font.defaultFontFile());
    const SymbolTable byHand(QStringLiteral("/nonexistent/MaterialIcons-Regular.ttf"));
    EXPECT_FALSE(byHand.fontLoaded());
    for (const SymbolTable* table : {&font, &byHand}) {
        QSet<QString> glyphs;
        QSet<QByteArray> looks;
        for (const QString& name : known) {
            EXPECT_EQ(table->ligature(name).isEmpty(), table == &byHand) << qPrintable(name);
            glyphs.insert(table->ligature(name));
            const QImage image = drawn(*table, name, QColor(200, 30, 40));
            looks.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                    static_cast<int>(image.sizeInBytes())));
            // A real glyph in the colour asked for: some ink, but no filled box.
            const auto [pixels, strongest] = inkOf(image);
            EXPECT_GT(pixels, 40) << qPrintable(name);
            EXPECT_LT(pixels, 48 * 48 * 3 / 4) << qPrintable(name);
            EXPECT_EQ(strongest | 0xff000000u, qRgb(200, 30, 40)) << qPrintable(name);
        }
        // No two symbols look alike, and no name is listed twice.
        EXPECT_EQ(looks.size(), known.size());
        if (table == &font) {
            EXPECT_EQ(glyphs.size(), known.size());
        }

        // Unknown names draw a visible placeholder.
        EXPECT_FALSE(table->knows(QStringLiteral("gearshape.2")));
        EXPECT_TRUE(table->knows(QStringLiteral("xmark")));
        const QImage unknown = drawn(*table, QStringLiteral("gearshape.2"));
        EXPECT_GT(inkOf(unknown).first, 40);
        EXPECT_EQ(unknown, drawn(*table, QString()));
        EXPECT_NE(unknown, drawn(*table, QStringLiteral("xmark")));
    }
}

TEST(SymbolTable, MakesPixmapsAndIcons) {
    const SymbolTable& table = SymbolTable::shared();
    const QPixmap pixmap = table.pixmap(QStringLiteral("play.fill"), QSize(20, 20), Qt::white, 2);
    EXPECT_EQ(pixmap.size(), QSize(40, 40));
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    EXPECT_GT(inkOf(pixmap.toImage().convertToFormat(QImage::Format_ARGB32)).first, 40);
    EXPECT_TRUE(table.pixmap(QStringLiteral("play.fill"), QSize(0, 20), Qt::white).isNull());
    EXPECT_TRUE(table.pixmap(QStringLiteral("play.fill"), QSize(20, 20), Qt::white, 0).isNull());
    const QIcon icon = table.icon(QStringLiteral("xmark"), Qt::black);
    EXPECT_FALSE(icon.isNull() || icon.availableSizes().isEmpty());
}

}  // namespace
}  // namespace vantorel

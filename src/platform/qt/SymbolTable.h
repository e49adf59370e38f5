#pragma once

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace vantorel {

// The system symbol names the views use ("xmark", "minus", "macwindow", …), drawn with glyphs of
// the Material Icons font, or with hand-drawn shapes where the font or a glyph is missing. An
// unknown name draws a neutral placeholder rather than nothing.
class SymbolTable {
public:
    // Loads the icon font from `fontFile`; if that fails, every symbol is drawn by hand.
    explicit SymbolTable(const QString& fontFile);
    // The font installed by Debian's fonts-material-design-icons-iconfont.
    static QString defaultFontFile();
    // Shared by every view; loads the default font on first use.
    static const SymbolTable& shared();

    static QStringList knownNames();
    bool knows(const QString& name) const;
    bool fontLoaded() const { return !family_.isEmpty(); }
    // The font ligature that draws `name`; empty when it is drawn by hand.
    QString ligature(const QString& name) const;

    // Draws the symbol centred in `box`, as large as the box's shorter side allows.
    void draw(QPainter& painter, const QRectF& box, const QString& name, const QColor& color) const;
    // Draws a glyph of the icon font by its own ligature name ("mail", "terminal"), for icons that
    // are not system symbols; false, and nothing drawn, without the font.
    bool drawLigature(QPainter& painter, const QRectF& box, const QString& ligature,
                      const QColor& color) const;
    QPixmap pixmap(const QString& name, const QSize& size, const QColor& color,
                   qreal devicePixelRatio = 1) const;
    QIcon icon(const QString& name, const QColor& color) const;

private:
    QString family_;
    QHash<QString, QString> ligatures_;
};

}  // namespace vantorel

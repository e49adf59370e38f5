#include "platform/qt/SymbolTable.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTextLayout>
#include <QTransform>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace vantorel {
namespace {

// Hand-drawn shapes live on the icon font's 24-unit grid and are filled, never stroked, so holes
// (the check in a filled circle) can be cut out.
using Shape = std::function<QPainterPath()>;

struct Symbol {
    const char* name;
    // Ligatures to try in order: the font's names changed between releases.
    std::vector<const char*> ligatures;
    Shape fallback;
};

QPainterPath line(QPointF from, QPointF to) {
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& p : points) {
        if (first) {
            path.moveTo(p);
            first = false;
        } else {
            path.lineTo(p);
        }
    }
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path = polyline(points);
    path.closeSubpath();
    return path;
}

QPainterPath stroked(const QPainterPath& path, qreal width = 2) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

// A true union: stroke outlines run in either direction, so merely adding them to one path
// would let overlaps cancel out into holes.
QPainterPath unite(std::initializer_list<QPainterPath> parts) {
    QPainterPath result;
    result.setFillRule(Qt::WindingFill);
    for (const QPainterPath& part : parts)
        result = result.united(part);
    return result;
}

QPainterPath circle(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath roundedBox(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath check() {
    return polyline({{7.5, 12.5}, {10.5, 15.5}, {16.5, 9}});
}

QPainterPath minusBar() {
    return line({7, 12}, {17, 12});
}

QPainterPath filledCircleWithout(const QPainterPath& hole) {
    return circle({12, 12}, 10).subtracted(stroked(hole));
}

QPainterPath window() {
    return unite(
        {stroked(roundedBox({3, 4.5, 18, 15}, 2.5)), stroked(line({3, 8.5}, {21, 8.5}), 1.6)});
}

QPainterPath expandArrows() {
    return unite({stroked(line({5, 5}, {19, 19})), stroked(polyline({{5, 10}, {5, 5}, {10, 5}})),
                  stroked(polyline({{14, 19}, {19, 19}, {19, 14}}))});
}

QPainterPath calendar() {
    return unite({stroked(roundedBox({3.5, 5, 17, 15.5}, 2.5)),
                  stroked(line({3.5, 10}, {20.5, 10}), 1.6), stroked(line({8, 3}, {8, 6.5})),
                  stroked(line({16, 3}, {16, 6.5}))});
}

QPainterPath checklist() {
    QPainterPath path;
    for (qreal y : {6.0, 12.0, 18.0}) {
        path = unite({path, stroked(polyline({{3, y}, {4.7, y + 1.7}, {7.5, y - 1.5}}), 1.8),
                      stroked(line({11, y}, {21, y}), 1.8)});
    }
    return path;
}

QPainterPath musicNote() {
    QPainterPath head;
    head.addEllipse(QPointF(8.5, 17.5), 3.5, 3);
    return unite({head, stroked(line({11.2, 17}, {11.2, 4}), 1.8),
                  stroked(polyline({{11.2, 4}, {17.5, 6}, {17.5, 9.5}, {11.2, 7.5}}), 1.8)});
}

QPainterPath pauseBars() {
    return unite({roundedBox({6, 4.5, 4, 15}, 1), roundedBox({14, 4.5, 4, 15}, 1)});
}

QPainterPath doubleTriangle(bool forward) {
    const QPainterPath path = unite({polygon({{2.5, 5.5}, {12, 12}, {2.5, 18.5}}),
                                     polygon({{12, 5.5}, {21.5, 12}, {12, 18.5}})});
    return forward ? path : QTransform(-1, 0, 0, 1, 24, 0).map(path);
}

QPainterPath overlappingRectangles() {
    QPainterPath back = roundedBox({7.5, 3.5, 13, 10}, 2);
    back = QTransform().translate(14, 8.5).rotate(-8).translate(-14, -8.5).map(back);
    const QPainterPath front = roundedBox({3.5, 9.5, 13, 10}, 2);
    // The front rectangle hides the part of the back one it covers.
    return unite({stroked(back, 1.8).subtracted(front), stroked(front, 1.8)});
}

QPainterPath commandKey() {
    QPainterPath path;
    for (QPointF c : {QPointF(7, 7), QPointF(17, 7), QPointF(7, 17), QPointF(17, 17)}) {
        path = unite({path, stroked(circle(c, 2.5), 1.8)});
    }
    // The loops meet the central square; only the square's sides remain between them.
    return unite({path.subtracted(roundedBox({9.6, 9.6, 4.8, 4.8}, 0)),
                  stroked(polygon({{9.5, 9.5}, {14.5, 9.5}, {14.5, 14.5}, {9.5, 14.5}}), 1.8)});
}

QPainterPath menuBarWindow() {
    return unite({stroked(roundedBox({3, 4.5, 18, 15}, 2.5)), roundedBox({3, 4.5, 18, 4}, 1.5)});
}

QPainterPath shield() {
    QPainterPath path(QPointF(12, 2.5));
    path.cubicTo(14.5, 4, 17, 4.8, 19.5, 5);
    path.cubicTo(19.5, 13, 17, 18.5, 12, 21.5);
    path.cubicTo(7, 18.5, 4.5, 13, 4.5, 5);
    path.cubicTo(7, 4.8, 9.5, 4, 12, 2.5);
    path.closeSubpath();
    return path;
}

QPainterPath lockShield() {
    QPainterPath bow(QPointF(10.3, 11));
    bow.lineTo(10.3, 9.5);
    bow.cubicTo(10.3, 7.3, 13.7, 7.3, 13.7, 9.5);
    bow.lineTo(13.7, 11);
    return unite({stroked(shield(), 1.8), roundedBox({9, 11, 6, 5}, 1), stroked(bow, 1.4)});
}

QPainterPath seal() {
    constexpr int kPoints = 12;
    QPainterPath path;
    for (int i = 0; i <= kPoints * 2; ++i) {
        const double angle = std::numbers::pi * i / kPoints;
        const double radius = (i % 2 == 0) ? 10.5 : 8.8;
        const QPointF p(12 + radius * std::sin(angle), 12 - radius * std::cos(angle));
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    path.closeSubpath();
    return path.subtracted(stroked(check()));
}

QPainterPath folder() {
    QPainterPath path(QPointF(2.5, 6));
    path.cubicTo(2.5, 4.9, 3.4, 4, 4.5, 4);
    path.lineTo(9.5, 4);
    path.lineTo(11.5, 6);
    path.lineTo(19.5, 6);
    path.cubicTo(20.6, 6, 21.5, 6.9, 21.5, 8);
    path.lineTo(21.5, 18);
    path.cubicTo(21.5, 19.1, 20.6, 20, 19.5, 20);
    path.lineTo(4.5, 20);
    path.cubicTo(3.4, 20, 2.5, 19.1, 2.5, 18);
    path.closeSubpath();
    return path;
}

QPainterPath document() {
    return unite({stroked(polygon({{5.5, 3}, {14, 3}, {18.5, 7.5}, {18.5, 21}, {5.5, 21}})),
                  stroked(polyline({{13.5, 3.5}, {13.5, 8}, {18, 8}}), 1.6),
                  stroked(line({8.5, 13}, {15.5, 13}), 1.6),
                  stroked(line({8.5, 16.5}, {15.5, 16.5}), 1.6)});
}

QPainterPath openApp() {
    return unite(
        {stroked(
             polyline({{11, 4}, {5, 4}, {4, 5}, {4, 19}, {5, 20}, {19, 20}, {20, 19}, {20, 13}})),
         stroked(line({11, 13}, {20, 4})), stroked(polyline({{14, 4}, {20, 4}, {20, 10}}))});
}

QPainterPath exclamation() {
    return unite({stroked(line({12, 4}, {12, 14}), 3), circle({12, 19.5}, 1.8)});
}

QPainterPath xmark() {
    return unite({stroked(line({6, 6}, {18, 18})), stroked(line({18, 6}, {6, 18}))});
}

// Stands in for a name the table does not know: a dashed rounded square, visibly not a symbol.
QPainterPath unknownSymbol() {
    QPainterPathStroker stroker;
    stroker.setWidth(1.6);
    stroker.setDashPattern({2.0, 1.6});
    return unite({stroker.createStroke(roundedBox({4, 4, 16, 16}, 3))});
}

const std::vector<Symbol>& symbols() {
    static const std::vector<Symbol> table = {
        {"xmark", {"close"}, xmark},
        {"minus", {"remove"}, [] { return stroked(minusBar()); }},
        {"minus.circle.fill", {"remove_circle"}, [] { return filledCircleWithout(minusBar()); }},
        {"macwindow", {"web_asset", "desktop_windows"}, window},
        {"arrow.up.left.and.arrow.down.right", {"open_in_full", "fullscreen"}, expandArrows},
        {"calendar", {"calendar_today", "event"}, calendar},
        {"checklist", {"checklist", "playlist_add_check", "list"}, checklist},
        {"checkmark.circle",
         {"check_circle_outline", "task_alt"},
         [] {
             return unite({stroked(circle({12, 12}, 9)), stroked(check())});
         }},
        {"checkmark.circle.fill", {"check_circle"}, [] { return filledCircleWithout(check()); }},
        {"checkmark.seal.fill", {"verified", "new_releases"}, seal},
        {"circle",
         {"radio_button_unchecked"},
         [] {
             return stroked(circle({12, 12}, 9));
         }},
        {"exclamationmark", {"priority_high"}, exclamation},
        {"music.note", {"music_note"}, musicNote},
        {"play.fill",
         {"play_arrow"},
         [] {
             return polygon({{7, 4.5}, {19.5, 12}, {7, 19.5}});
         }},
        {"pause.fill", {"pause"}, pauseBars},
        {"forward.fill", {"fast_forward"}, [] { return doubleTriangle(true); }},
        {"backward.fill", {"fast_rewind"}, [] { return doubleTriangle(false); }},
        {"rectangle.on.rectangle.angled", {"filter_none", "library_books"}, overlappingRectangles},
        {"command", {"keyboard_command_key", "keyboard_command"}, commandKey},
        {"menubar.rectangle", {"web", "call_to_action"}, menuBarWindow},
        {"lock.shield", {"security", "shield"}, lockShield},
        {"folder", {"folder"}, folder},
        {"doc", {"description", "insert_drive_file"}, document},
        {"arrow.up.forward.app", {"open_in_new"}, openApp},
    };
    return table;
}

const Symbol* findSymbol(const QString& name) {
    for (const Symbol& symbol : symbols()) {
        if (name == QLatin1String(symbol.name)) return &symbol;
    }
    return nullptr;
}

QFont iconFont(const QString& family, qreal pixelSize) {
    QFont font(family);
    font.setPixelSize(std::max(1, qRound(pixelSize)));
    // A ligature the font lacks must not turn into letters borrowed from another font.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

// A ligature exists when its name shapes into one real glyph.
bool shapesToOneGlyph(const QString& family, const QString& text) {
    QTextLayout layout(text, iconFont(family, 24));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1) return false;
    const QList<quint32> glyphs = runs.front().glyphIndexes();
    return glyphs.size() == 1 && glyphs.front() != 0;
}

QString loadFamily(const QString& fontFile) {
    if (fontFile.isEmpty() || !QFile::exists(fontFile)) return {};
    // Loading the same file twice would register the family twice; remember what each gave.
    static QHash<QString, QString> loaded;
    if (const auto it = loaded.constFind(fontFile); it != loaded.constEnd()) return *it;
    const int id = QFontDatabase::addApplicationFont(fontFile);
    const QStringList families =
        id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    const QString family = families.isEmpty() ? QString() : families.front();
    loaded.insert(fontFile, family);
    return family;
}

void fillShape(QPainter& painter, const QRectF& box, const QPainterPath& shape,
               const QColor& color) {
    const qreal side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(box.center());
    painter.scale(side / 24, side / 24);
    painter.translate(-12, -12);
    painter.fillPath(shape, color);
    painter.restore();
}

}  // namespace

SymbolTable::SymbolTable(const QString& fontFile) : family_(loadFamily(fontFile)) {
    if (family_.isEmpty()) return;
    for (const Symbol& symbol : symbols()) {
        for (const char* candidate : symbol.ligatures) {
            const QString ligature = QString::fromLatin1(candidate);
            if (shapesToOneGlyph(family_, ligature)) {
                ligatures_.insert(QString::fromLatin1(symbol.name), ligature);
                break;
            }
        }
    }
}

QString SymbolTable::defaultFontFile() {
    return QStringLiteral(
        "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf");
}

const SymbolTable& SymbolTable::shared() {
    static const SymbolTable table(defaultFontFile());
    return table;
}

QStringList SymbolTable::knownNames() {
    QStringList names;
    for (const Symbol& symbol : symbols())
        names.append(QString::fromLatin1(symbol.name));
    return names;
}

bool SymbolTable::knows(const QString& name) const {
    return findSymbol(name) != nullptr;
}

QString SymbolTable::ligature(const QString& name) const {
    return ligatures_.value(name);
}

bool SymbolTable::drawLigature(QPainter& painter, const QRectF& box, const QString& ligature,
                               const QColor& color) const {
    if (family_.isEmpty() || ligature.isEmpty() || box.isEmpty()) return false;
    painter.save();
    painter.setFont(iconFont(family_, std::min(box.width(), box.height())));
    painter.setPen(color);
    painter.drawText(box, Qt::AlignCenter, ligature);
    painter.restore();
    return true;
}

void SymbolTable::draw(QPainter& painter, const QRectF& box, const QString& name,
                       const QColor& color) const {
    if (box.isEmpty()) return;
    if (drawLigature(painter, box, ligatures_.value(name), color)) return;
    const Symbol* symbol = findSymbol(name);
    fillShape(painter, box, symbol ? symbol->fallback() : unknownSymbol(), color);
}

QPixmap SymbolTable::pixmap(const QString& name, const QSize& size, const QColor& color,
                            qreal devicePixelRatio) const {
    if (size.isEmpty() || !(devicePixelRatio > 0)) return {};
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter, QRectF(QPointF(0, 0), QSizeF(size)), name, color);
    return pixmap;
}

QIcon SymbolTable::icon(const QString& name, const QColor& color) const {
    QIcon icon;
    for (int side : {16, 24, 32, 48})
        icon.addPixmap(pixmap(name, QSize(side, side), color));
    return icon;
}

}  // namespace vantorel

// The core's headers before Qt's, as everywhere the two meet.
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWindowPainter.h"
#include "platform/sim/SimWorld.h"

#include "app/playground/SimDesktopView.h"

#include <QApplication>
#include <QCursor>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"

namespace vantorel {
namespace {

constexpr int kMenuBarHeight = 25;
constexpr int kWindowRadius = 10;
constexpr int kRefreshMs = 100;
constexpr int kFollowMs = 16;
// How long one paint may spend preparing window contents.
constexpr qint64 kContentBudgetMs = 12;

QColor fromArgb(std::uint32_t argb) {
    return QColor::fromRgb(static_cast<QRgb>(argb | 0xff000000u));
}

QRectF toQRect(const Rect& r) {
    return QRectF(r.minX(), r.minY(), r.width(), r.height());
}

// A folder tile: the folder shape in the platform's folder blue.
void paintFolderIcon(QPainter& p, const QRectF& box) {
    const QRectF icon = box.adjusted(box.width() * 0.1, box.height() * 0.18, -box.width() * 0.1,
                                     -box.height() * 0.14);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(icon.left(), icon.top() - icon.height() * 0.1, icon.width() * 0.42,
                              icon.height() * 0.3),
                       4, 4);
    p.fillPath(tab, QColor(74, 160, 226));
    QLinearGradient fill(icon.topLeft(), icon.bottomLeft());
    fill.setColorAt(0, QColor(125, 196, 248));
    fill.setColorAt(1, QColor(84, 170, 236));
    p.fillPath(GlassPainter::shape(icon.adjusted(0, icon.height() * 0.08, 0, 0), 6), fill);
}

// A stack: three sheets fanned out.
void paintStackIcon(QPainter& p, const QRectF& box) {
    const QRectF sheet = box.adjusted(box.width() * 0.24, box.height() * 0.16, -box.width() * 0.24,
                                      -box.height() * 0.16);
    const QColor colours[] = {QColor(255, 204, 0), QColor(255, 149, 0), QColor(245, 245, 247)};
    const qreal angles[] = {-14, 9, 0};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(sheet.center());
        p.rotate(angles[i]);
        const QRectF local(-sheet.width() / 2, -sheet.height() / 2, sheet.width(), sheet.height());
        p.setPen(QPen(QColor(0, 0, 0, 40), 1));
        p.setBrush(colours[i]);
        p.drawRoundedRect(local, 4, 4);
        if (i == 2) {
            // The front sheet is a document: a few lines of text.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(174, 174, 178));
            for (int line = 0; line < 4; ++line) {
                const qreal width = local.width() * (line == 3 ? 0.4 : 0.62);
                p.drawRoundedRect(QRectF(local.left() + local.width() * 0.19,
                                         local.top() + local.height() * (0.2 + 0.17 * line), width,
                                         local.height() * 0.07),
                                  1, 1);
            }
        }
        p.restore();
    }
}

// The platform's arrow pointer, its tip at the origin.
void paintArrow(QPainter& p, QPointF tip) {
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 17);
    arrow.lineTo(4.2, 13.2);
    arrow.lineTo(7.2, 20);
    arrow.lineTo(10, 18.8);
    arrow.lineTo(7.1, 12.2);
    arrow.lineTo(12.4, 12.2);
    arrow.closeSubpath();
    p.save();
    p.translate(tip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(arrow);
    p.restore();
}

// A window's soft shadow as nine pieces: the corners as they are, the edges stretched along the
// window, the middle (under the window) left out. Drawn once per look and reused for every window.
class WindowShadow {
public:
    WindowShadow(int layers, qreal step, int alpha) : extent_(static_cast<int>(layers * step) + 2) {
        const int side = 2 * (extent_ + kWindowRadius) + 1;
        tile_ = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        tile_.fill(Qt::transparent);
        QPainter p(&tile_);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QRectF window(extent_, extent_, side - 2 * extent_, side - 2 * extent_);
        for (int i = layers; i > 0; --i) {
            const qreal spread = i * step;
            p.fillPath(GlassPainter::shape(window.adjusted(-spread, -spread, spread, spread),
                                           kWindowRadius + spread),
                       QColor(0, 0, 0, alpha));
        }
    }

    // Around `frame`, dropped by `drop` points.
    void paint(QPainter& p, const QRectF& frame, qreal drop) const {
        const int e = extent_;
        const int c = extent_ + kWindowRadius;  // corner piece side
        const int mid = tile_.width() - 2 * c;  // one pixel
        const QRectF outer = frame.adjusted(-e, -e + drop, e, e + drop);
        const qreal innerW = std::max<qreal>(0, outer.width() - 2 * c);
        const qreal innerH = std::max<qreal>(0, outer.height() - 2 * c);
        const qreal x[] = {outer.left(), outer.left() + c, outer.right() - c};
        const qreal y[] = {outer.top(), outer.top() + c, outer.bottom() - c};
        const qreal w[] = {static_cast<qreal>(c), innerW, static_cast<qreal>(c)};
        const qreal h[] = {static_cast<qreal>(c), innerH, static_cast<qreal>(c)};
        const int sx[] = {0, c, c + mid};
        const int sw[] = {c, mid, c};
        // The stretched pieces are one pixel across and the same all along: nothing to smooth.
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (row == 1 && col == 1) continue;
                p.drawImage(QRectF(x[col], y[row], w[col], h[row]), tile_,
                            QRectF(sx[col], sx[row], sw[col], sw[row]));
            }
        }
        p.restore();
    }

private:
    int extent_;
    QImage tile_;
};

// A window whose content is not ready yet: its colour and title bar.
void paintPlainWindow(QPainter& p, const QRectF& frame, const SimWindowSpec& spec) {
    const QPainterPath shape = GlassPainter::shape(frame, kWindowRadius);
    const QColor body = fromArgb(spec.color);
    p.fillPath(shape, body);
    p.save();
    p.setClipPath(shape);
    p.fillRect(
        QRectF(frame.left(), frame.top(), frame.width(), std::min<qreal>(28, frame.height())),
        QColor::fromRgbF(body.redF() + (1 - body.redF()) * 0.75,
                         body.greenF() + (1 - body.greenF()) * 0.75,
                         body.blueF() + (1 - body.blueF()) * 0.75));
    p.restore();
}

// The title in the desktop's own font over the window's title bar, which the capture draws in
// a coarse pixel font fit for thumbnails.
void paintTitle(QPainter& p, const QRectF& frame, const SimWindowSpec& spec) {
    constexpr qreal kTitleBar = 28;
    constexpr qreal kButtons = 70;
    if (frame.height() < kTitleBar || frame.width() < 2 * kButtons + 20) return;
    const QColor body = fromArgb(spec.color);
    const QColor bar = QColor::fromRgbF(body.redF() + (1 - body.redF()) * 0.75,
                                        body.greenF() + (1 - body.greenF()) * 0.75,
                                        body.blueF() + (1 - body.blueF()) * 0.75);
    const QRectF room(frame.left() + kButtons, frame.top() + 1, frame.width() - 2 * kButtons,
                      kTitleBar - 2);
    p.fillRect(room, bar);
    QFont font = QApplication::font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(60, 60, 60));
    const QString title = QFontMetricsF(font).elidedText(QString::fromStdString(spec.title),
                                                         Qt::ElideRight, room.width() - 8);
    p.drawText(room, Qt::AlignCenter, title);
}

}  // namespace

SimDesktopView::SimDesktopView(SimDesktop& desktop, const SimWorld& world, QWidget* parent)
    : QWidget(parent), desktop_(desktop), world_(world) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFixedSize(sizeHint());
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, [this] { refreshIfChanged(); });
    refresh_.start();
    follow_.setInterval(kFollowMs);
    connect(&follow_, &QTimer::timeout, this, [this] { followCursor(); });
}

SimDesktopView::~SimDesktopView() = default;

QSize SimDesktopView::sizeHint() const {
    const auto screens = desktop_.screens.screens();
    if (screens.empty()) return QSize(1440, 900);
    const Rect& frame = screens.front().frame;
    return QSize(static_cast<int>(std::lround(frame.width())),
                 static_cast<int>(std::lround(frame.height())));
}

double SimDesktopView::screenHeight() const {
    return desktop_.primaryHeight();
}

QPoint SimDesktopView::panelPosition(Point origin, QSize size) const {
    const QPointF topLeft = fromSimulated({origin.x, origin.y + size.height()});
    return mapToGlobal(QPoint(static_cast<int>(std::lround(topLeft.x())),
                              static_cast<int>(std::lround(topLeft.y()))));
}

Point SimDesktopView::toSimulated(QPointF viewPoint) const {
    return {viewPoint.x(), screenHeight() - viewPoint.y()};
}

QPointF SimDesktopView::fromSimulated(Point simulated) const {
    return {simulated.x, screenHeight() - simulated.y};
}

void SimDesktopView::setPointerFollowsMouse(bool follows) {
    followsMouse_ = follows;
    if (follows) {
        follow_.start();
    } else {
        follow_.stop();
    }
}

void SimDesktopView::setOwnWindows(std::function<std::vector<QWidget*>()> ownWindows) {
    ownWindows_ = std::move(ownWindows);
}

void SimDesktopView::setShowsPointer(bool shows) {
    showsPointer_ = shows;
    update();
}

void SimDesktopView::setMenuBarExtra(QWidget* extra) {
    extra_ = extra;
    if (!extra_) return;
    extra_->setParent(this);
    placeExtra();
    extra_->show();
}

void SimDesktopView::placeExtra() {
    if (!extra_) return;
    const QSize hint = extra_->sizeHint().boundedTo(QSize(200, kMenuBarHeight));
    extra_->setGeometry(width() - hint.width() - 12, (kMenuBarHeight - hint.height()) / 2,
                        hint.width(), hint.height());
}

void SimDesktopView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    wallpaper_ = QPixmap();
    placeExtra();
}

std::string SimDesktopView::signature() const {
    std::string text;
    if (auto front = desktop_.workspace.frontmostApplication()) {
        text += std::to_string(front->processIdentifier);
    }
    text += '|';
    for (const WindowNumber number : desktop_.windowServer.order()) {
        const SimWindow* window = desktop_.windows.find(number);
        auto* record = desktop_.windowServer.record(number);
        if (!window || !record || !record->onScreen) continue;
        const Rect& f = window->spec.frame;
        text += std::to_string(number) + ':' + window->spec.title + ':' + std::to_string(f.minX()) +
                ',' + std::to_string(f.minY()) + ',' + std::to_string(f.width()) + ',' +
                std::to_string(f.height()) + ';';
    }
    text += '|' + std::to_string(desktop_.dockTiles().size()) + '|' +
            std::to_string(desktop_.workspace.runningApplications().size());
    if (showsPointer_) {
        const Point p = desktop_.pointer.mouseLocation();
        text += '|' + std::to_string(p.x) + ',' + std::to_string(p.y);
    }
    return text;
}

void SimDesktopView::refreshIfChanged() {
    std::string now = signature();
    if (now == lastSignature_) return;
    lastSignature_ = std::move(now);
    update();
}

void SimDesktopView::paintEvent(QPaintEvent*) {
    paintClock_.start();
    contentPending_ = false;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    paintWallpaper(p);
    paintWindows(p);
    paintDock(p);
    paintMenuBar(p);
    // In a picture the pointer goes over the panels, after them.
    if (showsPointer_ && !takingPicture_) paintPointer(p);
    paintClock_.invalidate();
    if (contentPending_) QTimer::singleShot(0, this, [this] { update(); });
}

void SimDesktopView::paintWallpaper(QPainter& p) {
    if (wallpaper_.size() != size()) {
        // Nothing but soft gradients: drawn at a quarter of the size and scaled up, which looks
        // the same and costs a sixteenth.
        QImage small(size() / 4 + QSize(1, 1), QImage::Format_RGB32);
        QPainter w(&small);
        w.setRenderHint(QPainter::Antialiasing, true);
        const QRectF area = small.rect();
        QLinearGradient sky(area.topLeft(), area.bottomRight());
        sky.setColorAt(0, QColor(36, 72, 160));
        sky.setColorAt(0.5, QColor(118, 84, 178));
        sky.setColorAt(1, QColor(232, 128, 112));
        w.fillRect(area, sky);
        const struct {
            qreal x, y, r;
            QColor c;
        } glows[] = {{0.12, 0.18, 0.5, QColor(110, 196, 255, 150)},
                     {0.88, 0.3, 0.42, QColor(255, 186, 120, 130)},
                     {0.45, 1.0, 0.55, QColor(72, 40, 150, 160)},
                     {0.7, 0.75, 0.3, QColor(255, 120, 170, 90)}};
        for (const auto& glow : glows) {
            const QPointF centre(area.width() * glow.x, area.height() * glow.y);
            QRadialGradient g(centre, std::max(area.width(), area.height()) * glow.r);
            g.setColorAt(0, glow.c);
            QColor clear = glow.c;
            clear.setAlpha(0);
            g.setColorAt(1, clear);
            w.fillRect(area, g);
        }
        w.end();
        wallpaper_ = QPixmap::fromImage(
            small.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    p.drawPixmap(0, 0, wallpaper_);
}

const QImage& SimDesktopView::contentFor(WindowNumber number, const SimWindowSpec& spec) {
    WindowContent& content = contents_[number];
    if (!content.image.isNull() && content.title == spec.title && content.size == spec.frame.size &&
        content.color == spec.color) {
        return content.image;
    }
    // A paint that has spent its share on contents draws the rest plainly and comes back for
    // them, so that a desktop full of new windows never holds the run loop up for long.
    if (!takingPicture_ && paintClock_.isValid() && paintClock_.elapsed() > kContentBudgetMs) {
        contentPending_ = true;
        static const QImage none;
        return none;
    }
    content.title = spec.title;
    content.size = spec.frame.size;
    content.color = spec.color;
    // What a capture of the window shows, finished once for every paint to come: the corners
    // rounded, the title in the desktop's font, the outline.
    const SimWindowPainter::Content what{spec.title, spec.frame.size, spec.color};
    const QImage captured = toQImage(SimWindowPainter::paint(
        what, std::llround(spec.frame.width()), std::llround(spec.frame.height()), false));
    if (captured.isNull()) {
        content.image = QImage();
        return content.image;
    }
    QImage image = captured.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF frame(QPointF(0, 0), QSizeF(captured.size()));
    paintTitle(p, frame, spec);
    // Only the corners outside the rounded shape are cleared; the rest is left as captured.
    QPainterPath corners;
    corners.addRect(frame);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillPath(corners.subtracted(GlassPainter::shape(frame, kWindowRadius)), Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(GlassPainter::shape(frame.adjusted(0.5, 0.5, -0.5, -0.5), kWindowRadius));
    p.end();
    content.image = std::move(image);
    return content.image;
}

void SimDesktopView::paintWindows(QPainter& p) {
    struct Shown {
        WindowNumber number;
        const SimWindow* window;
    };
    std::vector<Shown> shown;
    for (const WindowNumber number : desktop_.windowServer.order()) {
        const SimWindow* window = desktop_.windows.find(number);
        auto* record = desktop_.windowServer.record(number);
        if (!window || !record || !record->onScreen || record->desktopElement) continue;
        shown.push_back({number, window});
    }
    // Higher layers float above the normal ones; within a layer the window server's order.
    std::stable_sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
        return a.window->spec.layer > b.window->spec.layer;
    });

    std::optional<WindowNumber> key;
    if (auto front = desktop_.workspace.frontmostApplication()) {
        for (const Shown& s : shown) {
            if (s.window->pid == front->processIdentifier && s.window->spec.layer == 0) {
                key = s.number;
                break;
            }
        }
    }

    // Contents of windows no longer on screen are painted again when they return.
    std::set<WindowNumber> onScreen;
    for (const Shown& s : shown)
        onScreen.insert(s.number);
    std::erase_if(contents_, [&](const auto& entry) { return !onScreen.count(entry.first); });

    // Back to front.
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        const SimWindowSpec& spec = it->window->spec;
        const QRectF frame = toQRect(spec.frame);
        if (frame.width() < 1 || frame.height() < 1) continue;
        const bool isKey = key == it->number;

        // A soft shadow, deeper under the key window.
        static const WindowShadow keyShadow(10, 2.2, 9);
        static const WindowShadow shadow(6, 1.6, 7);
        (isKey ? keyShadow : shadow).paint(p, frame, 6);

        const QImage& content = contentFor(it->number, spec);
        if (!content.isNull()) {
            p.drawImage(frame.topLeft(), content);
        } else {
            paintPlainWindow(p, frame, spec);
        }
    }
}

void SimDesktopView::paintMenuBar(QPainter& p) {
    const QRectF bar(0, 0, width(), kMenuBarHeight);
    p.fillRect(bar, QColor(255, 255, 255, 150));
    p.fillRect(QRectF(0, kMenuBarHeight - 1, width(), 1), QColor(0, 0, 0, 30));

    QFont font = QApplication::font();
    font.setPixelSize(13);
    p.setPen(QColor(29, 29, 31));
    qreal x = 16;
    // A small badge where the platform shows its logo.
    p.setBrush(QColor(29, 29, 31));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(x + 6, kMenuBarHeight / 2.0), 5.5, 5.5);
    x += 26;
    p.setPen(QColor(29, 29, 31));

    QString app = QStringLiteral("Finder");
    if (auto front = desktop_.workspace.frontmostApplication()) {
        if (front->localizedName) app = QString::fromStdString(*front->localizedName);
    }
    font.setBold(true);
    p.setFont(font);
    const QFontMetricsF bold(font);
    p.drawText(QRectF(x, 0, 400, kMenuBarHeight), Qt::AlignVCenter | Qt::AlignLeft, app);
    x += bold.horizontalAdvance(app) + 20;
    font.setBold(false);
    p.setFont(font);
    const QFontMetricsF regular(font);
    for (const char* item : {"File", "Edit", "View", "Window", "Help"}) {
        const QString text = QString::fromLatin1(item);
        p.drawText(QRectF(x, 0, 200, kMenuBarHeight), Qt::AlignVCenter | Qt::AlignLeft, text);
        x += regular.horizontalAdvance(text) + 20;
    }
    const QString note = QStringLiteral("Simulated desktop");
    const qreal right = extra_ ? extra_->geometry().left() - 14 : width() - 16;
    p.setPen(QColor(29, 29, 31, 150));
    p.drawText(QRectF(right - 300, 0, 300, kMenuBarHeight), Qt::AlignVCenter | Qt::AlignRight,
               note);
}

void SimDesktopView::paintDock(QPainter& p) {
    const auto& tiles = desktop_.dockTiles();
    if (tiles.empty() || !desktop_.dockPid()) return;
    QRectF bounds;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        bounds = bounds.united(toQRect(desktop_.dockTileFrame(i)));
    }
    const QRectF dock = bounds.adjusted(-7, -7, 7, 7);
    GlassStyle style;
    style.cornerRadius = 20;
    style.shadow = true;
    QPalette glass = palette();
    glass.setColor(QPalette::Window, QColor(255, 255, 255));
    GlassPainter::paint(p, dock, style, glass);

    std::string orientation = "bottom";
    if (auto value = desktop_.dockDefaults().object("orientation")) {
        if (const auto* text = value->as<std::string>()) orientation = *text;
    }
    const bool vertical = orientation == "left" || orientation == "right";

    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const SimDockTileSpec& tile = tiles[i];
        const QRectF box = toQRect(desktop_.dockTileFrame(i));
        switch (tile.kind) {
            case SimDockTileSpec::Kind::separator: {
                p.setPen(QPen(QColor(255, 255, 255, 110), 1));
                const QPointF c = box.center();
                if (vertical) {
                    p.drawLine(QPointF(box.left() + 6, c.y()), QPointF(box.right() - 6, c.y()));
                } else {
                    p.drawLine(QPointF(c.x(), box.top() + 6), QPointF(c.x(), box.bottom() - 6));
                }
                break;
            }
            case SimDockTileSpec::Kind::folder: {
                const bool stack = i < world_.tiles.size() && !world_.tiles[i].axPath &&
                                   !world_.tiles[i].persistentPath;
                if (stack) {
                    paintStackIcon(p, box);
                } else {
                    paintFolderIcon(p, box);
                }
                break;
            }
            case SimDockTileSpec::Kind::application: {
                bool running = false;
                for (const auto& app : world_.apps) {
                    if (app.spec.name != tile.title) continue;
                    p.drawImage(box, toQImage(app.spec.icon));
                    if (app.spec.bundleIdentifier) {
                        running =
                            !desktop_.workspace.runningApplications(*app.spec.bundleIdentifier)
                                 .empty();
                    }
                    break;
                }
                if (running) {
                    // The running indicator, between the icon and the screen edge.
                    QPointF dot(box.center().x(), box.bottom() + 3.5);
                    if (orientation == "left") dot = QPointF(box.left() - 3.5, box.center().y());
                    if (orientation == "right") dot = QPointF(box.right() + 3.5, box.center().y());
                    p.setPen(Qt::NoPen);
                    p.setBrush(QColor(40, 40, 44, 200));
                    p.drawEllipse(dot, 2, 2);
                }
                break;
            }
        }
    }
}

void SimDesktopView::paintPointer(QPainter& p) {
    paintArrow(p, fromSimulated(desktop_.pointer.mouseLocation()));
}

void SimDesktopView::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (!followsMouse_) return;
    lastCursor_ = event->globalPosition().toPoint();
    desktop_.pointer.moveTo(toSimulated(event->position()));
}

void SimDesktopView::followCursor() {
    // Over the view the move events already did this; elsewhere (over a panel, or off the
    // window) only the cursor tells where the pointer is.
    const QPoint global = QCursor::pos();
    if (global == lastCursor_) return;
    lastCursor_ = global;
    bool overOwn = false;
    if (ownWindows_) {
        for (QWidget* own : ownWindows_()) {
            if (own && own->isVisible() && own->frameGeometry().contains(global)) overOwn = true;
        }
    }
    desktop_.pointer.moveTo(toSimulated(mapFromGlobal(QPointF(global))), overOwn);
}

QImage SimDesktopView::beneath(const QRect& global) {
    const QRect wanted(mapFromGlobal(global.topLeft()), global.size());
    const QRect shown = wanted.intersected(rect());
    const qreal ratio = devicePixelRatioF();
    QImage image(global.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    if (shown.isEmpty()) return image;
    QPainter p(&image);
    takingPicture_ = true;
    render(&p, shown.topLeft() - wanted.topLeft(), QRegion(shown));
    takingPicture_ = false;
    return image;
}

QImage SimDesktopView::picture(const std::vector<QWidget*>& panels) {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    takingPicture_ = true;
    render(&p);
    takingPicture_ = false;
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    for (QWidget* panel : panels) {
        if (!panel || !panel->isVisible()) continue;
        p.drawPixmap(panel->pos() - origin, panel->grab());
    }
    if (showsPointer_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        paintPointer(p);
    }
    p.end();
    return image;
}

}  // namespace vantorel

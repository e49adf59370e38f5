// The core's headers before Qt's, as everywhere the two meet.
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWindowPainter.h"
#include "platform/sim/SimWorld.h"

#include "app/playground/SimDesktopPainter.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"

namespace vantorel {
namespace {

constexpr int kMenuBarHeight = 25;
constexpr int kWindowRadius = 10;
// How long one paint may spend composing windows, once it has composed one.
constexpr qint64 kComposeBudgetMs = 12;
// How far a window's shadow reaches beyond its frame.
constexpr qreal kShadowReach = 30;

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

// A window as a capture shows it (drawn for the occasion and let go), with the title in the
// desktop's own font and an outline, its corners rounded.
void paintWindow(QPainter& p, const QRectF& frame, const SimWindowSpec& spec) {
    const SimWindowPainter::Content what{spec.title, spec.frame.size, spec.color};
    const QImage captured = toQImage(SimWindowPainter::paint(
        what, std::llround(spec.frame.width()), std::llround(spec.frame.height()), false));
    if (captured.isNull()) {
        paintPlainWindow(p, frame, spec);
        return;
    }
    // Filled through a brush rather than copied and cut: no second copy of the pixels.
    QBrush content(captured);
    content.setTransform(QTransform::fromTranslate(frame.left(), frame.top()));
    p.fillPath(GlassPainter::shape(frame, kWindowRadius), content);
    paintTitle(p, frame, spec);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(GlassPainter::shape(frame.adjusted(0.5, 0.5, -0.5, -0.5), kWindowRadius));
}

}  // namespace

struct SimDesktopPainter::Shown {
    const SimWindow* window;
    QRectF frame;
    bool isKey;
};

SimDesktopPainter::SimDesktopPainter(SimDesktop& desktop, const SimWorld& world)
    : desktop_(desktop), world_(world) {}

std::string SimDesktopPainter::signature(bool withPointer) const {
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
    if (withPointer) {
        const Point p = desktop_.pointer.mouseLocation();
        text += '|' + std::to_string(p.x) + ',' + std::to_string(p.y);
    }
    return text;
}

std::vector<SimDesktopPainter::Shown> SimDesktopPainter::shownWindows() const {
    std::vector<Shown> shown;
    for (const WindowNumber number : desktop_.windowServer.order()) {
        const SimWindow* window = desktop_.windows.find(number);
        auto* record = desktop_.windowServer.record(number);
        if (!window || !record || !record->onScreen || record->desktopElement) continue;
        const QRectF frame = toQRect(window->spec.frame);
        if (!(frame.width() >= 1 && frame.height() >= 1)) continue;
        shown.push_back({window, frame, false});
    }
    // Higher layers float above the normal ones; within a layer the window server's order.
    std::stable_sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
        return a.window->spec.layer > b.window->spec.layer;
    });
    if (auto front = desktop_.workspace.frontmostApplication()) {
        for (Shown& s : shown) {
            if (s.window->pid == front->processIdentifier && s.window->spec.layer == 0) {
                s.isKey = true;
                break;
            }
        }
    }
    // A window whose frame and shadow lie inside the square middle of one in front of it cannot
    // be seen.
    std::vector<Shown> seen;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QRectF reach =
            shown[i].frame.adjusted(-kShadowReach, -kShadowReach, kShadowReach, kShadowReach);
        const bool covered = std::any_of(
            shown.begin(), shown.begin() + static_cast<long>(i), [&](const Shown& front) {
                const qreal r = kWindowRadius;
                return front.frame.adjusted(r, r, -r, -r).contains(reach);
            });
        if (!covered) seen.push_back(shown[i]);
    }
    // Back to front.
    std::reverse(seen.begin(), seen.end());
    return seen;
}

void SimDesktopPainter::compose(QSize size, const std::vector<Shown>& shown, bool budgeted) {
    std::string signature = std::to_string(size.width()) + 'x' + std::to_string(size.height());
    for (const Shown& s : shown) {
        const SimWindowSpec& spec = s.window->spec;
        signature += '|' + spec.title + ':' + std::to_string(spec.color) + ':' +
                     std::to_string(s.frame.x()) + ',' + std::to_string(s.frame.y()) + ',' +
                     std::to_string(s.frame.width()) + ',' + std::to_string(s.frame.height()) +
                     (s.isKey ? "*" : "");
    }
    if (layer_.size() != size || signature != layerSignature_) {
        if (layer_.size() != size) layer_ = QImage(size, QImage::Format_RGB32);
        layerSignature_ = std::move(signature);
        composed_ = 0;
        QPainter p(&layer_);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        paintWallpaper(p, size);
    }
    if (composed_ >= shown.size()) return;

    QElapsedTimer clock;
    clock.start();
    QPainter p(&layer_);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const std::size_t first = composed_;
    // Always a window at least, so that a slow machine still gets there.
    while (composed_ < shown.size() &&
           (!budgeted || composed_ == first || clock.elapsed() <= kComposeBudgetMs)) {
        const Shown& s = shown[composed_++];
        // A soft shadow, deeper under the key window.
        static const WindowShadow keyShadow(10, 2.2, 9);
        static const WindowShadow shadow(6, 1.6, 7);
        (s.isKey ? keyShadow : shadow).paint(p, s.frame, 6);
        paintWindow(p, s.frame, s.window->spec);
    }
}

bool SimDesktopPainter::paint(QPainter& p, QSize size, bool budgeted, qreal menuBarEnd,
                              const QPalette& glass) {
    const std::vector<Shown> shown = shownWindows();
    compose(size, shown, budgeted);
    p.drawImage(0, 0, layer_);
    // The windows still waiting, plainly, in their place.
    for (std::size_t i = composed_; i < shown.size(); ++i) {
        paintPlainWindow(p, shown[i].frame, shown[i].window->spec);
    }
    paintDock(p, glass);
    paintMenuBar(p, size.width(), menuBarEnd);
    return composed_ < shown.size();
}

void SimDesktopPainter::release() {
    layer_ = QImage();
    layerSignature_.clear();
    composed_ = 0;
}

void SimDesktopPainter::paintPointer(QPainter& p, QPointF tip) const {
    paintArrow(p, tip);
}

void SimDesktopPainter::paintWallpaper(QPainter& p, QSize size) {
    const QSize small = size / 4 + QSize(1, 1);
    if (wallpaper_.size() != small) {
        // Nothing but soft gradients: drawn at a quarter of the size and scaled up as it is
        // drawn, which looks the same and costs a sixteenth.
        wallpaper_ = QImage(small, QImage::Format_RGB32);
        QPainter w(&wallpaper_);
        w.setRenderHint(QPainter::Antialiasing, true);
        const QRectF area = wallpaper_.rect();
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
    }
    p.drawImage(QRect(QPoint(0, 0), size), wallpaper_);
}

void SimDesktopPainter::paintMenuBar(QPainter& p, qreal width, qreal end) const {
    const QRectF bar(0, 0, width, kMenuBarHeight);
    p.fillRect(bar, QColor(255, 255, 255, 150));
    p.fillRect(QRectF(0, kMenuBarHeight - 1, width, 1), QColor(0, 0, 0, 30));

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
    const qreal right = end;
    p.setPen(QColor(29, 29, 31, 150));
    p.drawText(QRectF(right - 300, 0, 300, kMenuBarHeight), Qt::AlignVCenter | Qt::AlignRight,
               note);
}

void SimDesktopPainter::paintDock(QPainter& p, const QPalette& palette) const {
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
    QPalette glass = palette;
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

}  // namespace vantorel

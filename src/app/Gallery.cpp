#include "app/Gallery.h"

#include "preview/PreviewState.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScrollArea>
#include <QScrollBar>

#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "app/SettingsGallery.h"
#include "app/playground/AppIcon.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/GlassBackdrop.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "platform/qt/MimeKinds.h"
#include "platform/qt/ReferencePalette.h"
#include "platform/qt/SymbolTable.h"
#include "platform/qt/ThemeFileIcons.h"
#include "preview/CardCollectionView.h"
#include "preview/LargeLayoutView.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewPanelView.h"
#include "preview/WindowCardView.h"
#include "preview/WindowItemView.h"
#include "switcher/SwitcherState.h"
#include "switcher/SwitcherView.h"
#include "widgets/CalendarPopoverView.h"
#include "widgets/FolderItemTile.h"
#include "widgets/FolderPopoverView.h"
#include "widgets/MediaPopoverView.h"
#include "widgets/RemindersPopoverView.h"

namespace vantorel {
namespace {

// Pictures are drawn at twice the point size, as on a high-density display.
constexpr qreal kPixelRatio = 2;
// Wallpaper around the panel.
constexpr int kBackdropMargin = 36;

// The look of one simulated window's content.
struct WindowLook {
    QString title;
    QColor accent;
    bool sidebar;
    bool dark;
};

// What a capture of a window would show: its title bar, a sidebar, lines of text and a picture.
ImageRef paintWindow(const WindowLook& look, QSize size = QSize(560, 360)) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(look.dark ? QColor(30, 30, 34) : QColor(252, 252, 253));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int w = size.width();
    const int h = size.height();
    const int bar = 34;

    p.fillRect(0, 0, w, bar, look.dark ? QColor(46, 46, 52) : QColor(236, 236, 240));
    p.fillRect(0, bar - 1, w, 1, look.dark ? QColor(20, 20, 22) : QColor(210, 210, 215));
    const QColor lights[] = {QColor(255, 95, 87), QColor(254, 188, 46), QColor(40, 200, 64)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(lights[i]);
        p.drawEllipse(QPointF(18 + i * 20, bar / 2.0), 6, 6);
    }
    p.setPen(Qt::NoPen);
    QFont font = QGuiApplication::font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(look.dark ? QColor(220, 220, 225) : QColor(60, 60, 66));
    p.drawText(QRect(0, 0, w, bar), Qt::AlignCenter, look.title);
    p.setPen(Qt::NoPen);

    int left = 20;
    if (look.sidebar) {
        p.fillRect(0, bar, 130, h - bar, look.dark ? QColor(38, 38, 44) : QColor(243, 243, 246));
        for (int i = 0; i < 7; ++i) {
            QColor item =
                i == 1 ? look.accent : (look.dark ? QColor(90, 90, 98) : QColor(196, 196, 204));
            p.setBrush(item);
            p.drawRoundedRect(QRectF(14, bar + 18 + i * 26, i == 1 ? 96 : 70 + (i * 13) % 30, 10),
                              5, 5);
        }
        left = 150;
    }
    p.setBrush(look.accent);
    p.drawRoundedRect(QRectF(left, bar + 20, w - left - 24, 96), 10, 10);
    QLinearGradient shine(QPointF(left, bar + 20), QPointF(w - 24, bar + 116));
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawRoundedRect(QRectF(left, bar + 20, w - left - 24, 96), 10, 10);
    const QColor text = look.dark ? QColor(120, 120, 130) : QColor(186, 186, 194);
    p.setBrush(text);
    for (int i = 0; i < 6; ++i) {
        const int y = bar + 136 + i * 24;
        if (y + 10 > h - 10) break;
        const int length = (w - left - 24) * (60 + (i * 37) % 40) / 100;
        p.drawRoundedRect(QRectF(left, y, length, 10), 5, 5);
    }
    return fromQImage(image);
}

const std::vector<WindowLook>& looks() {
    static const std::vector<WindowLook> all = {
        {"Welcome to the Pine Valley Trail", QColor(52, 120, 246), true, false},
        {"Quarterly Report — Draft", QColor(255, 149, 0), false, false},
        {"Inbox (12 unread)", QColor(88, 86, 214), true, false},
        {"Release notes 0.1", QColor(52, 199, 89), false, true},
        {"Photos from the weekend", QColor(255, 55, 95), true, false},
        {"", QColor(90, 200, 250), false, false},
        {"Terminal — build", QColor(142, 142, 147), false, true},
        {"Recipes: autumn soups", QColor(175, 82, 222), true, false},
        {"Budget 2025.numbers", QColor(48, 176, 199), false, false},
    };
    return all;
}

// One picture: how to fill the state and what to do to the view before drawing it.
struct Scene {
    QString file;
    PreviewLayout layout = PreviewLayout::automatic;
    PreviewSize size = PreviewSize::medium;
    int windows = 3;
    bool thumbnails = true;
    std::vector<int> minimized;
    int activeCard = -1;
    int hoverCard = -1;
    bool reduceTransparency = false;
    bool icon = true;
    int compactThreshold = 6;
};

std::vector<Scene> scenes() {
    std::vector<Scene> all;
    const std::pair<PreviewLayout, int> layouts[] = {{PreviewLayout::automatic, 3},
                                                     {PreviewLayout::grid, 7},
                                                     {PreviewLayout::list, 5},
                                                     {PreviewLayout::large, 4}};
    for (const auto& [layout, windows] : layouts) {
        for (PreviewSize size : kAllPreviewSizes) {
            Scene scene;
            scene.file = QString::fromLatin1(toString(layout)) + "-" +
                         QString::fromLatin1(toString(size)) + ".png";
            scene.layout = layout;
            scene.size = size;
            scene.windows = windows;
            all.push_back(scene);
        }
    }
    const auto add = [&](QString file, const std::function<void(Scene&)>& adjust) {
        Scene scene;
        scene.file = std::move(file);
        adjust(scene);
        all.push_back(scene);
    };
    add("auto-medium-progress.png", [](Scene& s) { s.thumbnails = false; });
    add("auto-medium-minimized.png", [](Scene& s) { s.minimized = {1}; });
    add("auto-medium-minimized-no-icon.png", [](Scene& s) {
        s.minimized = {0};
        s.icon = false;
        s.windows = 2;
    });
    add("list-medium-minimized.png", [](Scene& s) {
        s.layout = PreviewLayout::list;
        s.windows = 4;
        s.minimized = {2};
    });
    add("auto-medium-hover.png", [](Scene& s) { s.hoverCard = 1; });
    add("list-medium-hover.png", [](Scene& s) {
        s.layout = PreviewLayout::list;
        s.windows = 4;
        s.hoverCard = 1;
    });
    add("auto-medium-hover-minimized.png", [](Scene& s) {
        s.minimized = {0};
        s.hoverCard = 0;
        s.windows = 2;
    });
    add("grid-medium-active.png", [](Scene& s) {
        s.layout = PreviewLayout::grid;
        s.windows = 4;
        s.activeCard = 2;
    });
    add("auto-medium-reduce-transparency.png", [](Scene& s) {
        s.reduceTransparency = true;
        s.hoverCard = 0;
        s.activeCard = 2;
    });
    add("list-medium-reduce-transparency.png", [](Scene& s) {
        s.layout = PreviewLayout::list;
        s.windows = 4;
        s.reduceTransparency = true;
        s.activeCard = 1;
    });
    add("large-medium-reduce-transparency.png", [](Scene& s) {
        s.layout = PreviewLayout::large;
        s.windows = 3;
        s.reduceTransparency = true;
    });
    add("large-medium-one.png", [](Scene& s) {
        s.layout = PreviewLayout::large;
        s.windows = 1;
    });
    add("large-medium-several.png", [](Scene& s) {
        s.layout = PreviewLayout::large;
        s.windows = 9;
        s.hoverCard = 0;
    });
    add("auto-small-compact.png", [](Scene& s) {
        s.size = PreviewSize::small;
        s.windows = 9;
    });
    add("auto-large-scrolling.png", [](Scene& s) {
        s.size = PreviewSize::large;
        s.windows = 7;
        s.compactThreshold = 10;
    });
    return all;
}

// A desktop wallpaper: colour for the glass to show.
void paintBackdrop(QPainter& p, const QRectF& area) {
    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0, QColor(64, 104, 196));
    sky.setColorAt(0.55, QColor(142, 98, 190));
    sky.setColorAt(1, QColor(236, 138, 120));
    p.fillRect(area, sky);
    const struct {
        qreal x, y, r;
        QColor c;
    } blobs[] = {{0.15, 0.2, 0.45, QColor(120, 200, 255, 150)},
                 {0.85, 0.35, 0.4, QColor(255, 190, 120, 140)},
                 {0.5, 0.95, 0.5, QColor(90, 60, 170, 150)}};
    for (const auto& blob : blobs) {
        const QPointF centre(area.left() + area.width() * blob.x,
                             area.top() + area.height() * blob.y);
        const qreal radius = std::max(area.width(), area.height()) * blob.r;
        QRadialGradient glow(centre, radius);
        glow.setColorAt(0, blob.c);
        QColor clear = blob.c;
        clear.setAlpha(0);
        glow.setColorAt(1, clear);
        p.fillRect(area, glow);
    }
}

void hover(QWidget* widget) {
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QEnterEvent event(inside, widget->mapToGlobal(inside), widget->mapToGlobal(inside));
    QApplication::sendEvent(widget, &event);
}

bool render(const Scene& scene, const QString& path, const SymbolTable& symbols) {
    Appearance appearance(nullptr);
    appearance.setReduceMotionOverride(false);
    appearance.setReduceTransparencyOverride(scene.reduceTransparency);

    static const ImageRef icon = fromQImage(AppIcon::paint(
        QColor(15, 163, 224), QStringLiteral("explore"), QStringLiteral("Safari"), symbols));
    PreviewState state;
    state.setLayout(scene.layout);
    state.setPreviewSize(scene.size);
    state.setCompactThreshold(scene.compactThreshold);
    std::vector<WindowInfo> windows;
    for (int i = 0; i < scene.windows; ++i) {
        WindowInfo window;
        window.id = static_cast<std::uint32_t>(1000 + i);
        window.cgWindowID = window.id;
        window.title = looks()[static_cast<std::size_t>(i) % looks().size()].title.toStdString();
        window.isMinimized =
            std::find(scene.minimized.begin(), scene.minimized.end(), i) != scene.minimized.end();
        windows.push_back(window);
    }
    state.update("Safari", scene.icon ? icon : nullptr, windows);
    for (int i = 0; i < scene.windows; ++i) {
        const WindowInfo& window = windows[static_cast<std::size_t>(i)];
        if (scene.thumbnails && !window.isMinimized) {
            state.setThumbnail(paintWindow(looks()[static_cast<std::size_t>(i) % looks().size()]),
                               window.id);
        }
        if (i == scene.activeCard) state.setActive(window.id, true);
    }

    PreviewPanelView view(state, appearance, symbols);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();

    if (scene.hoverCard >= 0) {
        QWidget* target = scene.layout == PreviewLayout::large
                              ? static_cast<QWidget*>(view.largeLayout()->hero())
                              : view.collection()->viewAt(scene.hoverCard);
        if (target) hover(target);
    }
    view.finishAnimations();
    QApplication::processEvents();

    const QSize size = view.size() + QSize(2 * kBackdropMargin, 2 * kBackdropMargin);
    QImage picture(size * kPixelRatio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(kPixelRatio);
    QPainter painter(&picture);
    paintBackdrop(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    if (!scene.reduceTransparency) {
        // The glass over the wallpaper it hides, blurred, as the desktop's panels have it.
        const QRect panel(QPoint(kBackdropMargin, kBackdropMargin), view.size());
        const QImage beneath =
            picture.copy(QRect(panel.topLeft() * kPixelRatio, panel.size() * kPixelRatio));
        const Rect surface = view.metrics().surface();
        const QRectF shape(surface.minX(), surface.minY(), surface.width(), surface.height());
        GlassBackdrop::paint(
            painter,
            GlassPainter::shape(shape.translated(panel.topLeft()), PreviewMetrics::kSurfaceRadius),
            GlassBackdrop::blur(beneath), panel.topLeft());
        view.setBlurredBehind(true);
    }
    view.render(&painter, QPoint(kBackdropMargin, kBackdropMargin), QRegion(),
                QWidget::DrawChildren);
    painter.end();
    return picture.save(path, "PNG");
}

// The view over the wallpaper, at twice the point size.
bool save(QWidget& view, const QString& path) {
    QApplication::processEvents();
    const QSize size = view.size() + QSize(2 * kBackdropMargin, 2 * kBackdropMargin);
    QImage picture(size * kPixelRatio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(kPixelRatio);
    QPainter painter(&picture);
    paintBackdrop(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    view.render(&painter, QPoint(kBackdropMargin, kBackdropMargin), QRegion(),
                QWidget::DrawChildren);
    painter.end();
    return picture.save(path, "PNG");
}

// One picture of the switcher.
struct SwitcherScene {
    QString file;
    int windows = 7;
    bool thumbnails = true;
    bool reduceTransparency = false;
    bool reduceMotion = false;
};

std::vector<SwitcherScene> switcherScenes() {
    std::vector<SwitcherScene> all;
    for (const int windows : {2, 7, 40}) {
        for (const bool thumbnails : {true, false}) {
            all.push_back({QStringLiteral("switcher-%1%2.png")
                               .arg(windows)
                               .arg(thumbnails ? QString() : QStringLiteral("-no-thumbnails")),
                           windows, thumbnails});
        }
    }
    all.push_back({QStringLiteral("switcher-7-reduce-transparency.png"), 7, true, true, false});
    all.push_back({QStringLiteral("switcher-7-reduce-motion.png"), 7, true, false, true});
    return all;
}

// The switcher over a wallpaper, the second card highlighted (the middle one of many), the
// fourth window minimised and every fifth application without an icon.
bool renderSwitcher(const SwitcherScene& scene, const QString& path, const SymbolTable& symbols) {
    Appearance appearance(nullptr);
    appearance.setReduceMotionOverride(scene.reduceMotion);
    appearance.setReduceTransparencyOverride(scene.reduceTransparency);

    struct App {
        QString name;
        QColor colour;
        QString symbol;
    };
    static const std::vector<App> apps = {
        {"Safari", QColor(15, 163, 224), "explore"},   {"Mail", QColor(52, 120, 246), "mail"},
        {"Notes", QColor(255, 204, 0), "description"}, {"Terminal", QColor(60, 60, 66), "terminal"},
        {"Music", QColor(255, 55, 95), "music_note"},  {"Preview", QColor(48, 176, 199), "image"}};
    SwitcherState state;
    state.setMaxWidth(1440 - 160);
    std::vector<SwitcherState::Item> items;
    for (int i = 0; i < scene.windows; ++i) {
        const App& app = apps[static_cast<std::size_t>(i) % apps.size()];
        const WindowLook& look = looks()[static_cast<std::size_t>(i) % looks().size()];
        SwitcherState::Item item;
        item.id = static_cast<std::uint32_t>(2000 + i);
        item.window.id = item.id;
        item.window.cgWindowID = item.id;
        item.window.title = look.title.toStdString();
        item.window.isMinimized = i == 3;
        item.appName = app.name.toStdString();
        if (i % 5 != 4) {
            item.appIcon = fromQImage(AppIcon::paint(app.colour, app.symbol, app.name, symbols));
        }
        if (scene.thumbnails && !item.window.isMinimized) item.thumbnail = paintWindow(look);
        items.push_back(std::move(item));
    }
    state.setItems(std::move(items), scene.windows > 7 ? scene.windows / 2 : 1);

    SwitcherView view(state, appearance, symbols, QSizeF(196, 122));
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();
    view.finishAnimations();
    QApplication::processEvents();

    return save(view, path);
}

// One picture of the folder popover.
struct FolderScene {
    QString file;
    std::vector<std::string> names;
    bool folderIcon = true;
    int hoverTile = -1;
    bool reduceTransparency = false;
};

std::vector<FolderScene> folderScenes() {
    const std::vector<std::string> downloads = {"Conference Talk – Slides.odp",
                                                "Fonts/",
                                                "holiday-photos.zip",
                                                "IMG_0042.jpg",
                                                "install.sh",
                                                "Invoice 2026-11.pdf",
                                                "menu caf\xE9.txt",
                                                "notes 2.txt",
                                                "notes 10.txt",
                                                "Quarterly Report.numbers",
                                                "track 9 - Morning Light.mp3"};
    std::vector<std::string> scans;
    for (int i = 1; i <= 17; ++i)
        scans.push_back("Scan " + std::to_string(i) + ".pdf");
    const std::vector<FolderScene> base = {
        {"folder-two.png", {"Taxes 2025/", "Budget.xlsx"}, true, -1, false},
        {"folder-downloads-hover.png", downloads, true, 5, false},
        {"folder-seventeen.png", scans, true, -1, false},
        {"folder-empty.png", {}, true, -1, false},
        {"folder-long-names-no-icon.png",
         {"A very long document name that cannot fit on two lines at all.pdf",
          "Minutes of the annual general meeting 2026.docx", "short.txt"},
         false,
         -1,
         false},
    };
    std::vector<FolderScene> all = base;
    for (FolderScene scene : base) {
        scene.file.replace(QStringLiteral(".png"), QStringLiteral("-reduce-transparency.png"));
        scene.reduceTransparency = true;
        all.push_back(scene);
    }
    return all;
}

bool renderFolder(const FolderScene& scene, const QString& path, ThemeFileIcons& icons) {
    Appearance appearance(nullptr);
    appearance.setReduceMotionOverride(false);
    appearance.setReduceTransparencyOverride(scene.reduceTransparency);

    FolderState state;
    state.setFolderName(scene.names.size() == 17 ? "Scans" : "Downloads");
    if (scene.folderIcon) state.setFolderIcon(icons.icon("Downloads", FileType::directory));
    std::vector<FolderState::EntryRef> entries;
    for (const std::string& spelled : scene.names) {
        auto entry = std::make_shared<FolderState::Entry>();
        const bool directory = spelled.ends_with('/');
        entry->name = directory ? spelled.substr(0, spelled.size() - 1) : spelled;
        entry->isDirectory = directory;
        entry->icon = icons.icon(entry->name, directory ? FileType::directory : FileType::regular);
        entry->url = *Url::fromPath("/home/ana/Downloads/" + entry->name);
        entries.push_back(std::move(entry));
    }
    state.setEntries(std::move(entries));

    FolderPopoverView view(state, appearance);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();
    if (FolderItemTile* tile = view.tileAt(scene.hoverTile)) hover(tile);
    return save(view, path);
}

// One picture of the media widget.
struct MediaScene {
    QString file;
    std::optional<MediaState::NowPlaying> nowPlaying;
    bool icon = true;
    bool reduceTransparency = false;
};

std::vector<MediaScene> mediaScenes() {
    using NowPlaying = MediaState::NowPlaying;
    const std::vector<MediaScene> base = {
        {"media-playing.png", NowPlaying{MediaPlayer::music, "Blue in Green", "Miles Davis", true}},
        {"media-paused.png", NowPlaying{MediaPlayer::music, "Blue in Green", "Miles Davis", false}},
        {"media-no-title-or-artist.png", NowPlaying{MediaPlayer::music, "", "", false}},
        {"media-long-title-no-icon.png",
         NowPlaying{MediaPlayer::music,
                    "Weekly Mix — Track 7 of a Playlist with a Rather Long Name",
                    "Various Artists and an Orchestra of Many Names", true},
         false},
        {"media-nothing-after-press.png", std::nullopt},
    };
    std::vector<MediaScene> all = base;
    for (MediaScene scene : base) {
        scene.file.replace(QStringLiteral(".png"), QStringLiteral("-reduce-transparency.png"));
        scene.reduceTransparency = true;
        all.push_back(scene);
    }
    return all;
}

bool renderMedia(const MediaScene& scene, const QString& path, const SymbolTable& symbols) {
    Appearance appearance(nullptr);
    appearance.setReduceMotionOverride(false);
    appearance.setReduceTransparencyOverride(scene.reduceTransparency);

    MediaState state;
    state.setAppName("Music");
    if (scene.icon) {
        state.setAppIcon(
            fromQImage(AppIcon::paint(QColor(0xfa, 0x2d, 0x48), QStringLiteral("music_note"),
                                      QStringLiteral("Music"), symbols)));
    }
    // The widget as a press leaves it when the player stopped meanwhile: shown with a track,
    // then told there is none.
    state.setNowPlaying(
        scene.nowPlaying
            ? scene.nowPlaying
            : MediaState::NowPlaying{MediaPlayer::music, "Blue in Green", "Miles Davis", true});
    MediaPopoverView view(state, appearance);
    if (!scene.nowPlaying) state.setNowPlaying(std::nullopt);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();
    return save(view, path);
}

// One picture of the calendar or reminders widget: how many rows, hovered, scrolled to the end.
struct WidgetScene {
    QString file;
    bool calendar = true;
    int rows = 0;
    bool scrolled = false;
    bool reduceTransparency = false;
};

std::vector<WidgetScene> widgetScenes() {
    std::vector<WidgetScene> base;
    for (bool calendar : {true, false}) {
        const QString name = calendar ? QStringLiteral("calendar") : QStringLiteral("reminders");
        base.push_back({name + "-empty.png", calendar, 0, false, false});
        base.push_back({name + "-one.png", calendar, 1, false, false});
        base.push_back({name + "-many.png", calendar, 5, false, false});
        base.push_back({name + "-nine-scrolled.png", calendar, 9, true, false});
    }
    std::vector<WidgetScene> all = base;
    for (WidgetScene scene : base) {
        scene.file.replace(QStringLiteral(".png"), QStringLiteral("-reduce-transparency.png"));
        scene.reduceTransparency = true;
        all.push_back(scene);
    }
    return all;
}

std::vector<CalendarState::EventRef> galleryEvents(int count) {
    const std::vector<CalendarState::Event> pool = {
        {"1", "Release night watch", "11:00 PM – 1:00 AM", std::nullopt, false,
         WidgetColor::fromComponents({0.0, 0.478, 1.0, 1.0}).value()},
        {"2", "Mum's birthday", "All day", std::nullopt, true,
         WidgetColor::fromComponents({1.0, 0.584, 0.0, 1.0}).value()},
        {"3", "Stand-up", "9:30 AM – 9:45 AM", "Room 4", false,
         WidgetColor::fromComponents({0.0, 0.478, 1.0, 1.0}).value()},
        {"4", "(No title)", "1:00 PM – 1:30 PM", std::nullopt, false, WidgetColor::systemBlue()},
        {"5", "A long planning session with the whole design and engineering team",
         "2:00 PM – 5:00 PM", "The big meeting room on the third floor", false,
         WidgetColor::fromComponents({0.686, 0.322, 0.871, 1.0}).value()},
        {"6", "Call with Ana", "4:00 PM", std::nullopt, false,
         WidgetColor::fromComponents({0.204, 0.78, 0.349, 1.0}).value()},
        {"7", "Climbing", "7:00 PM – 9:00 PM", "Boulder Hall", false,
         WidgetColor::fromComponents({1.0, 0.584, 0.0, 1.0}).value()},
        {"8", "Full moon", "8:12 PM – 8:12 PM", std::nullopt, false, WidgetColor::systemBlue()},
        {"9", "Read before bed", "10:30 PM – 11:00 PM", std::nullopt, false,
         WidgetColor::fromComponents({0.5, 1.0}).value()},
    };
    std::vector<CalendarState::EventRef> events;
    for (int i = 0; i < count; ++i)
        events.push_back(std::make_shared<CalendarState::Event>(
            pool[static_cast<std::size_t>(i) % pool.size()]));
    return events;
}

std::vector<ReminderItem> galleryReminders(int count) {
    const std::vector<ReminderItem> pool = {
        {"1", "Pay rent", "Overdue · 5:00 PM", true, true, {0.204, 0.78, 0.349, 1.0}},
        {"2", "Pick up parcel", "Overdue · 8:00 AM", true, false, {0.204, 0.78, 0.349, 1.0}},
        {"3", "Buy flowers", "Today · 6:30 PM", false, false, {0.204, 0.78, 0.349, 1.0}},
        {"4", "book dentist", "Today · 11:00 PM", false, true, {0.5, 1.0}},
        {"5",
         "Renew the passport before the summer holidays start in earnest",
         "Today · 11:30 PM",
         false,
         false,
         {1.0, 0.231, 0.188, 1.0}},
    };
    std::vector<ReminderItem> items;
    for (int i = 0; i < count; ++i)
        items.push_back(pool[static_cast<std::size_t>(i) % pool.size()]);
    return items;
}

bool renderWidget(const WidgetScene& scene, const QString& path, const SymbolTable& symbols) {
    Appearance appearance(nullptr);
    appearance.setReduceMotionOverride(false);
    appearance.setReduceTransparencyOverride(scene.reduceTransparency);
    CalendarState calendar;
    RemindersState reminders;
    std::unique_ptr<WidgetListView> view;
    if (scene.calendar) {
        calendar.update("Monday, March 2", galleryEvents(scene.rows));
        view = std::make_unique<CalendarPopoverView>(calendar, appearance, symbols);
    } else {
        reminders.setItems(galleryReminders(scene.rows));
        view = std::make_unique<RemindersPopoverView>(reminders, appearance, symbols);
    }
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->resize(view->sizeHint());
    view->show();
    QApplication::processEvents();
    if (scene.scrolled) {
        QScrollBar* bar = view->scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
    } else if (WidgetRow* row = view->rowAt(1)) {
        hover(row);
    }
    return save(*view, path);
}

}  // namespace

int Gallery::run(int argc, char** argv) {
    // Pictures need no display: without one, Qt draws offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setPalette(referenceLightPalette());

    const QString directory = QString::fromStdString(directory_);
    if (!QDir().mkpath(directory)) {
        out_ << "Could not create " << directory_ << "\n";
        return 1;
    }
    const SymbolTable& symbols = SymbolTable::shared();
    int written = 0;
    // Draws each scene of a kind in turn; false at the first picture that cannot be written.
    const auto renderAll = [&](const auto& scenes, const auto& render) {
        for (const auto& scene : scenes) {
            const QString path = QDir(directory).filePath(scene.file);
            if (!render(scene, path)) {
                out_ << "Could not write " << path.toStdString() << "\n";
                return false;
            }
            out_ << path.toStdString() << "\n";
            ++written;
        }
        return true;
    };
    MimeKinds kinds;
    ThemeFileIcons icons(kinds);
    const bool drawn =
        renderAll(scenes(), [&](const Scene& scene,
                                const QString& path) { return render(scene, path, symbols); }) &&
        renderAll(switcherScenes(),
                  [&](const SwitcherScene& scene, const QString& path) {
                      return renderSwitcher(scene, path, symbols);
                  }) &&
        renderAll(folderScenes(),
                  [&](const FolderScene& scene, const QString& path) {
                      return renderFolder(scene, path, icons);
                  }) &&
        renderAll(mediaScenes(), [&](const MediaScene& scene, const QString& path) {
            return renderMedia(scene, path, symbols);
        });
    if (!drawn) return 1;
    const int settings = SettingsGallery::run(directory, out_);
    if (settings < 0) return 1;
    written += settings;
    if (!renderAll(widgetScenes(), [&](const WidgetScene& scene, const QString& path) {
            return renderWidget(scene, path, symbols);
        }))
        return 1;
    out_ << "Wrote " << written << " pictures\n";
    return 0;
}

}  // namespace vantorel

// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/DefaultWorld.h"
#include "app/MenuBarContent.h"
#include "app/VantorelApp.h"
#include "platform/linux/FileSystemResources.h"
#include "platform/linux/IcuCollation.h"
#include "platform/linux/StreamLogger.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimWorld.h"

#include "app/Tour.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "app/MenuBarExtra.h"
#include "app/PanelPointer.h"
#include "app/playground/AppIcon.h"
#include "app/playground/SimDesktopView.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/MimeKinds.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/ReferencePalette.h"
#include "platform/qt/RoundSymbolButton.h"
#include "platform/qt/SymbolTable.h"
#include "platform/qt/ThemeFileIcons.h"
#include "preview/CardCollectionView.h"
#include "preview/HoverControlButton.h"
#include "preview/PreviewPanelSurface.h"
#include "preview/PreviewPanelView.h"
#include "preview/WindowItemView.h"
#include "settings/SettingsView.h"
#include "settings/WelcomeView.h"
#include "switcher/SwitcherPanelSurface.h"
#include "switcher/SwitcherView.h"
#include "widgets/CalendarPanelSurface.h"
#include "widgets/FolderItemTile.h"
#include "widgets/FolderPanelSurface.h"
#include "widgets/FolderPopoverView.h"
#include "widgets/MediaPanelSurface.h"
#include "widgets/MediaPopoverView.h"
#include "widgets/RemindersPanelSurface.h"
#include "widgets/WidgetListView.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// A pointer event every 16 ms, as a mouse moving at 60 Hz delivers them.
constexpr Duration kEventInterval = 16ms;
constexpr double kStep = 12;

// The application on the simulated desktop, its panels real Qt windows on the offscreen
// platform, everything on virtual time. The simulated pointer also plays the real one over
// the panels: it sends them the enter, leave and click events a pointer would.
class Script {
public:
    Script(std::ostream& out, std::string root, LogLevel level, const SimWorld& world)
        : out_(out),
          root_(std::move(root)),
          world_(world),
          printer_(out, level, [this] { return desktop_.scheduler.now(); }),
          realFiles_(
              [this](std::string_view name, FileType type) { return kinds_.describe(name, type); }),
          icons_(kinds_),
          appearance_(nullptr) {
        desktop_.files.setFallback(&realFiles_);
        desktop_.collation.setFallback(&collation_);
        desktop_.workspace.setFileIcons(
            [this](std::string_view path) { return icons_.iconForFile(path); });
        desktop_.logger.setForward(&printer_);
        desktop_.logger.setMinimum(level);
        world_.build(desktop_, root_);
        desktop_.activateFrontWindowOwner();
        // No enlargements: each picture shows where things settle, whatever the machine's speed.
        appearance_.setReduceMotionOverride(true);
        appearance_.setReduceTransparencyOverride(false);
        view_ = std::make_unique<SimDesktopView>(desktop_, world_);
        view_->setShowsPointer(true);
    }

    int run();

private:
    // Runs the main thread and the capture actor until both are idle.
    void settle() {
        for (int i = 0; i < 100; ++i) {
            desktop_.scheduler.runDue();
            QCoreApplication::processEvents();
            // Fades run on the real clock; the script's time is virtual: it sees where they end.
            for (const auto& panel : panels_) {
                if (panel) panel->finishFade();
            }
            if (executor_.drain() + folderExecutor_.drain() == 0) break;
        }
    }
    void wait(Duration total) {
        for (Duration done{}; done < total; done += kEventInterval) {
            desktop_.scheduler.advance(std::min(kEventInterval, total - done));
            settle();
        }
    }

    Point pointer() { return {desktop_.pointer.mouseLocation().x, axY()}; }
    double axY() { return desktop_.primaryHeight() - desktop_.pointer.mouseLocation().y; }

    // One pointer event, 16 ms after the last, at ax (accessibility coordinates, which are the
    // view's and, the view sitting at the origin, the panels' global ones).
    void moveTo(Point ax) {
        desktop_.scheduler.advance(kEventInterval);
        settle();
        const bool overPanel = route(ax);
        desktop_.movePointerAX(ax, overPanel);
        settle();
    }
    void glide(Point to) {
        const Point from = pointer();
        const double distance = std::hypot(to.x - from.x, to.y - from.y);
        const int steps = std::max(1, static_cast<int>(std::ceil(distance / kStep)));
        for (int i = 1; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            moveTo({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
        }
    }
    // Small movements on the spot, as a hand resting on a mouse makes.
    void rest(Duration total) {
        const Point at = pointer();
        for (Duration done{}; done < total; done += kEventInterval) {
            moveTo({at.x + ((done / kEventInterval) % 2), at.y});
        }
        moveTo(at);
    }

    // Sends the panels the enter and leave events the pointer at ax causes; whether it is over
    // one of them.
    bool route(Point ax) {
        std::vector<QWidget*> windows;
        for (const auto& panel : panels_)
            windows.push_back(panel);
        return panelPointer_.route(ax, windows);
    }
    // A press and release of the left button where the pointer is.
    void click() {
        const Point at = pointer();
        route(at);
        panelPointer_.click(at);
        settle();
        route(pointer());
    }

    // A turn of the mouse wheel where the pointer is, `rows` notches down.
    void scroll(int rows) {
        const Point at = pointer();
        route(at);
        panelPointer_.scroll(at, rows);
        settle();
        route(pointer());
    }

    // Rests on the Dock tile titled `title` until its panel is up.
    void restOnTile(const std::string& title) {
        const auto& tiles = desktop_.dockTiles();
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            if (tiles[i].title != title) continue;
            glide(desktop_.dockTileFrame(i).center());
            rest(600ms);
            return;
        }
        out_ << "!! No Dock tile \"" << title << "\"\n";
    }
    // Off the Dock onto the desktop, until the panel has gone.
    void leaveDock() {
        glide({pointer().x - 600, pointer().y - 150});
        wait(500ms);
    }
    // The folder tile whose popover shows the entry named `name`, if it is built.
    FolderItemTile* folderTile(const std::string& name) {
        if (!folderView_ || !app_ || !app_->coordinator()) return nullptr;
        const auto& entries = app_->coordinator()->folderPanel().state().entries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i]->name == name) return folderView_->tileAt(static_cast<int>(i));
        }
        return nullptr;
    }
    // Adds folder tiles for an empty folder and one of `count` scanned pages beside the others.
    void addTourFolders(int count) {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path empty = fs::path(root_) / "Empty";
        const fs::path archive = fs::path(root_) / "Scans";
        fs::create_directories(empty, ec);
        fs::create_directories(archive, ec);
        for (int i = 1; i <= count; ++i) {
            std::ofstream(archive / ("Scan " + std::to_string(i) + ".pdf")) << i << "\n";
        }
        auto tiles = desktop_.dockTiles();
        for (const fs::path& path : {empty, archive}) {
            const std::string url = Url::fromPath(path.string())->string() + "/";
            const std::string title = path.filename().string();
            tiles.push_back({SimDockTileSpec::Kind::folder, title, url});
            desktop_.addPersistentFolder(title, url);
        }
        desktop_.setDockTiles(std::move(tiles));
    }

    // Glides onto a media button and clicks it, then waits for the player to be asked again.
    void pressMedia(RoundSymbolButton* button) {
        if (!button) {
            out_ << "!! The media widget shows no such button\n";
            return;
        }
        glide(centre(button));
        out_ << "   " << button->accessibleName().toStdString() << "\n";
        click();
        wait(200ms);
    }

    // The preview card showing the window with this title, if the panel shows it.
    WindowItemView* card(const std::string& title) {
        if (!preview_ || !app_ || !app_->coordinator()) return nullptr;
        const auto& cards = app_->coordinator()->panel().state().cards();
        for (std::size_t i = 0; i < cards.size(); ++i) {
            if (cards[i].title == title && preview_->collection()) {
                return preview_->collection()->viewAt(static_cast<int>(i));
            }
        }
        return nullptr;
    }
    static Point centre(QWidget* widget) {
        const QPoint c = widget->mapToGlobal(widget->rect().center());
        return {static_cast<double>(c.x()), static_cast<double>(c.y())};
    }
    // Up off the tile into the panel above it, then to the card.
    bool pointAtCard(const std::string& title) {
        const Point start = pointer();
        glide({start.x, start.y - 80});
        WindowItemView* target = card(title);
        if (!target) {
            out_ << "!! No card for \"" << title << "\"\n";
            return false;
        }
        glide(centre(target));
        return true;
    }
    bool clickControl(const std::string& title, bool close) {
        WindowItemView* target = card(title);
        if (!target) {
            out_ << "!! No card for \"" << title << "\"\n";
            return false;
        }
        glide(centre(target));
        HoverControlButton* control = close ? target->closeControl() : target->minimizeControl();
        if (!control || control->isHidden()) {
            out_ << "!! The card \"" << title << "\" shows no controls\n";
            return false;
        }
        glide(centre(control));
        click();
        return true;
    }

    void picture(const std::string& name) {
        settle();
        if (preview_) preview_->finishAnimations();
        if (switcher_) switcher_->finishAnimations();
        QCoreApplication::processEvents();
        std::vector<QWidget*> windows;
        for (const auto& panel : panels_) {
            if (panel) windows.push_back(panel);
        }
        const QString path = QDir(QString::fromStdString(root_))
                                 .filePath(QString::fromStdString(name) + QStringLiteral(".png"));
        if (view_->picture(windows).save(path, "PNG")) {
            out_ << "   picture " << path.toStdString() << "\n";
            ++pictures_;
        } else {
            out_ << "!! Could not write " << path.toStdString() << "\n";
            failed_ = true;
        }
    }

    // A window of the application's own (not a panel), as it looks on its own.
    void pictureWindow(QWidget* window, const std::string& name) {
        settle();
        const QString path = QDir(QString::fromStdString(root_))
                                 .filePath(QString::fromStdString(name) + QStringLiteral(".png"));
        // At twice its size, as sharp as the screen's pictures.
        QImage image;
        if (window && window->isVisible()) {
            image = QImage(window->size() * 2, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(2);
            window->render(&image);
        }
        if (!image.isNull() && image.save(path, "PNG")) {
            out_ << "   picture " << path.toStdString() << "\n";
            ++pictures_;
        } else {
            out_ << "!! Could not picture " << name << "\n";
            failed_ = true;
        }
    }
    // A key pressed on the real keyboard while `window` has the focus.
    void press(QWidget* window, Qt::Key key) {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
        settle();
    }
    WelcomeView* welcomeView() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* view = qobject_cast<WelcomeView*>(widget)) return view;
        }
        return nullptr;
    }
    void sayWelcomePage(WelcomeView* welcome) {
        const int step = app_->welcome()->step();
        out_ << "   welcome page " << step << ": \""
             << welcome->titleLabel(step)->text().toStdString() << "\", \""
             << welcome->primaryButton()->text().toStdString() << "\"\n";
    }

    // A key-down typed on the simulated keyboard with the modifiers held.
    void typeKey(KeyCode key, EventFlags flags) {
        desktop_.scheduler.advance(kEventInterval);
        desktop_.keyEvents.type(kEventTypeKeyDown, key, flags);
        settle();
    }
    // The modifiers held change to `flags`.
    void holdModifiers(EventFlags flags) {
        desktop_.scheduler.advance(kEventInterval);
        desktop_.keyEvents.type(kEventTypeFlagsChanged, 0, flags);
        settle();
    }
    void sayHighlighted() {
        AppCoordinator* coordinator = app_ ? app_->coordinator() : nullptr;
        WindowSwitcher* switcher = coordinator ? coordinator->switcher() : nullptr;
        if (!switcher || !switcher->isOpen()) return;
        if (const auto* item = switcher->panel().state().selectedItem()) {
            out_ << "   highlighted: " << item->appName << " — " << item->displayTitle() << "\n";
        }
    }

    void printMenu() {
        out_ << "-- The menu of the menu-bar icon \"" << MenuBarExtra::kTitle << "\" ("
             << MenuBarExtra::kSymbol << "):\n";
        for (const auto& item : content_->items()) {
            using Kind = MenuBarContent::Item::Kind;
            if (item.kind == Kind::divider) {
                out_ << "   ---\n";
                continue;
            }
            out_ << "   " << item.title;
            if (!item.shortcut.empty()) out_ << "  " << item.shortcut;
            if (item.kind == Kind::label) out_ << "  (label, " << item.symbol << ")";
            if (item.kind == Kind::button && !item.enabled) out_ << "  (disabled)";
            out_ << "\n";
        }
    }

    std::ostream& out_;
    std::string root_;
    const SimWorld& world_;
    SimDesktop desktop_;
    StreamLogger printer_;
    MimeKinds kinds_;
    FileSystemResources realFiles_;
    IcuCollation collation_;
    ThemeFileIcons icons_;
    Appearance appearance_;
    SimLoginItems loginItems_;
    ManualExecutor executor_;
    ManualExecutor folderExecutor_;
    std::unique_ptr<SimDesktopView> view_;
    std::vector<QPointer<FloatingPanelWindow>> panels_;
    QPointer<PreviewPanelView> preview_;
    PanelPointer panelPointer_;
    QPointer<SwitcherView> switcher_;
    QPointer<FolderPopoverView> folderView_;
    QPointer<MediaPopoverView> mediaView_;
    QPointer<WidgetListView> calendarView_;
    QPointer<WidgetListView> remindersView_;
    std::unique_ptr<VantorelApp> app_;
    std::unique_ptr<MenuBarContent> content_;
    std::unique_ptr<MenuBarExtra> extra_;
    std::unique_ptr<SettingsView> settings_;
    int pictures_ = 0;
    bool failed_ = false;
};

int Script::run() {
    out_ << "Tour of the simulated desktop; its folders and pictures are in " << root_ << "\n";
    // Every panel is placed over the simulated screen and pictured with it.
    const auto adopt = [this](QtPanelSurface& real) {
        SimDesktopView* view = view_.get();
        real.setPlacement(
            [view](Point origin, QSize size) { return view->panelPosition(origin, size); });
        real.window().setBackdrop([view](const QRect& global) { return view->beneath(global); });
        panels_.emplace_back(&real.window());
    };
    // The view of a surface that is a real panel, once adopted.
    const auto adopted = [adopt](PanelSurface* surface) -> QWidget* {
        auto* real = dynamic_cast<QtPanelSurface*>(surface);
        if (!real) return nullptr;
        adopt(*real);
        return real->window().view();
    };
    PanelFactories panels;
    panels.preview = [this, adopted](PreviewState& state) {
        auto surface = makePreviewPanelSurface(state, appearance_, SymbolTable::shared());
        preview_ = qobject_cast<PreviewPanelView*>(adopted(surface.get()));
        return surface;
    };
    panels.folder = [this, adopted](FolderState& state) {
        auto surface = makeFolderPanelSurface(state, appearance_);
        folderView_ = qobject_cast<FolderPopoverView*>(adopted(surface.get()));
        return surface;
    };
    panels.media = [this, adopted](MediaState& state) {
        auto surface = makeMediaPanelSurface(state, appearance_);
        mediaView_ = qobject_cast<MediaPopoverView*>(adopted(surface.get()));
        return surface;
    };
    panels.calendar = [this, adopted](CalendarState& state) {
        auto surface = makeCalendarPanelSurface(state, appearance_, SymbolTable::shared());
        calendarView_ = qobject_cast<WidgetListView*>(adopted(surface.get()));
        return surface;
    };
    panels.reminders = [this, adopted](RemindersState& state) {
        auto surface = makeRemindersPanelSurface(state, appearance_, SymbolTable::shared());
        remindersView_ = qobject_cast<WidgetListView*>(adopted(surface.get()));
        return surface;
    };
    app_ = std::make_unique<VantorelApp>(desktop_.ports(), loginItems_, executor_, folderExecutor_,
                                         panels);
    app_->makeSwitcherSurface = [this, adopted](SwitcherState& state) {
        auto surface = makeSwitcherPanelSurface(state, appearance_, SymbolTable::shared());
        switcher_ = qobject_cast<SwitcherView*>(adopted(surface.get()));
        return surface;
    };
    app_->makeWelcomeWindow = WelcomeView::factory(appearance_, SymbolTable::shared());
    content_ = std::make_unique<MenuBarContent>(app_->permissions());
    content_->showWelcome = [this] {
        if (WelcomeController* welcome = app_->welcome()) welcome->show();
    };
    // The tour shows the menu as a user sees it; quitting there ends the tour's event loop.
    content_->quit = [] { QApplication::quit(); };
    content_->openSettings = [this] {
        if (!settings_) {
            settings_ = std::make_unique<SettingsView>(
                app_->preferences(), app_->permissions(), app_->launchAtLogin(),
                BundleInfo{"1.2", "34"}, appearance_, SymbolTable::shared());
            settings_->setAttribute(Qt::WA_DontShowOnScreen);
        }
        settings_->present();
    };
    extra_ = std::make_unique<MenuBarExtra>(*content_, SymbolTable::shared());
    view_->setMenuBarExtra(extra_->makeButton(view_.get()));
    settle();
    if (!app_->coordinator()) {
        out_ << "!! The start-up sequence did not create the coordinator\n";
        return 1;
    }
    printMenu();
    picture("01-start");

    out_ << "-- First launch: the welcome window is open on its first page\n";
    if (WelcomeView* welcome = welcomeView()) {
        sayWelcomePage(welcome);
        pictureWindow(welcome, "01-welcome");
        out_ << "-- Return four times: the permissions page\n";
        for (int i = 0; i < 4; ++i)
            press(welcome, Qt::Key_Return);
        sayWelcomePage(welcome);
        pictureWindow(welcome, "01-welcome-permissions");
        out_ << "-- Return to the last page, and \"Get Started\" closes it for good\n";
        press(welcome, Qt::Key_Return);
        sayWelcomePage(welcome);
        press(welcome, Qt::Key_Return);
        const auto shown =
            desktop_.defaults.standardDomain().object(VantorelApp::kDidShowWelcomeKey);
        out_ << "   welcome window " << (welcome->isVisible() ? "open" : "closed")
             << ", didShowWelcome=" << (shown && shown->as<bool>() && *shown->as<bool>()) << "\n";
    } else {
        out_ << "!! The welcome window did not open at first launch\n";
    }

    const auto& tiles = desktop_.dockTiles();
    if (tiles.size() < 4) return failed_ ? 1 : 0;
    const Rect first = desktop_.dockTileFrame(0);
    const Rect last = desktop_.dockTileFrame(tiles.size() - 1);
    const double row = first.center().y;

    out_ << "-- The pointer comes down onto the Dock and sweeps across it\n";
    for (double y = row - 200; y < row; y += kStep * 4)
        moveTo({first.minX() - 40, y});
    for (double x = first.minX() - 40; x <= last.maxX() + 40; x += kStep)
        moveTo({x, row});
    picture("02-sweep");

    out_ << "-- It rests on Safari for a second: its windows' panel opens above the tile\n";
    const Point safari = desktop_.dockTileFrame(1).center();
    glide(safari);
    rest(1s);
    picture("03-safari");

    out_ << "-- It slides to Mail: the open panel switches at once\n";
    glide(desktop_.dockTileFrame(2).center());
    rest(400ms);
    picture("04-mail");

    out_ << "-- It moves up into the panel and rests on the minimised message's card\n";
    const std::string message = "Lunch on Friday?";
    pointAtCard(message);
    rest(1s);
    picture("05-mail-card");

    out_ << "-- It restores the message from its card\n";
    clickControl(message, false);
    rest(400ms);
    picture("06-mail-restored");

    out_ << "-- It closes the message from its card; the panel keeps the other one\n";
    clickControl(message, true);
    wait(200ms);
    rest(400ms);
    picture("07-mail-closed");

    out_ << "-- It clicks the inbox's card: Mail comes forward and the panel goes\n";
    if (WindowItemView* inbox = card("Inbox — 3 unread")) {
        glide(centre(inbox));
        click();
    } else {
        out_ << "!! No card for the inbox\n";
    }
    wait(300ms);
    picture("08-mail-activated");

    out_ << "-- Back on Safari, it minimises the start page from its card\n";
    glide(safari);
    rest(400ms);
    const std::string startPage = "Apple — Start Page";
    if (pointAtCard(startPage)) clickControl(startPage, false);
    rest(400ms);
    picture("09-safari-minimised");

    out_ << "-- It leaves the panel for the desktop: the panel hides a moment later\n";
    glide({pointer().x + 260, pointer().y - 120});
    wait(400ms);
    picture("10-desktop");

    constexpr EventFlags option = kEventFlagMaskAlternate;
    constexpr EventFlags shift = kEventFlagMaskShift;
    out_ << "-- It holds Option and presses Tab: the switcher opens on the second window\n";
    holdModifiers(option);
    typeKey(WindowSwitcher::kTab, option);
    sayHighlighted();
    picture("11-switcher-open");

    out_ << "-- Tab again: the highlight moves on\n";
    typeKey(WindowSwitcher::kTab, option);
    sayHighlighted();
    picture("12-switcher-step");

    out_ << "-- Shift-Tab: the highlight moves back\n";
    holdModifiers(option | shift);
    typeKey(WindowSwitcher::kTab, option | shift);
    holdModifiers(option);
    sayHighlighted();
    picture("13-switcher-shift-step");

    out_ << "-- It lets go of Option: the highlighted window comes forward\n";
    holdModifiers(0);
    wait(100ms);
    picture("14-switcher-commit");

    out_ << "-- Option-Tab once more, then Escape: the switcher closes and nothing changes\n";
    holdModifiers(option);
    typeKey(WindowSwitcher::kTab, option);
    typeKey(WindowSwitcher::kEscape, option);
    holdModifiers(0);
    picture("15-switcher-escape");

    Preferences& preferences = app_->preferences();
    out_ << "-- It rests on the Downloads folder: its items open above the tile, by name\n";
    restOnTile("Downloads");
    picture("16-downloads-by-name");

    out_ << "-- Sorted by date instead, newest first\n";
    leaveDock();
    preferences.setFolderSort(FolderSort::dateModified);
    restOnTile("Downloads");
    picture("17-downloads-by-date");

    out_ << "-- Sorted by kind, and by name within a kind\n";
    leaveDock();
    preferences.setFolderSort(FolderSort::kind);
    restOnTile("Downloads");
    picture("18-downloads-by-kind");

    out_ << "-- It moves up onto the file whose name is not UTF-8 and clicks it: it opens\n";
    leaveDock();
    preferences.setFolderSort(FolderSort::name);
    restOnTile("Downloads");
    glide({pointer().x, pointer().y - 80});
    if (FolderItemTile* tile = folderTile("menu caf\xE9.txt")) {
        glide(centre(tile));
        rest(300ms);
        picture("19-downloads-hover");
        click();
        for (const Url& url : desktop_.workspace.openedURLs())
            out_ << "   opened " << url.string() << "\n";
    } else {
        out_ << "!! No tile for the file whose name is not UTF-8\n";
    }
    wait(300ms);

    out_ << "-- Two more folders join the Dock: an empty one and one of 200 scans\n";
    addTourFolders(200);
    glide({pointer().x, row - 200});
    restOnTile("Empty");
    picture("20-empty-folder");
    restOnTile("Scans");
    picture("21-scans");
    out_ << "-- It moves into the scans and scrolls down the grid\n";
    glide({pointer().x, pointer().y - 200});
    for (int i = 0; i < 6; ++i)
        scroll(3);
    if (folderView_) {
        out_ << "   scrolled to " << folderView_->scrollArea()->verticalScrollBar()->value()
             << " of " << folderView_->scrollArea()->verticalScrollBar()->maximum() << "\n";
    }
    picture("22-scans-scrolled");
    leaveDock();

    out_ << "-- It rests on Music: the track now playing, with its controls\n";
    restOnTile("Music");
    picture("23-music-playing");
    out_ << "-- It presses pause: the button turns to play once Music has answered again\n";
    pressMedia(mediaView_ ? mediaView_->playPauseButton() : nullptr);
    picture("24-music-paused");
    out_ << "-- And the next track, which has no artist\n";
    pressMedia(mediaView_ ? mediaView_->nextButton() : nullptr);
    picture("25-music-next");
    leaveDock();
    out_ << "-- Spotify is paused on a long title\n";
    restOnTile("Spotify");
    picture("26-spotify-paused");
    leaveDock();
    out_ << "-- Spotify stops elsewhere: its tile shows its windows instead\n";
    if (SimMediaPlayer* spotify = desktop_.scripting.findPlayer("Spotify"))
        spotify->state = "stopped";
    restOnTile("Spotify");
    picture("27-spotify-stopped");
    leaveDock();

    out_ << "-- It rests on Calendar: asked once for access, it shows today's events\n";
    restOnTile("Calendar");
    picture("27a-calendar");
    out_ << "-- It rests on Reminders: the due reminders open once the store has answered\n";
    restOnTile("Reminders");
    picture("27b-reminders");
    leaveDock();

    out_ << "-- It visits the folders and the stack that cannot be resolved\n";
    for (std::size_t i = tiles.size() - 5; i < tiles.size(); ++i) {
        wait(400ms);
        moveTo(desktop_.dockTileFrame(i).center());
    }
    moveTo({last.maxX() + 300, row - 300});
    wait(400ms);
    out_ << "-- From the menu, \"Settings…\": the settings window opens\n";
    content_->trigger(MenuBarContent::Item::Action::openSettings);
    if (settings_ && settings_->isVisible()) {
        pictureWindow(settings_.get(), "28-settings");
        out_ << "-- It turns the switcher off, and on again\n";
        QCheckBox* switcherToggle = settings_->toggle(QStringLiteral("⌥Tab window switcher"));
        WindowSwitcher* switcher = app_->coordinator()->switcher();
        for (int i = 0; i < 2; ++i) {
            switcherToggle->setFocus();
            press(settings_.get(), Qt::Key_Space);
            out_ << "   altTabEnabled=" << app_->preferences().altTabEnabled()
                 << ", switcher armed=" << (switcher && switcher->isArmed()) << "\n";
        }
        out_ << "-- It picks the layout \"Compact list\" and closes the window with Escape\n";
        settings_->layoutPicker()->setFocus();
        press(settings_.get(), Qt::Key_Down);
        press(settings_.get(), Qt::Key_Down);
        out_ << "   layout: " << settings_->layoutPicker()->currentText().toStdString()
             << " (stored \"" << toString(app_->preferences().previewLayout()) << "\")\n";
        pictureWindow(settings_.get(), "29-settings-compact-list");
        press(settings_.get(), Qt::Key_Escape);
        out_ << "   settings window " << (settings_->isVisible() ? "open" : "closed") << "\n";
    } else {
        out_ << "!! The settings window did not open\n";
    }
    out_ << "-- Back on Safari: its windows now show as a compact list\n";
    glide({pointer().x, row - 200});
    restOnTile("Safari");
    picture("30-safari-compact-list");
    leaveDock();
    out_ << "-- Tour finished\n";
    out_ << "Wrote " << pictures_ << " pictures to " << root_ << "\n";
    return failed_ ? 1 : 0;
}

}  // namespace

int Tour::run(int argc, char** argv) {
    // The tour never needs a display, and never shows its panels on one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says so each time a panel is raised or faded; that is not news.
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message.startsWith(QLatin1String("This plugin does not support"))) return;
            if (previous) previous(type, context, message);
        });
    QApplication app(argc, argv);
    QApplication::setPalette(referenceLightPalette());

    std::string error;
    auto world = SimWorld::parse(defaultWorldJson(), &error);
    if (!world) {
        out_ << "The default world is broken: " << error << "\n";
        return 1;
    }
    if (!QDir().mkpath(QString::fromStdString(root_)) || !world->createFolders(root_, &error)) {
        out_ << "Could not create the tour's folders: " << error << "\n";
        return 1;
    }
    AppIcon::dress(*world, SymbolTable::shared());
    Script script(out_, root_, level_, *world);
    return script.run();
}

}  // namespace vantorel

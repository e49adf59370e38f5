// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/DefaultWorld.h"
#include "app/MenuBarActions.h"
#include "app/MenuBarContent.h"
#include "app/RoutedUserDefaults.h"
#include "app/VantorelApp.h"
#include "platform/linux/FileSystemResources.h"
#include "platform/linux/FreedMemory.h"
#include "platform/linux/IcuCollation.h"
#include "platform/linux/IcuUserCalendar.h"
#include "platform/linux/JsonUserDefaults.h"
#include "platform/linux/MprisScripting.h"
#include "platform/linux/NetworkLockdown.h"
#include "platform/linux/OpenerLauncher.h"
#include "platform/linux/SessionLogger.h"
#include "platform/linux/VdirEventStore.h"
#include "platform/linux/VdirPermissionServices.h"
#include "platform/linux/WorkerThreadExecutor.h"
#include "platform/linux/XdgAutostartLoginItems.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

#include "app/playground/Playground.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "app/MenuBarExtra.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/playground/AppIcon.h"
#include "app/playground/DesktopInput.h"
#include "app/playground/SimDesktopView.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/MimeKinds.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/QtScheduler.h"
#include "platform/qt/SymbolTable.h"
#include "platform/qt/ThemeFileIcons.h"
#include "preview/PreviewPanelSurface.h"
#include "settings/WelcomeView.h"
#include "switcher/SwitcherPanelSurface.h"
#include "widgets/CalendarPanelSurface.h"
#include "widgets/FolderPanelSurface.h"
#include "widgets/MediaPanelSurface.h"
#include "widgets/RemindersPanelSurface.h"

namespace vantorel {
namespace {

// The simulated screen: a laptop's, or less where the real screen is smaller.
constexpr int kSettleMs = 1000;
constexpr int kScreenWidth = 1440;
constexpr int kScreenHeight = 900;

QSize screenSize() {
    QSize size(kScreenWidth, kScreenHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Room for the window's frame and title bar.
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(QSize(available.width() - 16, available.height() - 48));
    }
    return size.expandedTo(QSize(640, 400));
}

}  // namespace

int Playground::run(int argc, char** argv) {
    // Forked while we are one thread and unfiltered: what the user opens runs outside the filter.
    std::optional<OpenerLauncher> launcher;
    if (!allowNetwork_) launcher.emplace();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    // From here on a session manager's SIGTERM, Ctrl+C or a closed terminal end the run loop
    // like "Quit Vantorel" does, and everything below is torn down in order.
    TerminationSignals endSignals;
    endSignals.onSignal = [](int) { QCoreApplication::quit(); };

    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim(out_, "Vantorel is already running: its window was brought forward."))
        return 0;

    std::string error;
    std::string json(defaultWorldJson());
    if (!worldFile_.empty()) {
        std::ifstream file(worldFile_);
        std::ostringstream text;
        text << file.rdbuf();
        if (!file) {
            out_ << "Could not read the world " << worldFile_ << "\n";
            return 1;
        }
        json = text.str();
    }
    auto world = SimWorld::parse(json, &error);
    if (!world) {
        out_ << "The world is broken: " << error << "\n";
        return 1;
    }
    if (!world->createFolders(root_, &error)) {
        out_ << "Could not create the world's folders: " << error << "\n";
        return 1;
    }
    AppIcon::dress(*world, SymbolTable::shared());

    // Declared in the order they are needed; torn down the other way round, so the capture
    // worker stops before what it calls goes.
    QtScheduler scheduler;
    SessionLogger logger(level_, [&scheduler] { return scheduler.now(); });

    SimDesktop desktop;
    // The world's folders are real: listed, described, drawn and opened by this desktop.
    MimeKinds kinds;
    FileSystemResources realFiles(
        [&kinds](std::string_view name, FileType type) { return kinds.describe(name, type); });
    desktop.files.setFallback(&realFiles);
    IcuCollation collation;
    desktop.collation.setFallback(&collation);
    ThemeFileIcons icons(kinds);
    desktop.workspace.setFileIcons(
        [&icons](std::string_view path) { return icons.iconForFile(path); });
    desktop.workspace.setOpener([&launcher](const Url& url) {
        return launcher && launcher->isRunning() ? launcher->open(url) : openWithDesktop(url);
    });
    // The world's screen becomes the drawing area, and its windows are fitted onto it.
    const QSize screen = screenSize();
    world->screens = {Rect(0, 0, screen.width(), screen.height())};
    world->build(desktop, root_);
    desktop.activateFrontWindowOwner();

    // The simulated services that answer later do so on the real run loop.
    SimPermissionServices permissionServices(scheduler);
    SimKeyEvents keyEvents(scheduler);
    keyEvents.setTrustCheck([&desktop] { return desktop.accessibility.isProcessTrusted(false); });
    SimScreenCapture capture(scheduler, desktop.windows, desktop.windowServer);
    // The user's own date, time zone and language; the world's events are placed on today.
    IcuUserCalendar userCalendar;
    SimEventStore eventStore(permissionServices, userCalendar, scheduler);
    world->buildEvents(eventStore, userCalendar);
    JsonUserDefaults ownDefaults(JsonUserDefaults::defaultPath(), scheduler, logger);
    RoutedUserDefaults defaults(ownDefaults, desktop.defaults);
    MprisScripting mpris(musicPlayer_);
    // The user's own calendars and task lists, read where they are kept; the reminders on a
    // worker of their own, which stops before the store goes.
    std::optional<VdirEventStore> vdir;
    std::optional<VdirPermissionServices> vdirPermissions;
    std::optional<WorkerThreadExecutor> tasksExecutor;
    if (realWidgets_) {
        auto settings =
            VdirEventStore::Settings::defaults(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        if (!calendars_.empty()) settings.calendars = calendars_;
        if (!tasks_.empty()) settings.tasks = tasks_;
        Log(logger, "app")
            .info("Calendars from " + settings.calendars + ", reminders from " + settings.tasks);
        tasksExecutor.emplace();
        vdir.emplace(std::move(settings), userCalendar, *tasksExecutor, logger);
        vdirPermissions.emplace(permissionServices, *vdir);
    }
    const PlatformPorts ports{
        desktop.accessibility,
        desktop.workspace,
        desktop.screens,
        desktop.pointer,
        defaults,
        desktop.files,
        desktop.collation,
        scheduler,
        logger,
        desktop.windowServer,
        keyEvents,
        vdirPermissions ? static_cast<PermissionServices&>(*vdirPermissions) : permissionServices,
        capture,
        realWidgets_ ? static_cast<Scripting&>(mpris) : desktop.scripting,
        vdir ? static_cast<EventStore&>(*vdir) : eventStore,
        userCalendar};
    XdgAutostartLoginItems loginItems(XdgAutostartLoginItems::defaultDirectory(),
                                      QCoreApplication::applicationFilePath().toStdString());
    WorkerThreadExecutor captureExecutor("captures");
    WorkerThreadExecutor folderExecutor("folders");

    SimDesktopView view(desktop, *world);
    view.setWindowTitle(QStringLiteral("Vantorel — simulated desktop"));
    MenuBarExtra* shortcuts = nullptr;
    // Every real panel sits over the simulated screen.
    const auto adopt = [&view, &shortcuts](QtPanelSurface& real) {
        real.setPlacement(
            [&view](Point origin, QSize size) { return view.panelPosition(origin, size); });
        // The glass blurs the simulated desktop beneath it: we drew it, we have the pixels.
        real.window().setBackdrop([&view](const QRect& global) { return view.beneath(global); });
        // Closing the simulated desktop ends the application, panels or not.
        real.window().setAttribute(Qt::WA_QuitOnClose, false);
        if (shortcuts) shortcuts->bindShortcuts(&real.window());
    };
    const auto adopted = [adopt](std::unique_ptr<PanelSurface> surface) {
        if (auto* real = dynamic_cast<QtPanelSurface*>(surface.get())) adopt(*real);
        return surface;
    };
    PanelFactories factories;
    factories.preview = [adopted](PreviewState& state) {
        return adopted(makePreviewPanelSurface(state));
    };
    factories.folder = [adopted](FolderState& state) {
        return adopted(makeFolderPanelSurface(state, Appearance::shared()));
    };
    factories.media = [adopted](MediaState& state) {
        return adopted(makeMediaPanelSurface(state, Appearance::shared()));
    };
    factories.calendar = [adopted](CalendarState& state) {
        return adopted(
            makeCalendarPanelSurface(state, Appearance::shared(), SymbolTable::shared()));
    };
    factories.reminders = [adopted](RemindersState& state) {
        return adopted(
            makeRemindersPanelSurface(state, Appearance::shared(), SymbolTable::shared()));
    };

    VantorelApp vantorel(ports, loginItems, captureExecutor, folderExecutor, factories);
    vantorel.makeSwitcherSurface = [adopt](SwitcherState& state) {
        auto surface = makeSwitcherPanelSurface(state);
        if (auto* real = dynamic_cast<QtPanelSurface*>(surface.get())) adopt(*real);
        return surface;
    };
    vantorel.makeWelcomeWindow =
        WelcomeView::factory(Appearance::shared(), SymbolTable::shared(), [&shortcuts](QWidget& w) {
            if (shortcuts) shortcuts->bindShortcuts(&w);
        });
    // Alt is Option: the keys typed here reach the switcher's tap before the desktop.
    DesktopInput input(desktop, keyEvents, &view);
    MenuBarContent content(vantorel.permissions());
    const MenuBarActions actions(content, vantorel, [&shortcuts](QWidget& w) {
        if (shortcuts) shortcuts->bindShortcuts(&w);
    });
    MenuBarExtra extra(content, SymbolTable::shared());
    // The simulated desktop has a menu bar of its own, so the menu is always reachable there;
    // the tray icon, wherever and whenever a tray host runs, reaches it from the real desktop too.
    extra.followTrayHost();
    view.setMenuBarExtra(extra.makeButton(&view));
    // Ctrl+Q, bound once for the whole program: the desktop's window and every panel.
    shortcuts = &extra;
    extra.bindShortcuts(&view);

    // Quitting, by the menu, Ctrl+Q or a signal: what is pending is written and what runs is
    // stopped while everything still exists; the socket goes so the next launch starts afresh.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &view, [&] {
        vantorel.stop();
        ownDefaults.standardSuite().flush();
        instance.close();
    });

    instance.onActivate = [&view] {
        view.showNormal();
        view.raise();
        view.activateWindow();
    };

    view.setPointerFollowsMouse(true);
    view.show();
    // Once the world is built and the first frames are drawn, what they freed goes back.
    QTimer::singleShot(kSettleMs, &view, [] { FreedMemory::release(); });
    // Every connection the program needs is open by now: from here on nothing leaves the machine.
    if (!allowNetwork_) {
        if (const auto problem = NetworkLockdown::install()) {
            Log(logger, "app").error("Network access stays open (" + *problem + ")");
        }
    }
    return QApplication::exec();
}

}  // namespace vantorel

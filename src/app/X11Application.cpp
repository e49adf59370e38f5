// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/MenuBarContent.h"
#include "app/RoutedUserDefaults.h"
#include "app/VantorelApp.h"
#include "platform/linux/FileSystemResources.h"
#include "platform/linux/FreedMemory.h"
#include "platform/linux/IcuCollation.h"
#include "platform/linux/IcuUserCalendar.h"
#include "platform/linux/JsonUserDefaults.h"
#include "platform/linux/NetworkLockdown.h"
#include "platform/linux/SessionLogger.h"
#include "platform/linux/WorkerThreadExecutor.h"
#include "platform/linux/XdgAutostartLoginItems.h"
#include "platform/sim/SimEventStore.h"
#include "platform/sim/SimPermissionServices.h"
#include "platform/sim/SimScripting.h"
#include "platform/sim/SimUserDefaults.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11KeyEvents.h"
#include "platform/x11/X11ScreenCapture.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/XcbConnection.h"

#include "app/X11Application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>
#include <utility>

#include "app/MenuBarActions.h"
#include "app/MenuBarExtra.h"
#include "app/ShownSurface.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "platform/qt/MimeKinds.h"
#include "platform/qt/QtScheduler.h"
#include "platform/qt/SymbolTable.h"
#include "preview/PreviewPanelSurface.h"
#include "settings/WelcomeView.h"
#include "switcher/SwitcherPanelSurface.h"
#include "widgets/FolderPanelSurface.h"

namespace vantorel {

namespace {
// Long enough for the switcher's map and first paint on a loaded machine.
constexpr int kHoldAfterShowMs = 40;
constexpr int kSettleMs = 1000;
}  // namespace

int X11Application::run(int argc, char** argv) {
    // Asked before the toolkit starts: it would abort on a display it cannot reach.
    std::string problem;
    auto connection = XcbConnection::open(nullptr, &problem);
    if (!connection) {
        out_ << "vantorel: --desktop x11 cannot run: " << problem << "\n";
        return 2;
    }
    // The panels must be X11 windows on the same server, whatever the environment prefers.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    TerminationSignals endSignals;
    endSignals.onSignal = [](int) { QCoreApplication::quit(); };

    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim(out_, "Vantorel is already running.")) return 0;

    QtScheduler scheduler;
    SessionLogger logger(level_, [&scheduler] { return scheduler.now(); });

    // Events the library read while it waited for a reply no longer make the socket readable:
    // drain them before the loop sleeps too.
    QSocketNotifier readable(connection->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(&readable, &QSocketNotifier::activated, [&] { connection->pump(); });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &readable, [&] { connection->pump(); });

    X11Desktop desktop(*connection, scheduler, logger);
    desktop.opener = &openWithDesktop;
    X11KeyEvents keyEvents(*connection, logger);
    X11Screens screens(*connection);
    WorkerThreadExecutor captureExecutor;
    WorkerThreadExecutor folderExecutor;
    // Scaling runs on the capture worker; the damage of live windows is read here.
    X11ScreenCapture capture(nullptr, scheduler, captureExecutor, logger);
    QSocketNotifier captureReadable(capture.fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(&captureReadable, &QSocketNotifier::activated, [&] { capture.pump(); });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &captureReadable, [&] { capture.pump(); });
    SimPermissionServices permissionServices(scheduler);
    MimeKinds kinds;
    FileSystemResources files(
        [&kinds](std::string_view name, FileType type) { return kinds.describe(name, type); });
    IcuCollation collation;
    JsonUserDefaults ownDefaults(JsonUserDefaults::defaultPath(), scheduler, logger);
    // No Dock here: its domain reads as empty.
    SimUserDefaults otherDomains;
    RoutedUserDefaults defaults(ownDefaults, otherDomains);
    // No players are asked here: the media widget answers as with no player running.
    SimScripting scripting;
    // No calendars either: an empty store, read with the user's own calendar and locale.
    IcuUserCalendar userCalendar;
    SimEventStore eventStore(permissionServices, userCalendar, scheduler);
    const PlatformPorts ports{desktop,  desktop,   screens,    screens,
                              defaults, files,     collation,  scheduler,
                              logger,   desktop,   keyEvents,  permissionServices,
                              capture,  scripting, eventStore, userCalendar};
    XdgAutostartLoginItems loginItems(XdgAutostartLoginItems::defaultDirectory(),
                                      QCoreApplication::applicationFilePath().toStdString());

    PanelFactories factories;
    factories.preview = [](PreviewState& state) { return makePreviewPanelSurface(state); };
    factories.folder = [](FolderState& state) {
        return makeFolderPanelSurface(state, Appearance::shared());
    };
    VantorelApp vantorel(ports, loginItems, captureExecutor, folderExecutor, factories);
    // Windows stay redirected while the switcher shows, so covered ones capture whole. Redirecting
    // makes the server copy every window's pixels, so it waits until the switcher has mapped and
    // painted: the thumbnails come after the first frame anyway.
    struct Hold {
        bool held = false;
        unsigned generation = 0;
    };
    auto hold = std::make_shared<Hold>();
    vantorel.makeSwitcherSurface = [&capture, hold](SwitcherState& state) {
        return std::make_unique<ShownSurface>(
            makeSwitcherPanelSurface(state), [&capture, hold](bool shown) {
                const unsigned generation = ++hold->generation;
                if (!shown) {
                    if (std::exchange(hold->held, false)) capture.release();
                    return;
                }
                QTimer::singleShot(kHoldAfterShowMs, qApp, [&capture, hold, generation] {
                    if (hold->generation != generation || hold->held) return;
                    hold->held = true;
                    capture.hold();
                });
            });
    };
    // Ctrl+Q on every window of the program, bound once the menu that owns it exists.
    MenuBarExtra* shortcuts = nullptr;
    const auto bindKeys = [&shortcuts](QWidget& w) {
        if (shortcuts) shortcuts->bindShortcuts(&w);
    };
    vantorel.makeWelcomeWindow =
        WelcomeView::factory(Appearance::shared(), SymbolTable::shared(), bindKeys);
    MenuBarContent content(vantorel.permissions());
    const MenuBarActions actions(content, vantorel, bindKeys);
    MenuBarExtra extra(content, SymbolTable::shared());
    shortcuts = &extra;
    const auto showProblem = [&content](const std::string& text) {
        content.note = text;
        if (content.onChange) content.onChange();
    };
    keyEvents.onGrabProblem = showProblem;
    if (!keyEvents.grabProblem().empty()) showProblem(keyEvents.grabProblem());
    extra.followTrayHost();

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &readable, [&] {
        vantorel.stop();
        ownDefaults.standardSuite().flush();
        instance.close();
    });
    instance.onActivate = [&content] {
        content.trigger(MenuBarContent::Item::Action::openSettings);
    };
    // The panels close with their switch; the program lives on without a window.
    QApplication::setQuitOnLastWindowClosed(false);
    // Once start-up is over (the window list read, the switcher made), what it freed goes back.
    QTimer::singleShot(kSettleMs, qApp, [] { FreedMemory::release(); });
    if (!allowNetwork_) {
        if (const auto lockdown = NetworkLockdown::install()) {
            Log(logger, "app").error("Network access stays open (" + *lockdown + ")");
        }
    }
    return QApplication::exec();
}

}  // namespace vantorel

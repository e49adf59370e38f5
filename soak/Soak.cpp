// Random use of the whole application on the simulated desktop, offscreen: pointer moves, rests,
// panel entries, card clicks and preference changes, with the invariants checked after every
// event and memory compared between a tenth of the run and its end. `soak [EVENTS]`; exits
// non-zero at the first broken invariant, or when a run of 100,000 events or more grew by over 5 %.

// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/VantorelApp.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimWorld.h"

#include <QApplication>
#include <QPointer>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "app/PanelPointer.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"
#include "preview/CardCollectionView.h"
#include "preview/HoverControlButton.h"
#include "preview/PreviewPanelSurface.h"
#include "preview/PreviewPanelView.h"
#include "preview/WindowItemView.h"
#include "widgets/CalendarPanelSurface.h"
#include "widgets/FolderPanelSurface.h"
#include "widgets/MediaPanelSurface.h"
#include "widgets/RemindersPanelSurface.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

std::size_t residentKiB() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) / 1024;
}

// The whole application on the default world, its panels real Qt windows on the offscreen
// platform, driven by random use on virtual time. VANTOREL_SOAK_EVENTS sets the length.
class Soak {
public:
    Soak() : appearance_(nullptr) {
        std::ifstream in(VANTOREL_DEFAULT_WORLD);
        std::stringstream text;
        text << in.rdbuf();
        std::string error;
        world_ = SimWorld::parse(text.str(), &error);
        if (!world_) throw std::runtime_error("the default world is broken: " + error);
        world_->build(desktop_, "/nonexistent");
        desktop_.activateFrontWindowOwner();
        desktop_.logger.setMinimum(LogLevel::error);
        appearance_.setReduceMotionOverride(true);
        PanelFactories panels;
        panels.preview = [this](PreviewState& state) {
            auto surface = makePreviewPanelSurface(state, appearance_, SymbolTable::shared());
            if (auto* real = dynamic_cast<QtPanelSurface*>(surface.get())) {
                panels_.emplace_back(&real->window());
                preview_ = qobject_cast<PreviewPanelView*>(real->window().view());
            }
            return surface;
        };
        const auto adopt = [this](std::unique_ptr<PanelSurface> surface) {
            if (auto* real = dynamic_cast<QtPanelSurface*>(surface.get()))
                panels_.emplace_back(&real->window());
            return surface;
        };
        panels.folder = [this, adopt](FolderState& state) {
            return adopt(makeFolderPanelSurface(state, appearance_));
        };
        panels.media = [this, adopt](MediaState& state) {
            return adopt(makeMediaPanelSurface(state, appearance_));
        };
        panels.calendar = [this, adopt](CalendarState& state) {
            return adopt(makeCalendarPanelSurface(state, appearance_, SymbolTable::shared()));
        };
        panels.reminders = [this, adopt](RemindersState& state) {
            return adopt(makeRemindersPanelSurface(state, appearance_, SymbolTable::shared()));
        };
        // One manual executor plays both actors: settle drains it.
        app_ = std::make_unique<VantorelApp>(desktop_.ports(), loginItems_, executor_, executor_,
                                             panels);
        settle();
        if (!app_->coordinator()) throw std::runtime_error("the coordinator did not start");
    }

    void step() {
        switch (pick(10)) {
            case 0:
            case 1:
            case 2: {  // onto a tile, or near one
                const auto tile = pick(desktop_.dockTiles().size());
                const Point c = desktop_.dockTileFrame(tile).center();
                moveTo({c.x + pick(41) - 20.0, c.y + pick(41) - 20.0});
                break;
            }
            case 3:  // anywhere on the screen
                moveTo({double(pick(1728)), double(pick(1117))});
                break;
            case 4:  // a rest
                for (std::size_t tenths = pick(15); tenths > 0; --tenths)
                    advance(100ms);
                break;
            case 5:
                if (auto* panel = shownPanel()) {
                    const QRect g = panel->geometry();
                    moveTo({g.x() + double(pick(std::max(1, g.width()))),
                            g.y() + double(pick(std::max(1, g.height())))});
                }
                break;
            case 6:
            case 7:
                clickCard();
                break;
            case 8:
                changePreference();
                break;
            default: {  // a window opens, so that clicks do not use them all up
                const auto& apps = world_->apps;
                const auto app = desktop_.workspace.runningApplications(
                    apps[pick(apps.size())].spec.bundleIdentifier.value_or(""));
                // As many as the world starts with at most: memory is compared over the run.
                if (!app.empty() && desktop_.windows.of(app.front().processIdentifier).size() < 4) {
                    SimWindowSpec spec;
                    spec.title = "Soak " + std::to_string(++opened_);
                    spec.frame = Rect(double(pick(900)), 40.0 + pick(500), 600, 400);
                    desktop_.addWindow(app.front().processIdentifier, spec);
                }
            }
        }
    }

    // The invariants; empty when they hold.
    std::string check() {
        // A panel fading out has been hidden; the next may already be up.
        int shown = 0;
        for (const auto& panel : panels_)
            shown += panel && panel->isVisible() && !panel->isFadingOut();
        if (shown > 1) return std::to_string(shown) + " panels shown";
        if (!desktop_.capture.runningStreams().empty() && !shownPanel())
            return "live captures without a shown preview";
        const auto session = app_->coordinator()->thumbnails().session();
        if (session < session_) return "the capture session went back";
        session_ = session;
        maxTimers_ = std::max(maxTimers_, desktop_.scheduler.pendingCount());
        if (desktop_.scheduler.pendingCount() > 64) return "more than 64 timers armed";
        return {};
    }

    std::size_t maxTimers_ = 0;
    std::uint64_t session_ = 0;
    int clicks_ = 0;

private:
    std::size_t pick(std::size_t n) { return n == 0 ? 0 : random_() % n; }
    void settle() {
        for (int i = 0; i < 100; ++i) {
            desktop_.scheduler.runDue();
            QCoreApplication::processEvents();
            // What a running event loop would do: without one, deleteLater never lands.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (executor_.drain() == 0) break;
        }
    }
    void advance(Duration d) {
        desktop_.scheduler.advance(d);
        settle();
    }
    std::vector<QWidget*> windows() {
        std::vector<QWidget*> out;
        for (const auto& panel : panels_)
            out.push_back(panel);
        return out;
    }
    QWidget* shownPanel() {
        for (const auto& panel : panels_) {
            if (panel && panel->isVisible()) return panel;
        }
        return nullptr;
    }
    void moveTo(Point ax) {
        advance(16ms);
        at_ = ax;
        desktop_.movePointerAX(ax, pointer_.route(ax, windows()));
        settle();
    }
    void clickCard() {
        if (!shownPanel() || !preview_ || !preview_->collection()) return;
        const auto count = app_->coordinator()->panel().state().cards().size();
        WindowItemView* card = preview_->collection()->viewAt(static_cast<int>(pick(count)));
        if (!card) return;
        QWidget* target = card;
        if (const auto which = pick(4); which < 2) {
            QWidget* control = which == 0 ? static_cast<QWidget*>(card->closeControl())
                                          : static_cast<QWidget*>(card->minimizeControl());
            if (control) target = control;
        }
        const QPoint c = target->mapToGlobal(target->rect().center());
        moveTo({double(c.x()), double(c.y())});
        pointer_.click(at_);
        ++clicks_;
        settle();
    }
    void changePreference() {
        Preferences& p = app_->preferences();
        switch (pick(6)) {
            case 0:
                p.setPreviewLayout(static_cast<PreviewLayout>(pick(4)));
                break;
            case 1:
                p.setPreviewSize(static_cast<PreviewSize>(pick(3)));
                break;
            case 2:
                p.setLiveThumbnails(pick(2) == 0);
                break;
            case 3:
                p.setCompactThreshold(static_cast<std::int64_t>(pick(10)));
                break;
            case 4:
                p.setShowDelayMS(double(pick(400)));
                break;
            default:
                p.setHideDelayMS(double(pick(400)));
        }
        settle();
    }

    SimDesktop desktop_;
    std::optional<SimWorld> world_;
    Appearance appearance_;
    SimLoginItems loginItems_;
    ManualExecutor executor_;
    std::vector<QPointer<FloatingPanelWindow>> panels_;
    QPointer<PreviewPanelView> preview_;
    PanelPointer pointer_;
    std::unique_ptr<VantorelApp> app_;
    std::mt19937 random_{20261207};
    Point at_;
    int opened_ = 0;
};

}  // namespace
}  // namespace vantorel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says so each time a panel is raised or faded; that is not news.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && !message.startsWith(QLatin1String("This plugin does not")))
            std::cerr << message.toStdString() << "\n";
    });
    const long events = argc > 1 ? std::atol(argv[1]) : 3000;
    QApplication application(argc, argv);
    vantorel::Soak soak;
    std::size_t early = 0;
    for (long n = 1; n <= events; ++n) {
        soak.step();
        if (const std::string broken = soak.check(); !broken.empty()) {
            std::cerr << "soak: after event " << n << ": " << broken << "\n";
            return 1;
        }
        if (n == events / 10) early = vantorel::residentKiB();
    }
    const std::size_t late = vantorel::residentKiB();
    std::cout << "soak: " << events << " events, " << soak.clicks_ << " card clicks, "
              << soak.session_ << " capture sessions, at most " << soak.maxTimers_
              << " timers armed; RSS " << early << " KiB at event " << events / 10 << ", " << late
              << " KiB at the end\n";
    // Only a long run says anything about growth: the start still warms caches.
    if (events >= 100000 && double(late) > double(early) * 1.05) {
        std::cerr << "soak: memory grew by more than 5 %\n";
        return 1;
    }
    return 0;
}

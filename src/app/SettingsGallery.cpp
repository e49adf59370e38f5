// The core's headers before Qt's: Qt's keyword macros would rewrite names in them.
#include "app/LaunchAtLogin.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoginItems.h"
#include "settings/WelcomeController.h"

#include "app/SettingsGallery.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>

#include "platform/qt/Appearance.h"
#include "platform/qt/ReferencePalette.h"
#include "platform/qt/SymbolTable.h"
#include "settings/BundleInfo.h"
#include "settings/SettingsView.h"
#include "settings/WelcomeView.h"

namespace vantorel {
namespace {

bool save(QWidget& view, const QString& path) {
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QApplication::processEvents();
    return view.grab().save(path, "PNG");
}

}  // namespace

int SettingsGallery::run(const QString& directory, std::ostream& out) {
    int written = 0;
    const auto saved = [&](QWidget& view, const QString& file) {
        const QString path = QDir(directory).filePath(file);
        if (!save(view, path)) {
            out << "Could not write " << path.toStdString() << "\n";
            return false;
        }
        out << path.toStdString() << "\n";
        ++written;
        return true;
    };

    // Calendar access granted and the rest not, so both faces of a permission row show.
    SimDesktop desktop;
    desktop.permissionServices.setAuthorizationStatus(EventEntityType::event,
                                                      SimPermissionServices::kFullAccess);
    PermissionsManager permissions(desktop.ports());
    Preferences preferences(desktop.defaults.standard(), desktop.logger);
    SimLoginItems loginItems;
    LaunchAtLogin launch(loginItems, desktop.logger);
    const struct {
        const char* name;
        bool dark;
        bool reduceTransparency;
    } looks[] = {
        {"light", false, false}, {"dark", true, false}, {"reduce-transparency", false, true}};
    for (const auto& look : looks) {
        Appearance appearance(nullptr);
        appearance.setReduceTransparencyOverride(look.reduceTransparency);
        SettingsView view(preferences, permissions, launch, {"1.2", "34"}, appearance,
                          SymbolTable::shared());
        view.setPalette(look.dark ? referenceDarkPalette() : referenceLightPalette());
        if (!saved(view, QStringLiteral("settings-%1.png").arg(look.name))) return -1;
        QScrollBar* bar = view.scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        if (!saved(view, QStringLiteral("settings-%1-end.png").arg(look.name))) return -1;
    }

    for (const bool reduceTransparency : {false, true}) {
        Appearance appearance(nullptr);
        appearance.setReduceTransparencyOverride(reduceTransparency);
        // Each page where it settles.
        appearance.setReduceMotionOverride(true);
        SimDesktop world;
        world.accessibility.setTrusted(false);
        PermissionsManager asked(world.ports());
        WelcomeController controller(asked, world.defaults.standard(), world.scheduler,
                                     world.logger, nullptr);
        WelcomeView view(controller, appearance, SymbolTable::shared());
        const QString suffix =
            reduceTransparency ? QStringLiteral("-reduce-transparency") : QString();
        for (int step = 0; step <= WelcomeController::kLast; ++step) {
            if (!saved(view, QStringLiteral("welcome-%1%2.png").arg(step).arg(suffix))) return -1;
            if (step == WelcomeController::kPermissionsPage && !reduceTransparency) {
                world.accessibility.setTrusted(true);
                asked.checkAccessibility(false);
                if (!saved(view, QStringLiteral("welcome-4-granted.png"))) return -1;
            }
            controller.next();
        }
    }
    return written;
}

}  // namespace vantorel

#include "app/MenuBarActions.h"

#include <QCoreApplication>

#include "app/MenuBarContent.h"
#include "app/VantorelApp.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/SymbolTable.h"
#include "settings/BundleInfo.h"
#include "settings/SettingsView.h"

namespace vantorel {

MenuBarActions::MenuBarActions(MenuBarContent& content, VantorelApp& app,
                               std::function<void(QWidget&)> prepare) {
    content.quit = [] { QCoreApplication::quit(); };
    content.showWelcome = [&app] {
        if (WelcomeController* welcome = app.welcome()) welcome->show();
    };
    content.openSettings = [this, &app, prepare = std::move(prepare)] {
        if (!settings_) {
            settings_ = std::make_unique<SettingsView>(app.preferences(), app.permissions(),
                                                       app.launchAtLogin(), BundleInfo::main(),
                                                       Appearance::shared(), SymbolTable::shared());
            settings_->setAttribute(Qt::WA_QuitOnClose, false);
            if (prepare) prepare(*settings_);
        }
        settings_->present();
    };
}

MenuBarActions::~MenuBarActions() = default;

}  // namespace vantorel

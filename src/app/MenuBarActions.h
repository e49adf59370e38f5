#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace vantorel {

class MenuBarContent;
class SettingsView;
class VantorelApp;

// What the menu's buttons do in a running program: quit, show the welcome window, and open the
// settings window, made when first asked for and then kept (the form is the same each time).
// `prepare` is given the settings window once, when it is made (e.g. to bind the program's keys).
class MenuBarActions {
public:
    MenuBarActions(MenuBarContent& content, VantorelApp& app,
                   std::function<void(QWidget&)> prepare = {});
    ~MenuBarActions();

private:
    std::unique_ptr<SettingsView> settings_;
};

}  // namespace vantorel

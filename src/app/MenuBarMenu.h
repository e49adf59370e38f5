#pragma once

#include <QObject>

#include <map>
#include <memory>

#include "app/MenuBarContent.h"

class QAction;
class QMenu;
class QWidget;

namespace vantorel {

class SymbolTable;

// The menu-bar icon's menu as a QMenu, rebuilt from MenuBarContent whenever a status it shows
// changes. An item with a keyboard shortcut keeps one action across rebuilds, bound for the whole
// application: its key works in every window that was handed to bindShortcuts, the menu's own
// button included, and it is bound once, so no second binding can make it ambiguous.
class MenuBarMenu final : public QObject {
    Q_OBJECT

public:
    // The content must outlive this; its onChange is this menu's from now on.
    MenuBarMenu(MenuBarContent& content, const SymbolTable& symbols, QObject* parent = nullptr);
    ~MenuBarMenu() override;

    QMenu* menu() const { return menu_.get(); }
    void rebuild();
    // Makes the items' shortcuts work while `window` (any top-level window of the program) is
    // the active one.
    void bindShortcuts(QWidget* window);

private:
    QAction* actionFor(const MenuBarContent::Item& item);

    MenuBarContent& content_;
    const SymbolTable& symbols_;
    std::unique_ptr<QMenu> menu_;
    // Children of this, so that clearing the menu leaves them (and their bindings) alone.
    std::map<MenuBarContent::Item::Action, QAction*> shortcutActions_;
};

}  // namespace vantorel

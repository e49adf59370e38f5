#pragma once

#include <QObject>

#include <memory>

#include "app/MenuBarContent.h"

class QMenu;

namespace vantorel {

class SymbolTable;

// The menu-bar icon's menu as a QMenu, rebuilt from MenuBarContent whenever a status it shows
// changes.
class MenuBarMenu final : public QObject {
    Q_OBJECT

public:
    // The content must outlive this; its onChange is this menu's from now on.
    MenuBarMenu(MenuBarContent& content, const SymbolTable& symbols, QObject* parent = nullptr);
    ~MenuBarMenu() override;

    QMenu* menu() const { return menu_.get(); }
    void rebuild();

private:
    MenuBarContent& content_;
    const SymbolTable& symbols_;
    std::unique_ptr<QMenu> menu_;
};

}  // namespace vantorel

#include "app/MenuBarMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "platform/qt/SymbolTable.h"

namespace vantorel {

using Item = MenuBarContent::Item;

MenuBarMenu::MenuBarMenu(MenuBarContent& content, const SymbolTable& symbols, QObject* parent)
    : QObject(parent), content_(content), symbols_(symbols), menu_(std::make_unique<QMenu>()) {
    menu_->setTitle(QStringLiteral("Vantorel"));
    content_.onChange = [this] { rebuild(); };
    rebuild();
}

MenuBarMenu::~MenuBarMenu() {
    content_.onChange = nullptr;
}

void MenuBarMenu::rebuild() {
    menu_->clear();
    for (const Item& item : content_.items()) {
        if (item.kind == Item::Kind::divider) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromStdString(item.title));
        if (!item.symbol.empty()) {
            const QColor ink = menu_->palette().color(QPalette::WindowText);
            action->setIcon(symbols_.icon(QString::fromStdString(item.symbol), ink));
        }
        if (!item.shortcut.empty()) {
            action->setShortcut(QKeySequence::fromString(QString::fromStdString(item.shortcut)));
        }
        // A label is never interactive; a button is while what it opens exists.
        action->setEnabled(item.kind == Item::Kind::button && item.enabled);
        if (item.kind == Item::Kind::button) {
            const Item::Action what = item.action;
            // Queued: the action may rebuild this menu, which deletes the QAction emitting.
            connect(
                action, &QAction::triggered, this, [this, what] { content_.trigger(what); },
                Qt::QueuedConnection);
        }
    }
}

}  // namespace vantorel

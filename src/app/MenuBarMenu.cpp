#include "app/MenuBarMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

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
        QAction* action = actionFor(item);
        menu_->addAction(action);
        action->setText(QString::fromStdString(item.title));
        if (!item.symbol.empty()) {
            const QColor ink = menu_->palette().color(QPalette::WindowText);
            action->setIcon(symbols_.icon(QString::fromStdString(item.symbol), ink));
        }
        // A label is never interactive; a button is while what it opens exists.
        action->setEnabled(item.kind == Item::Kind::button && item.enabled);
    }
}

void MenuBarMenu::bindShortcuts(QWidget* window) {
    if (!window) return;
    for (const auto& [what, action] : shortcutActions_)
        window->addAction(action);
}

QAction* MenuBarMenu::actionFor(const Item& item) {
    const Item::Action what = item.action;
    const bool keeps = !item.shortcut.empty() && item.kind == Item::Kind::button;
    if (keeps) {
        if (auto found = shortcutActions_.find(what); found != shortcutActions_.end()) {
            return found->second;
        }
    }
    auto* action = new QAction(keeps ? static_cast<QObject*>(this) : menu_.get());
    if (keeps) {
        action->setShortcut(QKeySequence::fromString(QString::fromStdString(item.shortcut)));
        action->setShortcutContext(Qt::ApplicationShortcut);
        shortcutActions_.emplace(what, action);
    }
    if (item.kind == Item::Kind::button) {
        // Queued: the action may rebuild this menu, which deletes the QAction emitting.
        connect(
            action, &QAction::triggered, this, [this, what] { content_.trigger(what); },
            Qt::QueuedConnection);
    }
    return action;
}

}  // namespace vantorel

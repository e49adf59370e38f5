#include "app/MenuBarExtra.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QToolButton>

#include "app/MenuBarMenu.h"
#include "platform/qt/SymbolTable.h"
#include "platform/qt/X11SelectionWatch.h"
#include "platform/qt/X11Session.h"

namespace vantorel {
namespace {

QIcon extraIcon(const SymbolTable& symbols, const QColor& ink) {
    return symbols.icon(QString::fromLatin1(MenuBarExtra::kSymbol), ink);
}

}  // namespace

MenuBarExtra::MenuBarExtra(MenuBarContent& content, const SymbolTable& symbols, QObject* parent)
    : QObject(parent), symbols_(symbols), menu_(std::make_unique<MenuBarMenu>(content, symbols)) {}

void MenuBarExtra::followTrayHost() {
    if (trayHost_) return;
    if (X11Session::isActive()) {
        trayHost_ = new X11SelectionWatch("_NET_SYSTEM_TRAY_S", {}, this);
        connect(trayHost_, &X11SelectionWatch::ownerChanged, this,
                [this](std::uint32_t owner) { trayHostChanged(owner); });
        if (trayHost_->isWatching()) {
            trayHostChanged(trayHost_->owner());
            return;
        }
    }
    trayHostChanged(QSystemTrayIcon::isSystemTrayAvailable() ? 1 : 0);
}

void MenuBarExtra::trayHostChanged(std::uint64_t now) {
    if (now == shownTo_) return;
    shownTo_ = now;
    if (now == 0) {
        if (tray_) tray_->hide();
        return;
    }
    // Hidden first: showing again embeds the icon anew, in the new host.
    if (tray_) tray_->hide();
    showInTray();
}

void MenuBarExtra::bindShortcuts(QWidget* window) {
    menu_->bindShortcuts(window);
}

MenuBarExtra::~MenuBarExtra() {
    delete tray_;
}

QMenu* MenuBarExtra::menu() const {
    return menu_->menu();
}

bool MenuBarExtra::showInTray() {
    // A host that just appeared may not be known to Qt yet: the one we were told of counts.
    if (!QSystemTrayIcon::isSystemTrayAvailable() && shownTo_ == 0) return false;
    if (!tray_) {
        tray_ = new QSystemTrayIcon(this);
        // Tray icons sit on the panel's own colours; a mid grey reads on light and dark ones.
        tray_->setIcon(extraIcon(symbols_, QColor(128, 128, 128)));
        tray_->setToolTip(QString::fromLatin1(kTitle));
        tray_->setContextMenu(menu());
        // A left click opens the menu too, as the platform's menu-bar extras do.
        connect(tray_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger) popUp();
                });
    }
    tray_->show();
    return true;
}

QToolButton* MenuBarExtra::makeButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(extraIcon(symbols_, QColor(29, 29, 31)));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setToolTip(QString::fromLatin1(kTitle));
    button->setAccessibleName(QString::fromLatin1(kTitle));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setStyleSheet(
        QStringLiteral("QToolButton { border: none; padding: 2px 6px; }"
                       "QToolButton::menu-indicator { image: none; width: 0; }"
                       "QToolButton:pressed, QToolButton:open {"
                       " background: rgba(0, 0, 0, 40); border-radius: 4px; }"));
    button->setMenu(menu());
    return button;
}

void MenuBarExtra::popUp() {
    QPoint at = QCursor::pos();
    if (tray_ && tray_->isVisible()) {
        const QRect where = tray_->geometry();
        if (where.isValid()) at = where.bottomLeft();
    }
    menu()->popup(at);
}

}  // namespace vantorel

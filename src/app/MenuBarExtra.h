#pragma once

#include <QObject>

#include <memory>

class QMenu;
class QSystemTrayIcon;
class QToolButton;
class QWidget;

namespace vantorel {

class MenuBarContent;
class MenuBarMenu;
class SymbolTable;

// The menu-bar icon: the system tray's icon titled "Vantorel" with its menu where a tray host
// exists, and a button opening the same menu for a window of our own where none does.
class MenuBarExtra final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Vantorel";
    static constexpr const char* kSymbol = "rectangle.on.rectangle.angled";

    MenuBarExtra(MenuBarContent& content, const SymbolTable& symbols, QObject* parent = nullptr);
    ~MenuBarExtra() override;

    // Puts the icon in the system tray; false, and nothing shown, where no tray host exists.
    bool showInTray();
    QSystemTrayIcon* trayIcon() const { return tray_; }

    // A flat button with the same icon that drops the same menu down.
    QToolButton* makeButton(QWidget* parent);
    QMenu* menu() const;
    // Opens the menu where the tray icon is, or else under the pointer.
    void popUp();

private:
    const SymbolTable& symbols_;
    std::unique_ptr<MenuBarMenu> menu_;
    // A child of this; deleted before the menu it shows.
    QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace vantorel

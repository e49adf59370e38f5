#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
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
    static constexpr int kTrayCheckMs = 1000;

    // Which tray host runs: an identity that changes when another one takes over (under X11 the
    // owner of the tray selection), 0 for none.
    using TrayHost = std::function<std::uint64_t()>;
    static std::uint64_t currentTrayHost();

    MenuBarExtra(MenuBarContent& content, const SymbolTable& symbols, QObject* parent = nullptr);
    ~MenuBarExtra() override;

    // Puts the icon in the system tray; false, and nothing shown, where no tray host exists.
    bool showInTray();
    QSystemTrayIcon* trayIcon() const { return tray_; }
    // Keeps the icon in the tray of whichever host runs, now and later: a host that starts after
    // us, or restarts, gets the icon; while none runs it is hidden. Looks every kTrayCheckMs.
    void followTrayHost(TrayHost host = currentTrayHost);
    // One look: what the timer does.
    void checkTrayHost();

    // Makes the menu's shortcuts (Ctrl+Q) work while `window` is the active window.
    void bindShortcuts(QWidget* window);

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
    TrayHost host_;
    std::uint64_t shownTo_ = 0;
    QTimer trayCheck_;
};

}  // namespace vantorel

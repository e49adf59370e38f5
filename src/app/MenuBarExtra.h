#pragma once

#include <QObject>
#include <cstdint>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QToolButton;
class QWidget;

namespace vantorel {

class MenuBarContent;
class MenuBarMenu;
class SymbolTable;
class X11SelectionWatch;

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
    // Keeps the icon in the tray of whichever host runs, now and later: a host that starts after
    // us, or restarts, gets the icon; while none runs it is hidden. Under X11 the owner of the
    // tray selection is followed by the server's notices; elsewhere the tray is looked for once.
    void followTrayHost();
    // Another tray host took over: `host` is its identity (under X11 the selection's owner), 0
    // for none.
    void trayHostChanged(std::uint64_t host);

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
    X11SelectionWatch* trayHost_ = nullptr;
    std::uint64_t shownTo_ = 0;
};

}  // namespace vantorel

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/PermissionsManager.h"

namespace vantorel {

// The menu of the menu-bar icon, as data: which items it has for the current permission
// statuses, and what each does. A toolkit adapter draws it and rebuilds it on onChange.
// Main thread only.
class MenuBarContent {
public:
    struct Item {
        enum class Kind { button, label, divider };
        enum class Action {
            none,
            enableAccessibility,
            enableScreenRecording,
            showWelcome,
            openSettings,
            quit,
        };

        Kind kind = Kind::button;
        Action action = Action::none;
        std::string title;
        // A system symbol name; empty for none.
        std::string symbol;
        // In the toolkit's portable text form ("Ctrl+Q"); empty for none.
        std::string shortcut;
        bool enabled = true;

        friend bool operator==(const Item&, const Item&) = default;
    };

    // Observes permissions (which must outlive this) from construction on.
    explicit MenuBarContent(PermissionsManager& permissions);
    ~MenuBarContent();
    MenuBarContent(const MenuBarContent&) = delete;
    MenuBarContent& operator=(const MenuBarContent&) = delete;

    // Top to bottom, for the statuses as they are now.
    std::vector<Item> items() const;
    // Does what the item with this action does; nothing for an item that is disabled or absent.
    void trigger(Item::Action action);

    // Called when an observed status changed, so the items may have.
    std::function<void()> onChange;

    // What the window items open. While unset, their item is shown disabled: the window does not
    // exist in this build.
    std::function<void()> showWelcome;
    std::function<void()> openSettings;
    // Ends the application.
    std::function<void()> quit;
    // Something the user should know that stops part of the program, shown first; empty for
    // none. Call onChange after setting it.
    std::string note;

private:
    PermissionsManager& permissions_;
    PermissionsManager::ListenerId listener_;
};

}  // namespace vantorel

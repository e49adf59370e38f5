#include "app/MenuBarContent.h"

#include <algorithm>

namespace vantorel {
namespace {

using Item = MenuBarContent::Item;
using Kind = Item::Kind;
using Action = Item::Action;
using Permission = PermissionsManager::Permission;
using Status = PermissionsManager::Status;

Item button(Action action, std::string title, bool enabled = true, std::string shortcut = {}) {
    Item item;
    item.kind = Kind::button;
    item.action = action;
    item.title = std::move(title);
    item.shortcut = std::move(shortcut);
    item.enabled = enabled;
    return item;
}

}  // namespace

MenuBarContent::MenuBarContent(PermissionsManager& permissions) : permissions_(permissions) {
    listener_ = permissions_.addListener([this](Permission permission) {
        // Calendar and Reminders access have no items.
        if (permission != Permission::accessibility && permission != Permission::screenRecording) {
            return;
        }
        if (onChange) onChange();
    });
}

MenuBarContent::~MenuBarContent() {
    permissions_.removeListener(listener_);
}

std::vector<Item> MenuBarContent::items() const {
    const bool accessibility = permissions_.accessibility() == Status::granted;
    const bool screenRecording = permissions_.screenRecording() == Status::granted;

    std::vector<Item> items;
    if (!note.empty()) {
        Item label;
        label.kind = Kind::label;
        label.title = note;
        label.symbol = "exclamationmark";
        label.enabled = false;
        items.push_back(label);
    }
    if (!accessibility)
        items.push_back(button(Action::enableAccessibility, "Enable Accessibility…"));
    if (!screenRecording) {
        items.push_back(button(Action::enableScreenRecording, "Enable Screen Recording…"));
    }
    if (accessibility && screenRecording) {
        Item label;
        label.kind = Kind::label;
        label.title = "Vantorel is active";
        label.symbol = "checkmark.circle";
        label.enabled = false;
        items.push_back(label);
    }
    Item divider;
    divider.kind = Kind::divider;
    divider.enabled = false;
    items.push_back(divider);
    items.push_back(button(Action::showWelcome, "Welcome to Vantorel…", bool(showWelcome)));
    items.push_back(button(Action::openSettings, "Settings…", bool(openSettings)));
    items.push_back(button(Action::quit, "Quit Vantorel", bool(quit), "Ctrl+Q"));
    return items;
}

void MenuBarContent::trigger(Action action) {
    const auto current = items();
    const bool available = std::any_of(current.begin(), current.end(), [action](const Item& item) {
        return item.kind == Kind::button && item.action == action && item.enabled;
    });
    if (!available) return;
    // Copies: what they do may replace the handlers, or this content with them.
    std::function<void()> handler;
    switch (action) {
        case Action::enableAccessibility:
            permissions_.openSettings(Permission::accessibility);
            break;
        case Action::enableScreenRecording:
            permissions_.openSettings(Permission::screenRecording);
            break;
        case Action::showWelcome:
            handler = showWelcome;
            break;
        case Action::openSettings:
            handler = openSettings;
            break;
        case Action::quit:
            handler = quit;
            break;
        case Action::none:
            break;
    }
    if (handler) handler();
}

}  // namespace vantorel

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Observers.h"
#include "windows/WindowInfo.h"

namespace vantorel {

// The model the switcher's views draw: one card per window, in display order, and the
// highlighted card. Views subscribe and redraw what a change touched. Main thread only.
class SwitcherState {
public:
    struct Item {
        // The window's id; identifies the card.
        std::uint32_t id = 0;
        WindowInfo window;
        // The owning application's name; empty when it is not found.
        std::string appName;
        ImageRef appIcon;
        // The window's still image once captured.
        ImageRef thumbnail;

        // The window's title, or the application's name when the window has none.
        const std::string& displayTitle() const {
            return window.title.empty() ? appName : window.title;
        }
    };

    struct Change {
        enum class Kind {
            // The list of items (and with it, perhaps, the selection).
            items,
            selection,
            // One card's image (the first card with `cardID`).
            thumbnail,
            // The widest the view may grow.
            maxWidth,
        };
        Kind kind = Kind::items;
        std::uint32_t cardID = 0;
    };
    using Subscription = Observers<Change>::Subscription;

    // The widest the view may be where no screen is known.
    static constexpr double kDefaultMaxWidth = 1440;

    SwitcherState() = default;
    SwitcherState(const SwitcherState&) = delete;
    SwitcherState& operator=(const SwitcherState&) = delete;

    [[nodiscard]] Subscription observe(std::function<void(const Change&)> observer) {
        return observers_.subscribe(std::move(observer));
    }

    const std::vector<Item>& items() const { return items_; }
    int selectedIndex() const { return selectedIndex_; }
    // Replaces the items and selects `requested` clamped into range (0 for no items).
    void setItems(std::vector<Item> items, int requested);
    // Written only when it differs; not clamped.
    void setSelectedIndex(int index);
    // The item at the selection; null when the selection is out of range.
    const Item* selectedItem() const;
    // Gives the first card with `id` the image; nothing when no card has it.
    void setThumbnail(ImageRef image, std::uint32_t id);

    double maxWidth() const { return maxWidth_; }
    void setMaxWidth(double width);

private:
    void changed(Change change) const { observers_.notify(change); }

    std::vector<Item> items_;
    int selectedIndex_ = 0;
    double maxWidth_ = kDefaultMaxWidth;
    Observers<Change> observers_;
};

}  // namespace vantorel

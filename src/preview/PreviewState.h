#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Observers.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewSize.h"
#include "windows/WindowInfo.h"

namespace vantorel {

// The model the preview views draw: the hovered application and one card per window. Views
// subscribe to its changes and redraw what the change touched. Main thread only.
class PreviewState {
public:
    struct Card {
        // The window's id, unique among the cards of one enumeration.
        std::uint32_t id = 0;
        WindowInfo window;
        // The window's title, or the application name when the window has none.
        std::string title;
        // Latest captured image; empty until the first capture lands.
        ImageRef thumbnail;
        bool isActive = false;
    };

    struct Change {
        enum class Kind {
            // Application name, icon and the list of cards: everything may differ.
            content,
            // One card's thumbnail (the first card with `cardID`).
            thumbnail,
            // One card's active flag (the first card with `cardID`).
            active,
            // Layout, card size or compact threshold.
            settings,
        };
        Kind kind = Kind::content;
        std::uint32_t cardID = 0;
    };
    using Subscription = Observers<Change>::Subscription;

    PreviewState() = default;
    PreviewState(const PreviewState&) = delete;
    PreviewState& operator=(const PreviewState&) = delete;

    // Called with a card's window when the user activates it, asks to close it, or asks to
    // minimise or restore it. Set once by the owner; reached only through the requests below.
    std::function<void(const WindowInfo&)> onActivate;
    std::function<void(const WindowInfo&)> onClose;
    std::function<void(const WindowInfo&)> onMinimizeToggle;

    // What a card asks for on the user's behalf. Passed on to the callback only while the panel
    // is shown and a card still shows this very window; a request from a card that is gone (a
    // click or an assistive action racing a hide or a close) does nothing and returns false.
    bool requestActivate(const WindowInfo& window) const;
    bool requestClose(const WindowInfo& window) const;
    bool requestMinimizeToggle(const WindowInfo& window) const;
    // A card shows `window`: same id, window number, element, owner and minimised flag. Ids
    // alone may collide between minimised windows.
    bool showsWindow(const WindowInfo& window) const;

    // Whether the panel is up for the user; set by the panel as it shows and hides. Cards act,
    // and are offered to assistive tools, only while it is.
    void setShown(bool shown) { shown_ = shown; }
    bool isShown() const { return shown_; }

    [[nodiscard]] Subscription observe(std::function<void(const Change&)> observer) {
        return observers_.subscribe(std::move(observer));
    }
    // Grows with every change; a view that polls can compare it with what it last drew.
    std::uint64_t revision() const { return revision_; }

    // Replaces the application and every card, one new card per window in order. The old
    // cards and their images are dropped.
    void update(std::string appName, ImageRef appIcon, const std::vector<WindowInfo>& windows);
    // Gives the first card with `id` this image (or none). An image for a window no card shows
    // any more is dropped, as is a malformed one (it becomes no image).
    void setThumbnail(ImageRef image, std::uint32_t id);
    // Lets every card's image go: a hidden panel holds no frames.
    void releaseThumbnails();
    // Removes every card with `id`, so a closed window's card goes at once.
    void removeCard(std::uint32_t id);
    void setActive(std::uint32_t id, bool active);

    const std::string& appName() const { return appName_; }
    const ImageRef& appIcon() const { return appIcon_; }
    const std::vector<Card>& cards() const { return cards_; }

    PreviewLayout layout() const { return layout_; }
    PreviewSize previewSize() const { return previewSize_; }
    int compactThreshold() const { return compactThreshold_; }
    void setLayout(PreviewLayout layout);
    void setPreviewSize(PreviewSize size);
    void setCompactThreshold(int threshold);

    // The layout the views draw: the chosen one, except that the automatic row turns into the
    // compact list when there are more cards than the threshold.
    PreviewLayout effectiveLayout() const;

private:
    Card* firstCard(std::uint32_t id);
    bool request(const std::function<void(const WindowInfo&)>& callback,
                 const WindowInfo& window) const;
    void changed(Change change);

    std::string appName_;
    ImageRef appIcon_;
    std::vector<Card> cards_;
    PreviewLayout layout_ = PreviewLayout::automatic;
    PreviewSize previewSize_ = PreviewSize::medium;
    int compactThreshold_ = 6;
    std::uint64_t revision_ = 0;
    bool shown_ = false;
    Observers<Change> observers_;
};

}  // namespace vantorel

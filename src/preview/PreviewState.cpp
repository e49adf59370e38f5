#include "preview/PreviewState.h"

#include <algorithm>

namespace vantorel {

void PreviewState::update(std::string appName, ImageRef appIcon,
                          const std::vector<WindowInfo>& windows) {
    appName_ = std::move(appName);
    appIcon_ = (appIcon && appIcon->isValid()) ? std::move(appIcon) : nullptr;
    std::vector<Card> cards;
    cards.reserve(windows.size());
    for (const WindowInfo& window : windows) {
        cards.push_back(
            {window.id, window, window.title.empty() ? appName_ : window.title, nullptr, false});
    }
    cards_ = std::move(cards);
    changed({Change::Kind::content, 0});
}

void PreviewState::setThumbnail(ImageRef image, std::uint32_t id) {
    Card* card = firstCard(id);
    if (!card) return;
    if (image && !image->isValid()) image = nullptr;
    if (card->thumbnail == image) return;
    card->thumbnail = std::move(image);
    changed({Change::Kind::thumbnail, id});
}

void PreviewState::releaseThumbnails() {
    for (Card& card : cards_) {
        if (!card.thumbnail) continue;
        card.thumbnail = nullptr;
        changed({Change::Kind::thumbnail, card.id});
    }
}

void PreviewState::removeCard(std::uint32_t id) {
    if (std::erase_if(cards_, [id](const Card& card) { return card.id == id; }) == 0) return;
    changed({Change::Kind::content, 0});
}

void PreviewState::setActive(std::uint32_t id, bool active) {
    Card* card = firstCard(id);
    if (!card || card->isActive == active) return;
    card->isActive = active;
    changed({Change::Kind::active, id});
}

void PreviewState::setLayout(PreviewLayout layout) {
    if (layout_ == layout) return;
    layout_ = layout;
    changed({Change::Kind::settings, 0});
}

void PreviewState::setPreviewSize(PreviewSize size) {
    if (previewSize_ == size) return;
    previewSize_ = size;
    changed({Change::Kind::settings, 0});
}

void PreviewState::setCompactThreshold(int threshold) {
    if (compactThreshold_ == threshold) return;
    compactThreshold_ = threshold;
    changed({Change::Kind::settings, 0});
}

PreviewLayout PreviewState::effectiveLayout() const {
    if (layout_ != PreviewLayout::automatic) return layout_;
    // Compared in the wider type: a negative threshold means "always the list".
    return static_cast<long long>(cards_.size()) > compactThreshold_ ? PreviewLayout::list
                                                                     : PreviewLayout::automatic;
}

bool PreviewState::requestActivate(const WindowInfo& window) const {
    return request(onActivate, window);
}

bool PreviewState::requestClose(const WindowInfo& window) const {
    return request(onClose, window);
}

bool PreviewState::requestMinimizeToggle(const WindowInfo& window) const {
    return request(onMinimizeToggle, window);
}

bool PreviewState::showsWindow(const WindowInfo& window) const {
    return std::any_of(cards_.begin(), cards_.end(), [&window](const Card& card) {
        const WindowInfo& shown = card.window;
        return shown.id == window.id && shown.cgWindowID == window.cgWindowID &&
               shown.axElement == window.axElement && shown.ownerPID == window.ownerPID &&
               shown.isMinimized == window.isMinimized;
    });
}

bool PreviewState::request(const std::function<void(const WindowInfo&)>& callback,
                           const WindowInfo& window) const {
    if (!callback || !shown_ || !showsWindow(window)) return false;
    // Copies of both: the callback may change the cards, and with them the window's card.
    const auto target = callback;
    const WindowInfo copy = window;
    target(copy);
    return true;
}

PreviewState::Card* PreviewState::firstCard(std::uint32_t id) {
    const auto it = std::find_if(cards_.begin(), cards_.end(),
                                 [id](const Card& card) { return card.id == id; });
    return it == cards_.end() ? nullptr : &*it;
}

void PreviewState::changed(Change change) {
    ++revision_;
    observers_.notify(change);
}

}  // namespace vantorel

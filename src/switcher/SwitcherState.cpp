#include "switcher/SwitcherState.h"

#include <algorithm>
#include <cmath>

namespace vantorel {

void SwitcherState::setItems(std::vector<Item> items, int requested) {
    items_ = std::move(items);
    const int last = static_cast<int>(items_.size()) - 1;
    const int selection = items_.empty() ? 0 : std::clamp(requested, 0, last);
    const bool moved = selection != selectedIndex_;
    selectedIndex_ = selection;
    changed({Change::Kind::items, 0});
    if (moved) changed({Change::Kind::selection, 0});
}

void SwitcherState::setSelectedIndex(int index) {
    if (index == selectedIndex_) return;
    selectedIndex_ = index;
    changed({Change::Kind::selection, 0});
}

const SwitcherState::Item* SwitcherState::selectedItem() const {
    if (selectedIndex_ < 0 || static_cast<std::size_t>(selectedIndex_) >= items_.size())
        return nullptr;
    return &items_[static_cast<std::size_t>(selectedIndex_)];
}

void SwitcherState::setThumbnail(ImageRef image, std::uint32_t id) {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [id](const Item& item) { return item.id == id; });
    if (it == items_.end()) return;
    it->thumbnail = std::move(image);
    changed({Change::Kind::thumbnail, id});
}

void SwitcherState::setMaxWidth(double width) {
    if (!std::isfinite(width) || width <= 0) width = kDefaultMaxWidth;
    if (width == maxWidth_) return;
    maxWidth_ = width;
    changed({Change::Kind::maxWidth, 0});
}

}  // namespace vantorel

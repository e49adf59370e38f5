#include "preview/PreviewSelection.h"

namespace vantorel {

std::optional<std::size_t> selectedCardIndex(const std::vector<PreviewState::Card>& cards,
                                             std::optional<std::uint32_t> selectedID) {
    if (cards.empty()) return std::nullopt;
    if (selectedID) {
        for (std::size_t i = 0; i < cards.size(); ++i) {
            if (cards[i].id == *selectedID) return i;
        }
    }
    return 0;
}

std::optional<std::uint32_t> correctedSelection(const std::vector<PreviewState::Card>& cards,
                                                std::optional<std::uint32_t> selectedID) {
    const std::optional<std::size_t> index = selectedCardIndex(cards, selectedID);
    if (!index) return std::nullopt;
    return cards[*index].id;
}

}  // namespace vantorel

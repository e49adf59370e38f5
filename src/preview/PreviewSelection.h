#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "preview/PreviewState.h"

namespace vantorel {

// The large layout's selection: which card is shown large.

// The card `selectedID` names, else the first card; none without cards.
std::optional<std::size_t> selectedCardIndex(const std::vector<PreviewState::Card>& cards,
                                             std::optional<std::uint32_t> selectedID);

// The selection to keep after the cards changed: `selectedID` while it names a card, else the
// first card's id; none without cards.
std::optional<std::uint32_t> correctedSelection(const std::vector<PreviewState::Card>& cards,
                                                std::optional<std::uint32_t> selectedID);

}  // namespace vantorel

#pragma once

#include "widgets/RemindersState.h"
#include "widgets/WidgetListView.h"

namespace vantorel {

// The content of the reminders panel: "Reminders" with the number of items, above the due
// reminders, each a row with its list's colour, the priority mark, its title and due line, or
// "Nothing due today". Six rows show; more scroll.
class RemindersPopoverView final : public WidgetListView {
    Q_OBJECT

public:
    static constexpr int kRowPitch = 52;
    static constexpr int kVisibleRows = 6;
    static constexpr int kCircleSide = 15;
    static constexpr int kRowSpacing = 10;

    RemindersPopoverView(RemindersState& state, Appearance& appearance, const SymbolTable& symbols,
                         QWidget* parent = nullptr);

    // The list's height for a number of items: six rows at most, each with its share of gaps.
    static int listHeightFor(std::size_t count);

private:
    void rebuild();

    RemindersState& state_;
    RemindersState::Subscription subscription_;
};

}  // namespace vantorel

#pragma once

#include "widgets/CalendarState.h"
#include "widgets/WidgetListView.h"

namespace vantorel {

// The content of the calendar panel: today's date above today's events, each a row with its
// calendar's colour bar, title, time and location, or "No events today". Six rows show; more
// scroll.
class CalendarPopoverView final : public WidgetListView {
    Q_OBJECT

public:
    static constexpr int kMaxListHeight = 344;
    static constexpr int kBarWidth = 4;
    static constexpr int kBarHeight = 34;
    static constexpr int kBarGap = 10;

    CalendarPopoverView(CalendarState& state, Appearance& appearance, const SymbolTable& symbols,
                        QWidget* parent = nullptr);

private:
    void rebuild();

    CalendarState& state_;
    CalendarState::Subscription subscription_;
};

}  // namespace vantorel

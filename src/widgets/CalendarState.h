#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Observers.h"
#include "widgets/WidgetColor.h"

namespace vantorel {

// The model the calendar popover draws: today's date as a label and today's events in display
// order. Filled by the coordinator before each show and kept while hidden. Main thread only.
class CalendarState {
public:
    // One event row; never changes once made.
    struct Event {
        std::string id;
        std::string title;
        std::string timeText;
        std::optional<std::string> location;
        bool isAllDay = false;
        WidgetColor color;
    };
    using EventRef = std::shared_ptr<const Event>;
    using Subscription = Observers<int>::Subscription;

    CalendarState() = default;
    CalendarState(const CalendarState&) = delete;
    CalendarState& operator=(const CalendarState&) = delete;

    // Run when the user clicks an event. Set once by the owner.
    std::function<void()> onOpenCalendar;

    [[nodiscard]] Subscription observe(std::function<void()> observer) {
        return observers_.subscribe([observer = std::move(observer)](const int&) { observer(); });
    }

    const std::string& dayLabel() const { return dayLabel_; }
    const std::vector<EventRef>& events() const { return events_; }
    // Replaces both, telling observers once.
    void update(std::string dayLabel, std::vector<EventRef> events);

private:
    std::string dayLabel_;
    std::vector<EventRef> events_;
    Observers<int> observers_;
};

}  // namespace vantorel

#include "widgets/CalendarState.h"

namespace vantorel {

void CalendarState::update(std::string dayLabel, std::vector<EventRef> events) {
    dayLabel_ = std::move(dayLabel);
    events_ = std::move(events);
    observers_.notify(0);
}

}  // namespace vantorel

#include "platform/sim/SimEventStore.h"

#include <utility>

#include "platform/PermissionServices.h"
#include "platform/UserCalendar.h"

namespace vantorel {

std::int64_t SimEventStore::authorizationStatus(EventEntityType type) {
    return permissions_.authorizationStatus(type);
}

std::optional<std::vector<double>> SimEventStore::colorOf(const std::vector<Calendar>& calendars,
                                                          std::optional<std::size_t> index) {
    if (!index || *index >= calendars.size()) return std::nullopt;
    return calendars[*index].color;
}

std::vector<StoreEvent> SimEventStore::events(WallTime start, WallTime end) {
    std::vector<StoreEvent> found;
    for (const auto& item : events_) {
        const StoreEvent& event = item.event;
        // Without a start the store cannot place it, and hands it back whatever the window.
        bool overlaps = true;
        if (event.startDate) {
            const WallTime last = event.endDate.value_or(*event.startDate);
            overlaps = *event.startDate < end &&
                       (last > start || (last == *event.startDate && last >= start));
        }
        if (!overlaps) continue;
        found.push_back(event);
        if (!found.back().calendarColor)
            found.back().calendarColor = colorOf(calendars_, item.calendar);
    }
    return found;
}

void SimEventStore::fetchIncompleteReminders(std::optional<WallTime> dueStart,
                                             std::optional<WallTime> dueEnd,
                                             RemindersCompletion completion) {
    ++fetches_;
    if (fetchLost_) return;
    std::vector<StoreReminder> found;
    for (const auto& item : reminders_) {
        const StoreReminder& reminder = item.reminder;
        if (reminder.isCompleted || !reminder.dueDateComponents) continue;
        const std::optional<WallTime> due = calendar_.date(*reminder.dueDateComponents);
        if (!due || (dueStart && *due < *dueStart) || (dueEnd && *due >= *dueEnd)) continue;
        found.push_back(reminder);
        if (!found.back().listColor) found.back().listColor = colorOf(lists_, item.list);
    }
    scheduler_.schedule(fetchDelay_,
                        [completion = std::move(completion), found = std::move(found)]() mutable {
                            if (completion) completion(std::move(found));
                        });
}

std::size_t SimEventStore::addCalendar(Calendar calendar) {
    calendars_.push_back(std::move(calendar));
    return calendars_.size() - 1;
}

std::size_t SimEventStore::addReminderList(Calendar list) {
    lists_.push_back(std::move(list));
    return lists_.size() - 1;
}

void SimEventStore::clear() {
    calendars_.clear();
    events_.clear();
    lists_.clear();
    reminders_.clear();
}

}  // namespace vantorel

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/EventStore.h"
#include "platform/Scheduler.h"

namespace vantorel {

class PermissionServices;
class UserCalendar;

// The calendars and reminders of the simulated desktop. Authorisation is the privacy services'
// (one platform, one record). Events come back in the order they were added; a reminders fetch
// answers on the scheduler after a delay (none by default, still never inside the call), or
// never when told to lose it.
class SimEventStore final : public EventStore {
public:
    struct Calendar {
        std::string title;
        // None: a calendar without a colour.
        std::optional<std::vector<double>> color;
    };
    struct Event {
        StoreEvent event;
        // Index into the calendars; none or out of range: no calendar.
        std::optional<std::size_t> calendar;
    };
    struct Reminder {
        StoreReminder reminder;
        std::optional<std::size_t> list;
    };

    SimEventStore(PermissionServices& permissions, UserCalendar& calendar, Scheduler& scheduler)
        : permissions_(permissions), calendar_(calendar), scheduler_(scheduler) {}

    std::int64_t authorizationStatus(EventEntityType type) override;
    std::vector<StoreEvent> events(WallTime start, WallTime end) override;
    void fetchIncompleteReminders(std::optional<WallTime> dueStart, std::optional<WallTime> dueEnd,
                                  RemindersCompletion completion) override;

    // Control side.
    std::size_t addCalendar(Calendar calendar);
    void addEvent(Event event) { events_.push_back(std::move(event)); }
    std::size_t addReminderList(Calendar list);
    void addReminder(Reminder reminder) { reminders_.push_back(std::move(reminder)); }
    void clear();
    void setFetchDelay(Duration delay) { fetchDelay_ = delay; }
    // The fetch never completes, as a store that loses the request.
    void setFetchLost(bool lost) { fetchLost_ = lost; }
    std::size_t fetchCount() const { return fetches_; }
    const std::vector<Calendar>& calendars() const { return calendars_; }

private:
    static std::optional<std::vector<double>> colorOf(const std::vector<Calendar>& calendars,
                                                      std::optional<std::size_t> index);

    PermissionServices& permissions_;
    UserCalendar& calendar_;
    Scheduler& scheduler_;
    std::vector<Calendar> calendars_;
    std::vector<Event> events_;
    std::vector<Calendar> lists_;
    std::vector<Reminder> reminders_;
    Duration fetchDelay_ = Duration::zero();
    bool fetchLost_ = false;
    std::size_t fetches_ = 0;
};

}  // namespace vantorel

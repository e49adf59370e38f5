#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/EventStore.h"
#include "widgets/ReminderItem.h"

namespace vantorel {

class Scheduler;
class UserCalendar;

// The incomplete reminders due today or overdue, with the rules for their due text, colour and
// order. Holds no state but its lifetime: a fetch that completes after it is gone is dropped.
class RemindersService {
public:
    using Done = std::function<void(std::vector<ReminderItem>)>;

    RemindersService(EventStore& store, UserCalendar& calendar, Scheduler& scheduler);
    ~RemindersService();
    RemindersService(const RemindersService&) = delete;
    RemindersService& operator=(const RemindersService&) = delete;

    // Fetches and answers on the main thread, once (never inside this call). Empty without
    // full access.
    void dueReminders(Done done);

    // The items of fetched reminders at `now`, in display order: overdue first, then by title
    // in plain code-point order, the fetch's order kept between equals.
    std::vector<ReminderItem> items(const std::vector<StoreReminder>& reminders, WallTime now);

private:
    EventStore& store_;
    UserCalendar& calendar_;
    Scheduler& scheduler_;
    std::shared_ptr<RemindersService*> self_;
};

}  // namespace vantorel

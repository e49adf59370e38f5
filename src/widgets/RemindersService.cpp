#include "widgets/RemindersService.h"

#include <algorithm>
#include <atomic>

#include "platform/Scheduler.h"
#include "platform/UserCalendar.h"

namespace vantorel {
namespace {

constexpr std::int64_t kFullAccess = 3;

}  // namespace

RemindersService::RemindersService(EventStore& store, UserCalendar& calendar, Scheduler& scheduler)
    : store_(store),
      calendar_(calendar),
      scheduler_(scheduler),
      self_(std::make_shared<RemindersService*>(this)) {}

RemindersService::~RemindersService() = default;

void RemindersService::dueReminders(Done done) {
    if (store_.authorizationStatus(EventEntityType::reminder) != kFullAccess) {
        scheduler_.post([done = std::move(done)] { done({}); });
        return;
    }
    const std::optional<WallTime> start = calendar_.startOfDay(calendar_.now());
    const std::optional<WallTime> end = start ? calendar_.addingDays(*start, 1) : std::nullopt;
    // The store may answer on any thread, twice, or inside this call: only the first answer
    // counts, and it is carried to the main thread before anything reads it.
    auto answered = std::make_shared<std::atomic<bool>>(false);
    std::weak_ptr<RemindersService*> weak = self_;
    auto shared = std::make_shared<Done>(std::move(done));
    store_.fetchIncompleteReminders(
        std::nullopt, end,
        [weak, answered, shared,
         &scheduler = scheduler_](std::optional<std::vector<StoreReminder>> found) {
            if (answered->exchange(true)) return;
            scheduler.post([weak, shared, found = std::move(found)] {
                auto self = weak.lock();
                if (!self) return;
                RemindersService& service = **self;
                (*shared)(found ? service.items(*found, service.calendar_.now())
                                : std::vector<ReminderItem>{});
            });
        });
}

std::vector<ReminderItem> RemindersService::items(const std::vector<StoreReminder>& reminders,
                                                  WallTime now) {
    std::vector<ReminderItem> items;
    items.reserve(reminders.size());
    for (const StoreReminder& reminder : reminders) {
        if (reminder.isCompleted) continue;
        const std::optional<WallTime> due =
            reminder.dueDateComponents ? calendar_.date(*reminder.dueDateComponents) : std::nullopt;
        ReminderItem item;
        item.id = reminder.calendarItemIdentifier.value_or(std::string());
        item.title = reminder.title ? *reminder.title : "(No title)";
        item.isOverdue = due && *due < now;
        if (due)
            item.dueText = (item.isOverdue ? "Overdue · " : "Today · ") + calendar_.shortTime(*due);
        item.isHighPriority = reminder.priority >= 1 && reminder.priority <= 4;
        item.colorRGBA = reminder.listColor && !reminder.listColor->empty()
                             ? *reminder.listColor
                             : std::vector<double>{0.4, 0.4, 0.4, 1.0};
        items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(), [](const ReminderItem& a, const ReminderItem& b) {
        if (a.isOverdue != b.isOverdue) return a.isOverdue;
        return a.title < b.title;
    });
    return items;
}

}  // namespace vantorel

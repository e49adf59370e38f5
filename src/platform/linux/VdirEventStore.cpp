#include "platform/linux/VdirEventStore.h"

#include <utility>

#include "platform/Executor.h"
#include "platform/Logger.h"
#include "platform/UserCalendar.h"

namespace vantorel {
namespace {

// Occurrences of one recurring event within one read: a rule repeating every second stops here.
constexpr std::size_t kMaxOccurrences = 10'000;

}  // namespace

struct VdirEventStore::Tasks {
    Tasks(std::string path, VdirRoot::Limits limits, Logger& logger, UserCalendar& user)
        : root(std::move(path), limits, logger), calendar(user) {}

    VdirRoot root;
    UserCalendar& calendar;
};

VdirEventStore::Settings VdirEventStore::Settings::defaults(const char* dataHome,
                                                            const char* home) {
    std::string base;
    if (dataHome && dataHome[0] == '/') {
        base = dataHome;
    } else {
        base = std::string(home ? home : "") + "/.local/share";
    }
    base += "/vantorel";
    return {base + "/calendars", base + "/tasks", {}};
}

VdirEventStore::VdirEventStore(Settings settings, UserCalendar& calendar, Executor& tasksExecutor,
                               Logger& logger)
    : calendar_(calendar),
      executor_(tasksExecutor),
      logger_(logger),
      calendars_(std::move(settings.calendars), settings.limits, logger),
      tasks_(
          std::make_shared<Tasks>(std::move(settings.tasks), settings.limits, logger, calendar)) {}

VdirEventStore::~VdirEventStore() = default;

std::int64_t VdirEventStore::authorizationStatus(EventEntityType type) {
    return (type == EventEntityType::event ? calendars_ : tasks_->root).authorization();
}

void VdirEventStore::requestFullAccess(EventEntityType type,
                                       const std::function<void(AccessRequestAnswer)>& completion) {
    VdirRoot& root = type == EventEntityType::event ? calendars_ : tasks_->root;
    std::string problem;
    AccessRequestAnswer answer;
    answer.granted = root.requestAccess(problem);
    if (!problem.empty()) answer.error = "Could not make " + root.path() + ": " + problem;
    if (completion) completion(answer);
}

std::vector<StoreEvent> VdirEventStore::events(WallTime start, WallTime end) {
    std::vector<StoreEvent> found;
    for (const VdirRoot::Collection& collection : calendars_.read()) {
        bool bounded = false;
        for (const auto& file : collection.files) {
            for (StoreEvent& event :
                 file->events(start, end, calendar_, kMaxOccurrences, bounded)) {
                event.calendarColor = collection.color;
                found.push_back(std::move(event));
            }
        }
        if (bounded)
            Log(logger_, "app")
                .error("Repeating events of \"" + collection.displayName + "\" (" +
                       collection.path + ") stop at " + std::to_string(kMaxOccurrences) +
                       " occurrences");
    }
    return found;
}

void VdirEventStore::fetchIncompleteReminders(std::optional<WallTime> dueStart,
                                              std::optional<WallTime> dueEnd,
                                              RemindersCompletion completion) {
    executor_.post([tasks = tasks_, dueStart, dueEnd, completion = std::move(completion)] {
        std::vector<StoreReminder> found;
        for (const VdirRoot::Collection& list : tasks->root.read()) {
            for (const auto& file : list.files) {
                for (StoreReminder& reminder : file->todos(tasks->calendar)) {
                    if (reminder.isCompleted || !reminder.dueDateComponents) continue;
                    const auto due = tasks->calendar.date(*reminder.dueDateComponents);
                    if (!due || (dueStart && *due < *dueStart) || (dueEnd && *due >= *dueEnd))
                        continue;
                    reminder.listColor = list.color;
                    found.push_back(std::move(reminder));
                }
            }
        }
        if (completion) completion(std::move(found));
    });
}

}  // namespace vantorel

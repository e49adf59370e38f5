#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/EventStore.h"
#include "platform/PermissionServices.h"
#include "platform/linux/VdirRoot.h"

namespace vantorel {

class Executor;
class Logger;
class UserCalendar;

// The user's calendars and task lists in vdir folders: events from the calendars' root, reminders
// from the tasks' root, each collection's colour that of its items. Authorisation is the root's:
// granted when it can be read, denied when it exists and cannot, not determined while it does not
// exist (asking makes it). Events are read on the caller's thread, as the calendar asks for them;
// reminders on the executor, where their completion is called. Each read sees what changed on disk
// since the last one; nothing is read in between.
class VdirEventStore final : public EventStore {
public:
    struct Settings {
        std::string calendars;
        std::string tasks;
        VdirRoot::Limits limits;

        // $XDG_DATA_HOME/vantorel/calendars and …/tasks ($HOME/.local/share when unset or not
        // absolute). Either argument may be null.
        static Settings defaults(const char* dataHome, const char* home);
    };

    VdirEventStore(Settings settings, UserCalendar& calendar, Executor& tasksExecutor,
                   Logger& logger);
    ~VdirEventStore() override;

    std::int64_t authorizationStatus(EventEntityType type) override;
    std::vector<StoreEvent> events(WallTime start, WallTime end) override;
    void fetchIncompleteReminders(std::optional<WallTime> dueStart, std::optional<WallTime> dueEnd,
                                  RemindersCompletion completion) override;

    // Answers inside the call.
    void requestFullAccess(EventEntityType type,
                           const std::function<void(AccessRequestAnswer)>& completion);

private:
    struct Tasks;

    UserCalendar& calendar_;
    Executor& executor_;
    Logger& logger_;
    VdirRoot calendars_;
    // Shared with the work queued on the executor, which may outlast the store.
    std::shared_ptr<Tasks> tasks_;
};

}  // namespace vantorel

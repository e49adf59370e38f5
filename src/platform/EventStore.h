#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileResources.h"
#include "platform/PermissionServices.h"

namespace vantorel {

// The parts of a date a reminder is due on, as the store keeps them: any may be missing, and
// nothing says they make a date.
struct DueDateComponents {
    std::optional<std::int64_t> year;
    std::optional<std::int64_t> month;
    std::optional<std::int64_t> day;
    std::optional<std::int64_t> hour;
    std::optional<std::int64_t> minute;
    std::optional<std::int64_t> second;
};

// One event as the store hands it back. Every value is the platform's and may be missing.
struct StoreEvent {
    std::optional<std::string> eventIdentifier;
    std::optional<std::string> title;
    std::optional<std::string> location;
    bool isAllDay = false;
    std::optional<WallTime> startDate;
    std::optional<WallTime> endDate;
    // The components of the event's calendar's colour; none without a calendar or a colour.
    std::optional<std::vector<double>> calendarColor;
    // Stands in for the identifier of an event that has none.
    std::uint64_t hashValue = 0;
};

// One reminder as the store hands it back.
struct StoreReminder {
    std::optional<std::string> calendarItemIdentifier;
    std::optional<std::string> title;
    std::optional<DueDateComponents> dueDateComponents;
    // 0 none, 1 highest to 9 lowest; the platform does not promise the range.
    std::int64_t priority = 0;
    bool isCompleted = false;
    // The components of the reminder's list's colour, as many as its colour space has.
    std::optional<std::vector<double>> listColor;
};

// Port: the user's calendar and reminders database. A macOS build puts EventKit's store behind
// it; the completion of a reminders fetch may arrive on any thread, and late.
class EventStore {
public:
    using RemindersCompletion = std::function<void(std::optional<std::vector<StoreReminder>>)>;

    virtual ~EventStore() = default;
    // The raw authorisation status of the entity type, as the platform numbers it (any value).
    virtual std::int64_t authorizationStatus(EventEntityType type) = 0;
    // Every event of every calendar that overlaps [start, end), in the store's order.
    virtual std::vector<StoreEvent> events(WallTime start, WallTime end) = 0;
    // The incomplete reminders of every list whose due date lies between the bounds (none: no
    // bound). A missing result is none.
    virtual void fetchIncompleteReminders(std::optional<WallTime> dueStart,
                                          std::optional<WallTime> dueEnd,
                                          RemindersCompletion completion) = 0;
};

}  // namespace vantorel

#pragma once

#include <string>
#include <vector>

namespace vantorel {

// One due reminder as the reminders service hands it over: plain values, nothing of the store.
struct ReminderItem {
    std::string id;
    std::string title;
    std::string dueText;
    bool isOverdue = false;
    bool isHighPriority = false;
    std::vector<double> colorRGBA;

    bool operator==(const ReminderItem&) const = default;
};

}  // namespace vantorel

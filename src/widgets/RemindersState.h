#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Observers.h"
#include "widgets/ReminderItem.h"
#include "widgets/WidgetColor.h"

namespace vantorel {

// The model the reminders popover draws: the due reminders in display order. Replaced by the
// coordinator after each fetch and kept while hidden. Main thread only.
class RemindersState {
public:
    // One row; never changes once made.
    struct Item {
        std::string id;
        std::string title;
        std::string dueText;
        bool isOverdue = false;
        bool isHighPriority = false;
        WidgetColor color;

        // The row of a service item: fewer than three colour components give the system grey.
        static Item from(const ReminderItem& item);
    };
    using ItemRef = std::shared_ptr<const Item>;
    using Subscription = Observers<int>::Subscription;

    RemindersState() = default;
    RemindersState(const RemindersState&) = delete;
    RemindersState& operator=(const RemindersState&) = delete;

    // Run when the user clicks a row. Set once by the owner.
    std::function<void()> onOpenReminders;

    [[nodiscard]] Subscription observe(std::function<void()> observer) {
        return observers_.subscribe([observer = std::move(observer)](const int&) { observer(); });
    }

    const std::vector<ItemRef>& items() const { return items_; }
    void setItems(std::vector<ItemRef> items);
    // One row per service item, in the same order.
    void setItems(const std::vector<ReminderItem>& items);

private:
    std::vector<ItemRef> items_;
    Observers<int> observers_;
};

}  // namespace vantorel

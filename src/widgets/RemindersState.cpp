#include "widgets/RemindersState.h"

namespace vantorel {

RemindersState::Item RemindersState::Item::from(const ReminderItem& item) {
    Item row{item.id, item.title, item.dueText, item.isOverdue, item.isHighPriority, {}};
    const auto& c = item.colorRGBA;
    if (c.size() < 3) {
        row.color = WidgetColor::systemGray();
    } else {
        row.color = WidgetColor::fromComponents({c[0], c[1], c[2], c.size() > 3 ? c[3] : 1.0})
                        .value_or(WidgetColor::systemGray());
    }
    return row;
}

void RemindersState::setItems(std::vector<ItemRef> items) {
    items_ = std::move(items);
    observers_.notify(0);
}

void RemindersState::setItems(const std::vector<ReminderItem>& items) {
    std::vector<ItemRef> rows;
    rows.reserve(items.size());
    for (const auto& item : items)
        rows.push_back(std::make_shared<const Item>(Item::from(item)));
    setItems(std::move(rows));
}

}  // namespace vantorel

#include <QAccessible>
#include <QScrollArea>

#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/qt/SymbolTable.h"
#include "widgets/CalendarPopoverView.h"
#include "widgets/RemindersPopoverView.h"

namespace vantorel {
namespace {

QString nameOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

class WidgetListViewTest : public testing::Test {
protected:
    void fillCalendar(int count) {
        std::vector<CalendarState::EventRef> events;
        for (int i = 0; i < count; ++i) {
            events.push_back(std::make_shared<CalendarState::Event>(CalendarState::Event{
                std::to_string(i), "Event " + std::to_string(i), "9:00 AM – 10:00 AM", std::nullopt,
                false, WidgetColor::systemBlue()}));
        }
        calendar.update("Monday, March 2", std::move(events));
    }
    void fillReminders(int count) {
        std::vector<ReminderItem> items;
        for (int i = 0; i < count; ++i)
            items.push_back({std::to_string(i),
                             "Task " + std::to_string(i),
                             "Today · 6:00 PM",
                             false,
                             i == 0,
                             {1, 0, 0, 1}});
        reminders.setItems(items);
    }

    Appearance appearance{nullptr};
    SymbolTable symbols{QString()};
    CalendarState calendar;
    RemindersState reminders;
    CalendarPopoverView calendarView{calendar, appearance, symbols};
    RemindersPopoverView remindersView{reminders, appearance, symbols};
};

TEST_F(WidgetListViewTest, ListsShowSixRowsThenScrollAndNameTheirCounts) {
    struct Case {
        bool isCalendar;
        int count;
        int listHeight;  // -1: at most the calendar's cap
        bool scrolls;
        const char* label;
    };
    const Case cases[] = {
        {true, 0, 0, false, "Today's calendar, 0 events"},
        {true, 1, -1, false, "Today's calendar, 1 event"},
        {true, 6, -1, false, "Today's calendar, 6 events"},
        {true, 9, 344, true, "Today's calendar, 9 events"},
        {false, 0, 0, false, "Reminders due today, 0 items"},
        {false, 1, 60, false, "Reminders due today, 1 item"},
        {false, 2, 112, false, "Reminders due today, 2 items"},
        {false, 8, 320, true, "Reminders due today, 8 items"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WidgetListView& view = c.isCalendar ? static_cast<WidgetListView&>(calendarView)
                                            : static_cast<WidgetListView&>(remindersView);
        c.isCalendar ? fillCalendar(c.count) : fillReminders(c.count);
        view.resize(view.sizeHint());
        EXPECT_EQ(view.sizeHint().width(), 320);
        EXPECT_EQ(view.rowCount(), c.count);
        EXPECT_EQ(nameOf(&view), QString::fromUtf8(c.label));
        EXPECT_EQ(view.scrollArea()->isVisibleTo(&view), c.count > 0);
        if (c.listHeight >= 0) {
            EXPECT_EQ(view.listHeight(), c.listHeight);
        } else {
            EXPECT_LE(view.listHeight(), CalendarPopoverView::kMaxListHeight);
        }
        if (c.count > 0) {
            const int pitch = view.rowAt(0)->height() + WidgetListView::kListSpacing;
            const int visible = (view.listHeight() + WidgetListView::kListSpacing) / pitch;
            EXPECT_EQ(visible, std::min(c.count, 6));
            EXPECT_EQ(view.scrollArea()->widget()->height() > view.scrollArea()->height(),
                      c.scrolls);
        }
    }
    EXPECT_EQ(calendarView.emptyText(), "No events today");
    EXPECT_EQ(remindersView.emptyText(), "Nothing due today");
}

TEST_F(WidgetListViewTest, ARowIsNamedForItsTitleAndTimeAndOpensTheApplication) {
    int calendarOpens = 0;
    int remindersOpens = 0;
    calendar.onOpenCalendar = [&] { ++calendarOpens; };
    reminders.onOpenReminders = [&] { ++remindersOpens; };
    fillCalendar(2);
    fillReminders(2);
    EXPECT_EQ(nameOf(calendarView.rowAt(1)), "Event 1, 9:00 AM – 10:00 AM");
    EXPECT_EQ(nameOf(remindersView.rowAt(0)), "Task 0, Today · 6:00 PM");
    calendarView.rowAt(1)->click();
    remindersView.rowAt(0)->click();
    remindersView.rowAt(1)->click();
    EXPECT_EQ(calendarOpens, 1);
    EXPECT_EQ(remindersOpens, 2);
}

}  // namespace
}  // namespace vantorel

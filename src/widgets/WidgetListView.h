#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "platform/qt/PanelViewContext.h"
#include "platform/qt/PopoverView.h"
#include "widgets/WidgetColor.h"
#include "widgets/WidgetRow.h"

class QScrollArea;

namespace vantorel {

class SymbolTable;

// What the calendar and reminders popovers share: 320 points wide, a header of a symbol, a title
// and maybe a count, then either one line saying there is nothing or a scrolling list of glass
// rows that each run the widget's open action. Its size hint is the panel's fitting size.
class WidgetListView : public PopoverView {
    Q_OBJECT

public:
    static constexpr int kWidth = 320;
    static constexpr qreal kCardRadius = 24;
    static constexpr int kSpacing = 10;
    static constexpr int kHeaderInset = 4;
    static constexpr int kHeaderSpacing = 8;
    static constexpr int kEmptyInsetY = 10;
    static constexpr int kListSpacing = 8;
    static constexpr int kListInset = 2;

    ~WidgetListView() override;

    QSize sizeHint() const override;

    QScrollArea* scrollArea() const { return scroll_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    WidgetRow* rowAt(int index) const;
    // The height of the list's viewport; 0 while the widget says there is nothing.
    int listHeight() const { return listHeight_; }
    const QString& emptyText() const { return emptyText_; }

    static QColor toQColor(const WidgetColor& color);

protected:
    struct Row {
        QString accessibleName;
        int height = 0;
        WidgetRow::Painter paint;
    };
    struct Content {
        QString symbol;
        QString title;
        // The count on a capsule after the title; none without.
        std::optional<QString> badge;
        QString emptyText;
        QString accessibleName;
        std::vector<Row> rows;
        // The list's height from the height of all its rows and gaps.
        std::function<int(int contentHeight)> listHeight;
    };

    WidgetListView(Appearance& appearance, const SymbolTable& symbols, QWidget* parent);

    void setContent(Content content);
    // Runs when any row is clicked.
    std::function<void()> onRowClick;

    const PanelViewContext& context() const { return context_; }
    const SymbolTable& symbols() const { return symbols_; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int headerHeight() const;
    int emptyHeight() const;
    QRect body() const;

    PanelViewContext context_;
    const SymbolTable& symbols_;
    QScrollArea* scroll_ = nullptr;
    QWidget* list_ = nullptr;
    std::vector<WidgetRow*> rows_;
    Content content_;
    int listHeight_ = 0;
    QString emptyText_;
};

}  // namespace vantorel

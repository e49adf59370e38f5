#pragma once

#include <QAbstractButton>
#include <QImage>

#include <functional>

#include "widgets/FolderState.h"

namespace vantorel {

class PanelViewContext;

// One cell of the folder grid: the item's icon above its name on a glass tile that lights up
// under the pointer. A plain button: clicking it runs onOpen.
class FolderItemTile final : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kWidth = 92;
    static constexpr int kHeight = 84;
    static constexpr int kIconSide = 40;
    static constexpr int kInset = 4;
    static constexpr int kStackSpacing = 5;
    static constexpr qreal kRadius = 14;

    FolderItemTile(FolderState::EntryRef entry, const PanelViewContext& context,
                   QWidget* parent = nullptr);

    std::function<void()> onOpen;

    const FolderState::Entry& entry() const { return *entry_; }
    bool isHovering() const { return isHovering_; }
    QSize sizeHint() const override { return {kWidth, kHeight}; }

    // The name as a file manager shows it, bytes that are not text included.
    static QString displayName(const std::string& name);
    // The text drawn under the icon: at most two lines of `width`, shortened in the middle so
    // that the beginning and the extension stay.
    static QString fittedName(const QString& name, const QFont& font, qreal width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    FolderState::EntryRef entry_;
    const PanelViewContext& context_;
    QImage icon_;
    QString text_;
    bool isHovering_ = false;
};

}  // namespace vantorel

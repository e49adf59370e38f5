#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QWidget>

#include "switcher/SwitcherState.h"

class QVariantAnimation;

namespace vantorel {

class Appearance;
class SymbolTable;

// One window's card in the switcher: its image (or the application icon, or a spinner while
// the image is on its way), a badge when it is minimised, the application's icon and name
// below, and the accent highlight with a slight enlargement when selected. One accessibility
// element, "App: Title", a button that reports whether it is selected.
class SwitcherCard final : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal kPadding = 8;
    static constexpr qreal kSpacing = 7;
    static constexpr qreal kNameRowHeight = 16;
    static constexpr qreal kSelectedScale = 1.04;
    static constexpr int kProgressTickMs = 80;

    SwitcherCard(Appearance& appearance, const SymbolTable& symbols, QSizeF imageSize,
                 QWidget* parent);
    ~SwitcherCard() override;

    // The card's size at rest for an image area of `imageSize`.
    static QSizeF cardSize(QSizeF imageSize);

    void bind(const SwitcherState::Item& item, bool selected);
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    const SwitcherState::Item& item() const { return item_; }
    // Places the card at rest in `slot` (parent coordinates), with room around it to grow.
    void placeInSlot(const QRectF& slot);
    qreal scale() const { return scale_; }
    void finishAnimations();

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRectF cardRect() const;
    void setScale(qreal scale);
    void updateProgressTimer();
    bool showsProgress() const { return thumbnail_.isNull() && icon_.isNull(); }

    Appearance& appearance_;
    const SymbolTable& symbols_;
    QSizeF imageSize_;
    SwitcherState::Item item_;
    QImage thumbnail_;
    QImage icon_;
    bool selected_ = false;
    qreal margin_ = 0;
    qreal scale_ = 1;
    qreal scaleFrom_ = 1;
    qreal scaleTo_ = 1;
    QVariantAnimation* scaleAnimation_ = nullptr;
    QBasicTimer progressTimer_;
    int phase_ = 0;
};

}  // namespace vantorel

#pragma once

#include <QFont>
#include <QWidget>

#include <vector>

#include "switcher/SwitcherState.h"

class QVariantAnimation;

namespace vantorel {

class Appearance;
class SwitcherCard;
class SymbolTable;

// The content of the switcher panel: a glass surface holding the strip of window cards and,
// below it, the title of the highlighted window. The strip scrolls to keep the highlighted card
// centred; only the cards in sight exist. Its size hint is the panel's fitting size: the strip
// grows with the cards up to the state's widest.
class SwitcherView final : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal kOuterInset = 10;
    static constexpr qreal kContentInset = 22;
    static constexpr qreal kStackSpacing = 14;
    static constexpr qreal kStripSpacing = 24;
    static constexpr qreal kStripPaddingX = 8;
    static constexpr qreal kStripPaddingY = 4;
    static constexpr qreal kSurfaceRadius = 32;

    SwitcherView(SwitcherState& state, Appearance& appearance, const SymbolTable& symbols,
                 QSizeF cardSize, QWidget* parent = nullptr);
    ~SwitcherView() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // False when the window cannot be translucent: the surface is then painted opaque.
    void setTranslucentWindow(bool translucent) { translucentWindow_ = translucent; }

    qreal scrollOffset() const { return offset_; }
    // The card of item `index`; null while it is out of sight.
    SwitcherCard* cardAt(int index) const;
    int builtCardCount() const;
    // The caption under the strip.
    QString caption() const;
    // Ends running transitions at once (for pictures and tests).
    void finishAnimations();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void stateChanged(const SwitcherState::Change& change);
    void rebuild();
    void selectionChanged();
    // Scrolls so that the selected card is centred; animated when `animate` allows it.
    void scrollToSelection(bool animate);
    void scrollTo(qreal offset);
    void buildVisible();
    QRectF slotFor(int index) const;
    qreal contentWidth() const;
    qreal stripHeight() const;
    qreal clampedOffset(qreal offset) const;
    QRectF surfaceRect() const;

    SwitcherState& state_;
    Appearance& appearance_;
    const SymbolTable& symbols_;
    QSizeF cardSize_;
    QSizeF cardOuter_;
    QFont headline_;
    bool translucentWindow_ = true;
    QWidget* strip_ = nullptr;
    std::vector<SwitcherCard*> cards_;
    std::vector<SwitcherCard*> spare_;
    int shownSelection_ = -1;
    qreal offset_ = 0;
    qreal scrollFrom_ = 0;
    qreal scrollTarget_ = 0;
    QVariantAnimation* scrollAnimation_ = nullptr;
    SwitcherState::Subscription subscription_;
};

}  // namespace vantorel

#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class QPainter;
class QScrollArea;

namespace vantorel {

class Appearance;
class PanelSurface;
class PanelViewContext;

// The outer chrome every panel's content view draws: a transparent margin around a glass card
// (or its opaque reduce-transparency replacement) whose content is inset, the header of a name
// and a count badge, and the pointer's entering and leaving the panel. The context is owned by
// the derived view; it is only stored here, not read, until the derived view is built.
class PopoverView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMargin = 8;
    static constexpr int kContentInset = 16;
    static constexpr qreal kHeaderIconSide = 20;
    static constexpr qreal kHeaderSpacing = 8;
    static constexpr qreal kCountPaddingX = 7;
    static constexpr qreal kCountPaddingY = 2;
    // A very long name is cut rather than stretching the panel across the screen.
    static constexpr qreal kHeaderNameMaxWidth = 420;

    ~PopoverView() override;

    // True when the pointer enters the panel, false when it leaves; once each way.
    std::function<void(bool)> onPanelHoverChange;

    QSize minimumSizeHint() const override { return sizeHint(); }

    // False when the window cannot be translucent: surfaces are then painted opaque.
    void setTranslucentWindow(bool translucent);
    void setBlurredBehind(bool blurred);

    // A floating panel window hosting `view`, shaped to a card of `cardRadius` inside the margin,
    // whose glass follows what the window can show through.
    static std::unique_ptr<PanelSurface> makeSurface(Appearance& appearance, PopoverView* view,
                                                     qreal cardRadius);

protected:
    // `context` is not read here: the derived view builds it after this base.
    PopoverView(PanelViewContext& context, Appearance& appearance, QWidget* parent);

    // The card inside the margin, and its content inside the inset.
    QRect card() const;
    QRect content() const;
    void paintCard(QPainter& painter, const QRectF& card, qreal radius) const;
    // A scroll area without frame, bars or background over `content`, so the card shows
    // through; the pointer's wheel still scrolls it.
    QScrollArea* addScrollArea(QWidget* content);

    // An icon (none when null), the name cut to the widest allowed, and the count on a capsule,
    // centred on one line. Sizes in whole points.
    QSizeF measureTitleHeader(const QImage& icon, const QString& name, const QString& count) const;
    void paintTitleHeader(QPainter& painter, qreal left, qreal middle, const QImage& icon,
                          const QString& name, const QString& count) const;
    QSizeF countBadgeSize(const QString& count) const;
    // Draws the count on its capsule, starting at `left` and centred on `middle`.
    void paintCountBadge(QPainter& painter, qreal left, qreal middle, const QString& count) const;

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setPointerInside(bool inside);

    PanelViewContext& context_;
    bool pointerInside_ = false;
};

}  // namespace vantorel

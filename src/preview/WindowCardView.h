#pragma once

#include "preview/WindowItemView.h"

class QVariantAnimation;

namespace vantorel {

// A window's card in the row, grid and large layouts: the thumbnail (or the minimised
// placeholder, or a progress indicator) above the title, on glass. It grows a little while the
// pointer is over it, so the view extends beyond its card by the room that takes.
class WindowCardView final : public WindowItemView {
    Q_OBJECT

public:
    WindowCardView(PreviewViewContext& context, QWidget* parent);

    void placeInSlot(const QRectF& slot) override;
    // The current enlargement: 1, or up to 1.03 while hovered.
    qreal scale() const { return scale_; }
    void finishAnimations() override;

protected:
    QRectF cardRect() const override;
    QRectF thumbnailRect() const override;
    void placeControls() override;
    void hoverChanged() override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The card's own frame and the thumbnail inside it, before scaling, in view coordinates.
    QRectF unscaledCard() const;
    QRectF unscaledThumbnail() const;
    QRectF scaled(const QRectF& rect) const;
    void setScale(qreal scale);

    QSizeF cardSize_;
    qreal margin_ = 0;
    qreal scale_ = 1;
    qreal scaleFrom_ = 1;
    qreal scaleTo_ = 1;
    QVariantAnimation* scaleAnimation_ = nullptr;
};

}  // namespace vantorel

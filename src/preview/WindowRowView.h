#pragma once

#include <QSizeF>

#include "preview/WindowItemView.h"

namespace vantorel {

// A window's row in the compact list: a small thumbnail, the title, and the hover controls at
// the trailing end, on glass.
class WindowRowView final : public WindowItemView {
    Q_OBJECT

public:
    WindowRowView(PreviewViewContext& context, QWidget* parent);

    void setThumbnailSize(const QSizeF& size);

protected:
    QRectF thumbnailRect() const override;
    void placeControls() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSizeF thumbSize_;
};

}  // namespace vantorel

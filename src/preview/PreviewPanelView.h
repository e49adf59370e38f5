#pragma once

#include <QWidget>

#include <functional>

#include "preview/PreviewMetrics.h"
#include "preview/PreviewState.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {

class Appearance;
class CardCollectionView;
class LargeLayoutView;
class SymbolTable;

// The content of the preview panel: a glass surface with the header (icon, application name,
// number of windows) above the cards in the layout the state asks for. Its size hint is the
// panel's fitting size, computed by PreviewMetrics from the same rules its parts are placed by.
class PreviewPanelView final : public QWidget {
    Q_OBJECT

public:
    PreviewPanelView(PreviewState& state, Appearance& appearance, const SymbolTable& symbols,
                     QWidget* parent = nullptr);
    ~PreviewPanelView() override;

    // True when the pointer enters the panel, false when it leaves; once each way.
    std::function<void(bool)> onPanelHoverChange;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    const PreviewMetrics& metrics() const { return metrics_; }

    // False when the window cannot be translucent: surfaces are then painted opaque.
    void setTranslucentWindow(bool translucent);
    void setBlurredBehind(bool blurred);

    const PreviewState& state() const { return context_.state(); }
    CardCollectionView* collection() const { return collection_; }
    LargeLayoutView* largeLayout() const { return large_; }
    // Ends running transitions at once (for pictures and tests).
    void finishAnimations();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void stateChanged(const PreviewState::Change& change);
    void rebuild();
    void placeBody();
    Size measureHeader() const;
    void paintHeader(QPainter& painter);
    void setPointerInside(bool inside);

    PreviewViewContext context_;
    PreviewMetrics metrics_;
    CardCollectionView* collection_ = nullptr;
    LargeLayoutView* large_ = nullptr;
    bool pointerInside_ = false;
    PreviewState::Subscription subscription_;
};

}  // namespace vantorel

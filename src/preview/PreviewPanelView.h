#pragma once

#include "platform/qt/PopoverView.h"
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
class PreviewPanelView final : public PopoverView {
    Q_OBJECT

public:
    PreviewPanelView(PreviewState& state, Appearance& appearance, const SymbolTable& symbols,
                     QWidget* parent = nullptr);
    ~PreviewPanelView() override;

    QSize sizeHint() const override;
    const PreviewMetrics& metrics() const { return metrics_; }

    const PreviewState& state() const { return context_.state(); }
    CardCollectionView* collection() const { return collection_; }
    LargeLayoutView* largeLayout() const { return large_; }
    // Ends running transitions at once (for pictures and tests).
    void finishAnimations();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void stateChanged(const PreviewState::Change& change);
    void rebuild();
    void placeBody();
    Size measureHeader() const;

    PreviewViewContext context_;
    PreviewMetrics metrics_;
    CardCollectionView* collection_ = nullptr;
    LargeLayoutView* large_ = nullptr;
    PreviewState::Subscription subscription_;
};

}  // namespace vantorel

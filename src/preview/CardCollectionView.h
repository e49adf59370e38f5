#pragma once

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "preview/PreviewMetrics.h"

class QVariantAnimation;

namespace vantorel {

class PreviewViewContext;
class WindowItemView;

// The scrolling part of the row, grid and list layouts: the state's cards as card (or row)
// views where the metrics put them. Scrolls without indicators; only the views in sight exist,
// and views are reused when the cards change, so hovering from one application to the next
// creates few widgets. Changes of the card list move the remaining views with a spring.
class CardCollectionView final : public QWidget {
    Q_OBJECT

public:
    CardCollectionView(PreviewViewContext& context, QWidget* parent);
    ~CardCollectionView() override;

    // Shows the state's cards laid out by `metrics` (row, grid or list).
    void showCards(const PreviewMetrics& metrics);
    // One card's image or active flag changed.
    void refreshCard(std::uint32_t id);
    // Drops every view, e.g. while another layout is shown.
    void clear();

    QPointF scrollOffset() const { return offset_; }
    void scrollTo(QPointF offset);

    // The view of card `index`; null while it is out of sight.
    WindowItemView* viewAt(int index) const;
    int builtViewCount() const;
    void finishAnimations();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    // A card's identity across updates: its id and how many cards before it share that id.
    using Key = std::pair<std::uint32_t, int>;
    struct Move {
        QPointer<WindowItemView> view;
        QRectF from;
        QRectF to;
    };

    void buildVisible();
    WindowItemView* takeView();
    void retire(WindowItemView* view);
    QRectF slotFor(int index) const;
    void placeAll();
    QPointF clamped(QPointF offset) const;

    PreviewViewContext& context_;
    std::optional<PreviewMetrics> metrics_;
    bool listMode_ = false;
    std::vector<Key> keys_;
    std::vector<WindowItemView*> views_;
    std::vector<WindowItemView*> spare_;
    QPointF offset_;
    QVariantAnimation* moveAnimation_ = nullptr;
    std::vector<Move> moves_;
};

}  // namespace vantorel

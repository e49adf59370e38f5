#pragma once

#include <QAbstractButton>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

#include "preview/PreviewMetrics.h"

namespace vantorel {

class PreviewViewContext;
class StripButton;
class WindowCardView;

// The large layout: the selected card shown big, and below it, with two or more cards, a strip
// of small thumbnails, one button per card, that chooses the selection. The selection outlives
// the cards it was made among: it is corrected to the first card only when it names none.
class LargeLayoutView final : public QWidget {
    Q_OBJECT

public:
    // The view reaches this far beyond the layout's frame on every side, so that the hero can
    // grow while hovered without being cut.
    static constexpr int kBleed = 12;

    LargeLayoutView(PreviewViewContext& context, QWidget* parent);
    ~LargeLayoutView() override;

    void showCards(const PreviewMetrics& metrics);
    void refreshCard(std::uint32_t id);

    std::optional<std::uint32_t> selectedID() const { return selectedID_; }
    // What pressing a strip button does.
    void select(std::uint32_t id);

    // Null without cards.
    WindowCardView* hero() const;
    int stripButtonCount() const { return static_cast<int>(buttons_.size()); }
    QAbstractButton* stripButton(int index) const;
    bool showsStrip() const;
    // The strip's container, for assistive tools (a tab list of the strip buttons).
    QWidget* strip() const { return strip_; }
    qreal stripOffset() const { return stripOffset_; }
    void finishAnimations();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void showHero();
    void placeStrip();

    PreviewViewContext& context_;
    std::optional<PreviewMetrics> metrics_;
    std::optional<std::uint32_t> selectedID_;
    WindowCardView* hero_ = nullptr;
    QWidget* strip_ = nullptr;
    std::vector<StripButton*> buttons_;
    qreal stripOffset_ = 0;
};

}  // namespace vantorel

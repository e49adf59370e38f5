#include "preview/LargeLayoutView.h"

#include <QAccessible>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

#include "platform/qt/GeometryConversion.h"
#include "preview/PreviewSelection.h"
#include "preview/PreviewState.h"
#include "preview/PreviewViewContext.h"
#include "preview/StripButton.h"
#include "preview/WindowCardView.h"

namespace vantorel {
namespace {

constexpr qreal kWheelStep = 48;

// Layout frames are in body coordinates; the view starts kBleed before the body.
QRectF inView(const Rect& rect) {
    return toQRect(rect).translated(LargeLayoutView::kBleed, LargeLayoutView::kBleed);
}

}  // namespace

LargeLayoutView::LargeLayoutView(PreviewViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setFocusPolicy(Qt::NoFocus);
    hero_ = new WindowCardView(context_, this);
    hero_->hide();
    strip_ = new QWidget(this);
    strip_->hide();
}

LargeLayoutView::~LargeLayoutView() = default;

void LargeLayoutView::showCards(const PreviewMetrics& metrics) {
    metrics_ = metrics;
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    selectedID_ = correctedSelection(cards, selectedID_);

    // Reuse the buttons there are; the strip keeps no other state.
    while (buttons_.size() > cards.size()) {
        buttons_.back()->hide();
        buttons_.back()->deleteLater();
        buttons_.pop_back();
    }
    while (buttons_.size() < cards.size()) {
        auto* button = new StripButton(context_, strip_);
        connect(button, &QAbstractButton::clicked, this, [this, button] { select(button->id()); });
        buttons_.push_back(button);
    }
    const auto selected = selectedCardIndex(cards, selectedID_);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        buttons_[i]->bind(cards[i], selected && *selected == i);
    }

    const qreal maxOffset =
        std::max(0.0, metrics_->stripContentSize().width - metrics_->stripFrame().width());
    stripOffset_ = std::clamp(stripOffset_, 0.0, maxOffset);
    showHero();
    placeStrip();
}

void LargeLayoutView::refreshCard(std::uint32_t id) {
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    if (cards.size() != buttons_.size()) return;
    const auto selected = selectedCardIndex(cards, selectedID_);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (cards[i].id != id) continue;
        buttons_[i]->bind(cards[i], selected && *selected == i);
        if (selected && *selected == i) hero_->bind(cards[i], true);
    }
}

void LargeLayoutView::select(std::uint32_t id) {
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    selectedID_ = correctedSelection(cards, id);
    const auto selected = selectedCardIndex(cards, selectedID_);
    for (std::size_t i = 0; i < buttons_.size() && i < cards.size(); ++i) {
        const bool now = selected && *selected == i;
        if (buttons_[i]->isChecked() == now) continue;
        buttons_[i]->setChecked(now);
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(buttons_[i], changed);
        QAccessible::updateAccessibility(&event);
    }
    showHero();
}

WindowCardView* LargeLayoutView::hero() const {
    return hero_->isHidden() ? nullptr : hero_;
}

QAbstractButton* LargeLayoutView::stripButton(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= buttons_.size()) return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

bool LargeLayoutView::showsStrip() const {
    return !strip_->isHidden();
}

void LargeLayoutView::finishAnimations() {
    hero_->finishAnimations();
}

void LargeLayoutView::wheelEvent(QWheelEvent* event) {
    if (!metrics_ || !showsStrip() || !strip_->geometry().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    const QPointF delta = !event->pixelDelta().isNull()
                              ? QPointF(event->pixelDelta())
                              : QPointF(event->angleDelta()) / 120.0 * kWheelStep;
    const qreal along = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
    const qreal maxOffset =
        std::max(0.0, metrics_->stripContentSize().width - metrics_->stripFrame().width());
    const qreal before = stripOffset_;
    stripOffset_ = std::clamp(stripOffset_ - along, 0.0, maxOffset);
    placeStrip();
    event->setAccepted(stripOffset_ != before);
}

void LargeLayoutView::showHero() {
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    const auto selected = selectedCardIndex(cards, selectedID_);
    if (!selected || !metrics_) {
        hero_->hide();
        return;
    }
    const PreviewState::Card& card = cards[*selected];
    const bool same = !hero_->isHidden() && hero_->card().id == card.id;
    hero_->bind(card, same);
    hero_->placeInSlot(inView(metrics_->heroFrame()));
    hero_->show();
}

void LargeLayoutView::placeStrip() {
    if (!metrics_ || metrics_->cardCount() < 2) {
        strip_->hide();
        return;
    }
    strip_->setGeometry(inView(metrics_->stripFrame()).toAlignedRect());
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const QRectF frame = toQRect(metrics_->stripButtonFrame(static_cast<int>(i)));
        buttons_[i]->setGeometry(frame.translated(-stripOffset_, 0).toAlignedRect());
        buttons_[i]->show();
    }
    strip_->show();
}

}  // namespace vantorel

#include "preview/LargeLayoutView.h"

#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

#include "platform/qt/GeometryConversion.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "preview/PreviewPainter.h"
#include "preview/PreviewSelection.h"
#include "preview/PreviewState.h"
#include "preview/PreviewViewContext.h"
#include "preview/WindowCardView.h"

namespace vantorel {
namespace {

constexpr qreal kWheelStep = 48;

// Layout frames are in body coordinates; the view starts kBleed before the body.
QRectF inView(const Rect& rect) {
    return toQRect(rect).translated(LargeLayoutView::kBleed, LargeLayoutView::kBleed);
}

// One card in the strip: its image, or the application icon, on a small dark well, outlined in
// the accent colour while it is the selection.
class StripButton final : public QAbstractButton {
public:
    StripButton(PreviewViewContext& context, QWidget* parent)
        : QAbstractButton(parent), context_(context) {
        setFocusPolicy(Qt::NoFocus);
        setCheckable(true);
        setAutoExclusive(false);
    }

    void bind(const PreviewState::Card& card, bool selected) {
        id_ = card.id;
        image_ = toQImage(card.thumbnail);
        if (!image_.isNull()) image_.setDevicePixelRatio(2);
        setAccessibleName(QString::fromStdString(card.title));
        setChecked(selected);
        update();
    }
    std::uint32_t id() const { return id_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QRectF box = QRectF(rect());
        const qreal radius = PreviewMetrics::kStripRadius;
        painter.fillPath(GlassPainter::shape(box, radius), QColor(0, 0, 0, 46));
        if (!image_.isNull()) {
            PreviewPainter::paintImage(painter, box, radius, image_);
        } else if (!context_.appIcon().isNull()) {
            PreviewPainter::paintIconOrWindowSymbol(painter, box.adjusted(8, 8, -8, -8),
                                                    context_.appIcon(), 0.9, context_.symbols(),
                                                    palette());
        }
        const bool selected = isChecked();
        const qreal width = selected ? 2 : 1;
        QColor outline = selected ? GlassPainter::accentColor(palette()) : QColor(255, 255, 255);
        if (!selected) outline.setAlphaF(0.1f);
        const qreal inset = width / 2;
        painter.strokePath(
            GlassPainter::shape(box.adjusted(inset, inset, -inset, -inset), radius - inset),
            QPen(outline, width));
    }

private:
    PreviewViewContext& context_;
    std::uint32_t id_ = 0;
    QImage image_;
};

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
        static_cast<StripButton*>(buttons_[i])->bind(cards[i], selected && *selected == i);
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
        static_cast<StripButton*>(buttons_[i])->bind(cards[i], selected && *selected == i);
        if (selected && *selected == i) hero_->bind(cards[i], true);
    }
}

void LargeLayoutView::select(std::uint32_t id) {
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    selectedID_ = correctedSelection(cards, id);
    const auto selected = selectedCardIndex(cards, selectedID_);
    for (std::size_t i = 0; i < buttons_.size() && i < cards.size(); ++i) {
        buttons_[i]->setChecked(selected && *selected == i);
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

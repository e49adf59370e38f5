#include "preview/CardCollectionView.h"

#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>
#include <map>

#include "platform/qt/GeometryConversion.h"
#include "platform/qt/Spring.h"
#include "preview/PreviewState.h"
#include "preview/PreviewViewContext.h"
#include "preview/WindowCardView.h"
#include "preview/WindowRowView.h"

namespace vantorel {
namespace {

const Spring kLayoutSpring(0.34, 0.82);
// Hidden views kept for the next application's cards; more are deleted.
constexpr std::size_t kMaxSpareViews = 24;
// One wheel notch, in points.
constexpr qreal kWheelStep = 48;

QRectF lerp(const QRectF& a, const QRectF& b, qreal t) {
    return {a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t,
            a.width() + (b.width() - a.width()) * t, a.height() + (b.height() - a.height()) * t};
}

}  // namespace

CardCollectionView::CardCollectionView(PreviewViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setFocusPolicy(Qt::NoFocus);
    moveAnimation_ = new QVariantAnimation(this);
    moveAnimation_->setStartValue(0.0);
    moveAnimation_->setEndValue(1.0);
    moveAnimation_->setDuration(kLayoutSpring.durationMs());
    connect(moveAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        const qreal t = kLayoutSpring.progress(v.toDouble() * moveAnimation_->duration() / 1000.0);
        for (const Move& move : moves_) {
            if (move.view) move.view->placeInSlot(lerp(move.from, move.to, t));
        }
    });
    connect(moveAnimation_, &QAbstractAnimation::finished, this, [this] {
        moves_.clear();
        placeAll();
    });
}

CardCollectionView::~CardCollectionView() = default;

void CardCollectionView::showCards(const PreviewMetrics& metrics) {
    const bool list = metrics.layout() == PreviewLayout::list;
    if (list != listMode_ || !metrics_) {
        clear();
        listMode_ = list;
    }

    // Where each view was, by the identity of its card.
    std::map<Key, std::pair<WindowItemView*, QRectF>> old;
    for (std::size_t i = 0; i < views_.size(); ++i) {
        if (views_[i]) old[keys_[i]] = {views_[i], slotFor(static_cast<int>(i))};
    }

    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    metrics_ = metrics;
    keys_.clear();
    keys_.reserve(cards.size());
    std::map<std::uint32_t, int> seen;
    for (const PreviewState::Card& card : cards)
        keys_.emplace_back(card.id, seen[card.id]++);
    views_.assign(cards.size(), nullptr);

    moveAnimation_->stop();
    moves_.clear();
    std::vector<std::pair<int, QRectF>> retained;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const auto it = old.find(keys_[i]);
        if (it == old.end()) continue;
        views_[i] = it->second.first;
        views_[i]->bind(cards[i], true);
        retained.emplace_back(static_cast<int>(i), it->second.second);
        old.erase(it);
    }
    for (auto& [key, entry] : old)
        retire(entry.first);

    // Another application's cards start at the beginning; the same application's stay put.
    offset_ = clamped(retained.empty() ? QPointF() : offset_);
    buildVisible();
    placeAll();

    if (context_.reduceMotion() || !isVisible()) return;
    for (const auto& [index, from] : retained) {
        WindowItemView* view = views_[static_cast<std::size_t>(index)];
        const QRectF to = slotFor(index);
        if (!view || from == to) continue;
        moves_.push_back({view, from, to});
        view->placeInSlot(from);
    }
    if (!moves_.empty()) moveAnimation_->start();
}

void CardCollectionView::refreshCard(std::uint32_t id) {
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    if (cards.size() != keys_.size()) return;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i].first == id && views_[i]) views_[i]->bind(cards[i], true);
    }
}

void CardCollectionView::clear() {
    moveAnimation_->stop();
    moves_.clear();
    for (WindowItemView* view : views_) {
        if (!view) continue;
        view->hide();
        view->deleteLater();
    }
    for (WindowItemView* view : spare_)
        view->deleteLater();
    views_.clear();
    spare_.clear();
    keys_.clear();
    metrics_.reset();
    offset_ = {};
}

void CardCollectionView::scrollTo(QPointF offset) {
    const QPointF target = clamped(offset);
    if (target == offset_) return;
    offset_ = target;
    // Scrolling during a move would fight it; the views jump to their places instead.
    moveAnimation_->stop();
    moves_.clear();
    buildVisible();
    placeAll();
}

WindowItemView* CardCollectionView::viewAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= views_.size()) return nullptr;
    return views_[static_cast<std::size_t>(index)];
}

int CardCollectionView::builtViewCount() const {
    return static_cast<int>(std::count_if(views_.begin(), views_.end(),
                                          [](const WindowItemView* v) { return v != nullptr; }));
}

void CardCollectionView::finishAnimations() {
    if (moveAnimation_->state() == QAbstractAnimation::Running) {
        moveAnimation_->setCurrentTime(moveAnimation_->totalDuration());
    }
    for (WindowItemView* view : views_) {
        if (view) view->finishAnimations();
    }
}

void CardCollectionView::wheelEvent(QWheelEvent* event) {
    if (!metrics_) {
        event->ignore();
        return;
    }
    const QPointF delta = !event->pixelDelta().isNull()
                              ? QPointF(event->pixelDelta())
                              : QPointF(event->angleDelta()) / 120.0 * kWheelStep;
    const QPointF before = offset_;
    if (metrics_->layout() == PreviewLayout::automatic) {
        // The row scrolls sideways; an ordinary wheel turns it too.
        const qreal along = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
        scrollTo(offset_ - QPointF(along, 0));
    } else {
        scrollTo(offset_ - QPointF(0, delta.y()));
    }
    event->setAccepted(offset_ != before);
}

void CardCollectionView::buildVisible() {
    if (!metrics_) return;
    const Rect viewport(offset_.x(), offset_.y(), metrics_->body().width(),
                        metrics_->body().height());
    const auto [first, last] = metrics_->visibleItems(viewport);
    const std::vector<PreviewState::Card>& cards = context_.state().cards();
    for (int i = 0; i < static_cast<int>(views_.size()); ++i) {
        WindowItemView*& view = views_[static_cast<std::size_t>(i)];
        const bool inSight = i >= first && i < last;
        if (!inSight && view) {
            retire(view);
            view = nullptr;
        } else if (inSight && !view && static_cast<std::size_t>(i) < cards.size()) {
            view = takeView();
            view->bind(cards[static_cast<std::size_t>(i)], false);
            view->show();
        }
    }
}

WindowItemView* CardCollectionView::takeView() {
    WindowItemView* view = nullptr;
    if (!spare_.empty()) {
        view = spare_.back();
        spare_.pop_back();
    } else if (listMode_) {
        view = new WindowRowView(context_, this);
    } else {
        view = new WindowCardView(context_, this);
    }
    return view;
}

void CardCollectionView::retire(WindowItemView* view) {
    view->hide();
    if (spare_.size() < kMaxSpareViews) {
        spare_.push_back(view);
    } else {
        // Later: it may be the view whose click is being handled right now.
        view->deleteLater();
    }
}

QRectF CardCollectionView::slotFor(int index) const {
    if (!metrics_) return {};
    return toQRect(metrics_->itemFrame(index)).translated(-offset_);
}

void CardCollectionView::placeAll() {
    for (int i = 0; i < static_cast<int>(views_.size()); ++i) {
        WindowItemView* view = views_[static_cast<std::size_t>(i)];
        if (!view) continue;
        if (auto* row = qobject_cast<WindowRowView*>(view)) {
            row->setThumbnailSize({metrics_->ruleSize().width, metrics_->ruleSize().height});
        }
        view->placeInSlot(slotFor(i));
    }
}

QPointF CardCollectionView::clamped(QPointF offset) const {
    if (!metrics_) return {};
    const qreal maxX = std::max(0.0, metrics_->contentSize().width - metrics_->body().width());
    const qreal maxY = std::max(0.0, metrics_->contentSize().height - metrics_->body().height());
    return {std::clamp(offset.x(), 0.0, maxX), std::clamp(offset.y(), 0.0, maxY)};
}

}  // namespace vantorel

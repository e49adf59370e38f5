#include "switcher/SwitcherView.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/PanelViewContext.h"
#include "platform/qt/Spring.h"
#include "switcher/SwitcherCard.h"

namespace vantorel {
namespace {

const Spring kScrollSpring(0.3, 0.85);
// Hidden cards kept for the next opening; more are deleted.
constexpr std::size_t kMaxSpareCards = 24;

QFont headlineFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    return font;
}

}  // namespace

SwitcherView::SwitcherView(SwitcherState& state, Appearance& appearance, const SymbolTable& symbols,
                           QSizeF cardSize, QWidget* parent)
    : QWidget(parent),
      state_(state),
      appearance_(appearance),
      symbols_(symbols),
      cardSize_(cardSize),
      cardOuter_(SwitcherCard::cardSize(cardSize)),
      headline_(headlineFont()) {
    setFocusPolicy(Qt::NoFocus);
    // The strip clips the cards that are partly out of sight.
    strip_ = new QWidget(this);
    strip_->setFocusPolicy(Qt::NoFocus);
    scrollAnimation_ = new QVariantAnimation(this);
    scrollAnimation_->setStartValue(0.0);
    scrollAnimation_->setEndValue(1.0);
    scrollAnimation_->setDuration(kScrollSpring.durationMs());
    connect(scrollAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        const double seconds = v.toDouble() * scrollAnimation_->duration() / 1000.0;
        scrollTo(scrollFrom_ + (scrollTarget_ - scrollFrom_) * kScrollSpring.progress(seconds));
    });
    subscription_ = state_.observe([this](const SwitcherState::Change& c) { stateChanged(c); });
    connect(&appearance_, &Appearance::changed, this, [this] {
        rebuild();
        update();
    });
    rebuild();
}

SwitcherView::~SwitcherView() = default;

qreal SwitcherView::contentWidth() const {
    const auto n = static_cast<qreal>(state_.items().size());
    if (n == 0) return 2 * kStripPaddingX;
    return 2 * kStripPaddingX + n * cardOuter_.width() + (n - 1) * kStripSpacing;
}

qreal SwitcherView::stripHeight() const {
    // Tall enough for the whole card: the image area's height plus 28 leaves out its name row.
    return std::max(cardSize_.height() + 28, cardOuter_.height() + 2 * kStripPaddingY);
}

QSize SwitcherView::sizeHint() const {
    const qreal chrome = 2 * (kOuterInset + kContentInset);
    const qreal width = std::min(contentWidth() + chrome, state_.maxWidth());
    const qreal caption = QFontMetricsF(headline_).height();
    const qreal height = chrome + stripHeight() + kStackSpacing + caption;
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QRectF SwitcherView::surfaceRect() const {
    return QRectF(rect()).adjusted(kOuterInset, kOuterInset, -kOuterInset, -kOuterInset);
}

void SwitcherView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QRectF content =
        surfaceRect().adjusted(kContentInset, kContentInset, -kContentInset, -kContentInset);
    const qreal width = std::min(content.width(), contentWidth());
    strip_->setGeometry(
        QRectF(content.center().x() - width / 2, content.top(), width, stripHeight())
            .toAlignedRect());
    offset_ = clampedOffset(offset_);
    scrollToSelection(false);
    buildVisible();
}

void SwitcherView::stateChanged(const SwitcherState::Change& change) {
    switch (change.kind) {
        case SwitcherState::Change::Kind::items:
            rebuild();
            break;
        case SwitcherState::Change::Kind::selection:
            selectionChanged();
            break;
        case SwitcherState::Change::Kind::thumbnail: {
            const auto& items = state_.items();
            for (std::size_t i = 0; i < items.size() && i < cards_.size(); ++i) {
                if (items[i].id != change.cardID) continue;
                if (cards_[i]) cards_[i]->bind(items[i], static_cast<int>(i) == shownSelection_);
                break;
            }
            break;
        }
        case SwitcherState::Change::Kind::maxWidth:
            updateGeometry();
            break;
    }
}

void SwitcherView::rebuild() {
    for (SwitcherCard*& card : cards_) {
        if (!card) continue;
        card->hide();
        if (spare_.size() < kMaxSpareCards) {
            spare_.push_back(card);
        } else {
            card->deleteLater();
        }
        card = nullptr;
    }
    cards_.assign(state_.items().size(), nullptr);
    shownSelection_ = state_.selectedIndex();
    updateGeometry();
    scrollAnimation_->stop();
    scrollToSelection(false);
    buildVisible();
    update();
}

void SwitcherView::selectionChanged() {
    const int previous = std::exchange(shownSelection_, state_.selectedIndex());
    const auto& items = state_.items();
    for (const int index : {previous, shownSelection_}) {
        if (index < 0 || static_cast<std::size_t>(index) >= cards_.size()) continue;
        if (SwitcherCard* card = cards_[static_cast<std::size_t>(index)])
            card->setSelected(index == shownSelection_ && index < static_cast<int>(items.size()));
    }
    scrollToSelection(true);
    update();
}

void SwitcherView::scrollToSelection(bool animate) {
    const int index = state_.selectedIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= state_.items().size()) return;
    const qreal target =
        clampedOffset(slotFor(index).center().x() + offset_ - strip_->width() / 2.0);
    if (!animate || appearance_.reduceMotion() || !isVisible()) {
        scrollAnimation_->stop();
        scrollTo(target);
        return;
    }
    if (qFuzzyCompare(target + 1, offset_ + 1)) return;
    scrollFrom_ = offset_;
    scrollTarget_ = target;
    scrollAnimation_->stop();
    scrollAnimation_->start();
}

void SwitcherView::scrollTo(qreal offset) {
    offset_ = clampedOffset(offset);
    buildVisible();
}

qreal SwitcherView::clampedOffset(qreal offset) const {
    const qreal most = std::max<qreal>(0, contentWidth() - strip_->width());
    return std::clamp(offset, qreal(0), most);
}

QRectF SwitcherView::slotFor(int index) const {
    const qreal x = kStripPaddingX + index * (cardOuter_.width() + kStripSpacing) - offset_;
    const qreal y = (strip_->height() - cardOuter_.height()) / 2;
    return {QPointF(x, y), cardOuter_};
}

void SwitcherView::buildVisible() {
    const auto& items = state_.items();
    const qreal pitch = cardOuter_.width() + kStripSpacing;
    // Cards within one pitch of the strip's edges, so a scrolling card is there as it enters.
    const int first = std::max(0, static_cast<int>(std::floor((offset_ - kStripPaddingX) / pitch)));
    const int last = std::min(static_cast<int>(items.size()),
                              static_cast<int>(std::ceil((offset_ + strip_->width()) / pitch)) + 1);
    for (int i = 0; i < static_cast<int>(cards_.size()); ++i) {
        SwitcherCard*& card = cards_[static_cast<std::size_t>(i)];
        const bool inSight = i >= first && i < last;
        if (!inSight) {
            if (card) {
                card->hide();
                spare_.push_back(card);
                card = nullptr;
            }
            continue;
        }
        if (!card) {
            if (!spare_.empty()) {
                card = spare_.back();
                spare_.pop_back();
            } else {
                card = new SwitcherCard(appearance_, symbols_, cardSize_, strip_);
            }
            card->bind(items[static_cast<std::size_t>(i)], i == shownSelection_);
            card->show();
        }
        card->placeInSlot(slotFor(i));
    }
}

SwitcherCard* SwitcherView::cardAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= cards_.size()) return nullptr;
    return cards_[static_cast<std::size_t>(index)];
}

int SwitcherView::builtCardCount() const {
    return static_cast<int>(std::count_if(cards_.begin(), cards_.end(),
                                          [](const SwitcherCard* c) { return c != nullptr; }));
}

QString SwitcherView::caption() const {
    const SwitcherState::Item* item = state_.selectedItem();
    return item ? QString::fromStdString(item->displayTitle()) : QString();
}

void SwitcherView::finishAnimations() {
    if (scrollAnimation_->state() == QAbstractAnimation::Running) {
        scrollAnimation_->setCurrentTime(scrollAnimation_->totalDuration());
    }
    for (SwitcherCard* card : cards_) {
        if (card) card->finishAnimations();
    }
}

void SwitcherView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& colors = palette();

    GlassStyle glass;
    glass.cornerRadius = kSurfaceRadius;
    glass.opaque = appearance_.reduceTransparency() || !translucentWindow_;
    GlassPainter::paint(painter, surfaceRect(), glass, colors);

    const QRectF content =
        surfaceRect().adjusted(kContentInset, kContentInset, -kContentInset, -kContentInset);
    const QFontMetricsF metrics(headline_);
    const QRectF line(content.left(), content.top() + stripHeight() + kStackSpacing,
                      content.width(), metrics.height());
    const QString text = metrics.elidedText(caption(), Qt::ElideMiddle, line.width());
    painter.setFont(headline_);
    painter.setPen(QColor(0, 0, 0, qRound(255 * 0.35)));
    painter.drawText(line.translated(0, 1), Qt::AlignCenter, text);
    painter.setPen(PanelViewContext::primaryText(colors));
    painter.drawText(line, Qt::AlignCenter, text);
}

}  // namespace vantorel

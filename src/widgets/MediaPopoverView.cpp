#include "widgets/MediaPopoverView.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/ImageConversion.h"
#include "platform/qt/RoundSymbolButton.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

constexpr int kContentWidth = MediaPopoverView::kCardWidth - 2 * MediaPopoverView::kContentInset;
constexpr qreal kSubheadlineSize = 11;
// The symbol shown in place of a missing icon, at the title-2 text size.
constexpr qreal kTitle2Size = 17;
// The icon font's glyphs carry their own margin: a glyph of some size needs a box this much
// larger to show at that size.
constexpr qreal kGlyphBoxScale = 1.3;
// Far more characters than a line of the card can show: a player may report a title of any
// length, and measuring all of it to cut it would cost more than a frame.
constexpr qsizetype kMostDrawnCharacters = 512;

QString oneLine(const QFontMetricsF& metrics, const QString& text, qreal width) {
    return metrics.elidedText(text.left(kMostDrawnCharacters), Qt::ElideRight, width);
}

QFont subheadlineFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(static_cast<int>(kSubheadlineSize));
    return font;
}

}  // namespace

MediaPopoverView::MediaPopoverView(MediaState& state, Appearance& appearance, QWidget* parent)
    : PopoverView(context_, appearance, parent),
      state_(state),
      context_(appearance),
      subheadline_(subheadlineFont()) {
    previous_ = new RoundSymbolButton(context_, SymbolTable::shared(), kSkipSide,
                                      14 * kGlyphBoxScale, this);
    previous_->setSymbol(QStringLiteral("backward.fill"), QStringLiteral("Previous track"));
    playPause_ = new RoundSymbolButton(context_, SymbolTable::shared(), kPlayPauseSide,
                                       18 * kGlyphBoxScale, this);
    next_ = new RoundSymbolButton(context_, SymbolTable::shared(), kSkipSide, 14 * kGlyphBoxScale,
                                  this);
    next_->setSymbol(QStringLiteral("forward.fill"), QStringLiteral("Next track"));
    // The callbacks are read at each press: the owner sets them after the view is built.
    connect(previous_, &QAbstractButton::clicked, this, [this] {
        if (state_.onPrevious) state_.onPrevious();
    });
    connect(playPause_, &QAbstractButton::clicked, this, [this] {
        if (state_.onPlayPause) state_.onPlayPause();
    });
    connect(next_, &QAbstractButton::clicked, this, [this] {
        if (state_.onNext) state_.onNext();
    });
    connect(&appearance, &Appearance::changed, this, [this] {
        for (RoundSymbolButton* button : {previous_, playPause_, next_})
            button->update();
    });
    subscription_ = state_.observe([this](const MediaState::Change&) { refresh(); });
    refresh();
}

MediaPopoverView::~MediaPopoverView() = default;

QString MediaPopoverView::titleText() const {
    const auto& nowPlaying = state_.nowPlaying();
    if (!nowPlaying || nowPlaying->title.empty()) return QStringLiteral("Not playing");
    return QString::fromStdString(nowPlaying->title);
}

QString MediaPopoverView::subtitleText() const {
    const auto& nowPlaying = state_.nowPlaying();
    if (!nowPlaying || nowPlaying->artist.empty()) return QString::fromStdString(state_.appName());
    return QString::fromStdString(nowPlaying->artist);
}

QString MediaPopoverView::idleText() const {
    return QStringLiteral("Nothing playing in ") + QString::fromStdString(state_.appName());
}

RoundSymbolButton* MediaPopoverView::previousButton() const {
    return state_.nowPlaying() ? previous_ : nullptr;
}

RoundSymbolButton* MediaPopoverView::playPauseButton() const {
    return state_.nowPlaying() ? playPause_ : nullptr;
}

RoundSymbolButton* MediaPopoverView::nextButton() const {
    return state_.nowPlaying() ? next_ : nullptr;
}

void MediaPopoverView::refresh() {
    icon_ = toQImage(state_.appIcon());
    const auto& nowPlaying = state_.nowPlaying();
    if (nowPlaying) {
        setAccessibleName(QString::fromUtf8(nowPlaying->isPlaying ? "Playing" : "Paused") +
                          QStringLiteral(": ") + QString::fromStdString(nowPlaying->title) +
                          QStringLiteral(" by ") + QString::fromStdString(nowPlaying->artist));
        if (nowPlaying->isPlaying) {
            playPause_->setSymbol(QStringLiteral("pause.fill"), QStringLiteral("Pause"));
        } else {
            playPause_->setSymbol(QStringLiteral("play.fill"), QStringLiteral("Play"));
        }
    } else {
        setAccessibleName(idleText());
    }
    for (RoundSymbolButton* button : {previous_, playPause_, next_})
        button->setVisible(nowPlaying.has_value());
    layOut();
    updateGeometry();
    update();
}

int MediaPopoverView::secondRowHeight() const {
    if (state_.nowPlaying()) return kPlayPauseSide;
    const QFontMetricsF metrics(context_.calloutFont());
    const QRectF text = metrics.boundingRect(QRectF(0, 0, kContentWidth, 10000),
                                             Qt::AlignLeft | Qt::TextWordWrap, idleText());
    return static_cast<int>(std::ceil(text.height()));
}

QSize MediaPopoverView::sizeHint() const {
    const int height = kArtworkSide + kRowSpacing + secondRowHeight();
    return {kCardWidth + 2 * kMargin, height + 2 * (kMargin + kContentInset)};
}

void MediaPopoverView::layOut() {
    // The buttons sit in a row at the leading edge, centred on the tallest.
    const QRect area = content();
    const int middle = area.top() + kArtworkSide + kRowSpacing + kPlayPauseSide / 2;
    int x = area.left();
    for (RoundSymbolButton* button : {previous_, playPause_, next_}) {
        button->move(x, middle - button->height() / 2);
        x += button->width() + kButtonSpacing;
    }
}

void MediaPopoverView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintCard(painter, QRectF(card()), kCardRadius);

    const QRect area = content();
    // The artwork tile: a dark well with a faint rim, the player's icon or a note inside.
    const QRectF tile(area.left(), area.top(), kArtworkSide, kArtworkSide);
    QPainterPath well;
    well.addRoundedRect(tile, kArtworkRadius, kArtworkRadius);
    painter.fillPath(well, QColor::fromRgbF(0, 0, 0, 0.18f));
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.08f), 1));
    painter.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), kArtworkRadius - 0.5,
                            kArtworkRadius - 0.5);
    const QRectF inner =
        tile.adjusted(kArtworkInset, kArtworkInset, -kArtworkInset, -kArtworkInset);
    if (!icon_.isNull()) {
        const QSizeF fitted = QSizeF(icon_.size()).scaled(inner.size(), Qt::KeepAspectRatio);
        const QRectF target(inner.center().x() - fitted.width() / 2,
                            inner.center().y() - fitted.height() / 2, fitted.width(),
                            fitted.height());
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, icon_);
        painter.restore();
    } else {
        const qreal box = kTitle2Size * kGlyphBoxScale;
        SymbolTable::shared().draw(
            painter, QRectF(tile.center().x() - box / 2, tile.center().y() - box / 2, box, box),
            QStringLiteral("music.note"), PanelViewContext::secondaryText(palette()));
    }

    // Title over subtitle, centred on the tile, each cut to one line.
    const QFontMetricsF title(context_.headlineFont());
    const QFontMetricsF subtitle(subheadline_);
    const qreal left = tile.right() + kArtworkSpacing;
    const qreal width = area.right() + 1 - left;
    const qreal linesHeight = title.height() + kLineSpacing + subtitle.height();
    const qreal top = tile.center().y() - linesHeight / 2;
    painter.setFont(context_.headlineFont());
    painter.setPen(PanelViewContext::primaryText(palette()));
    painter.drawText(QRectF(left, top, width, title.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     oneLine(title, titleText(), width));
    painter.setFont(subheadline_);
    painter.setPen(PanelViewContext::secondaryText(palette()));
    painter.drawText(QRectF(left, top + title.height() + kLineSpacing, width, subtitle.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, oneLine(subtitle, subtitleText(), width));

    if (!state_.nowPlaying()) {
        painter.setFont(context_.calloutFont());
        painter.drawText(
            QRectF(area.left(), tile.bottom() + kRowSpacing, area.width(), secondRowHeight()),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, idleText());
    }
}

}  // namespace vantorel

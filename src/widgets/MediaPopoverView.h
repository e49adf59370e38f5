#pragma once

#include <QImage>

#include "platform/qt/PanelViewContext.h"
#include "platform/qt/PopoverView.h"
#include "widgets/MediaState.h"

namespace vantorel {

class Appearance;
class RoundSymbolButton;

// The content of the media panel: a glass card with the player's artwork tile beside the track's
// title and artist, above the previous, play/pause and next buttons, or "Nothing playing in …"
// when the player has no track. The whole card is one accessibility element named after what
// plays. Its size hint is the panel's fitting size.
class MediaPopoverView final : public PopoverView {
    Q_OBJECT

public:
    static constexpr qreal kCardRadius = 24;
    static constexpr int kCardWidth = 300;
    static constexpr int kRowSpacing = 12;
    static constexpr int kArtworkSide = 48;
    static constexpr qreal kArtworkRadius = 10;
    static constexpr int kArtworkInset = 8;
    static constexpr int kArtworkSpacing = 10;
    static constexpr int kLineSpacing = 2;
    static constexpr int kButtonSpacing = 14;
    static constexpr int kPlayPauseSide = 40;
    static constexpr int kSkipSide = 34;

    MediaPopoverView(MediaState& state, Appearance& appearance, QWidget* parent = nullptr);
    ~MediaPopoverView() override;

    QSize sizeHint() const override;

    // The lines as drawn, before any cut to the card's width.
    QString titleText() const;
    QString subtitleText() const;
    // Null while nothing is playing.
    RoundSymbolButton* previousButton() const;
    RoundSymbolButton* playPauseButton() const;
    RoundSymbolButton* nextButton() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    void layOut();
    QString idleText() const;
    int secondRowHeight() const;

    MediaState& state_;
    PanelViewContext context_;
    QFont subheadline_;
    RoundSymbolButton* previous_ = nullptr;
    RoundSymbolButton* playPause_ = nullptr;
    RoundSymbolButton* next_ = nullptr;
    QImage icon_;
    MediaState::Subscription subscription_;
};

}  // namespace vantorel

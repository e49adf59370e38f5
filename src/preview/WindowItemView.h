#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QWidget>

#include "platform/qt/GlassPainter.h"
#include "preview/PreparedThumbnail.h"
#include "preview/PreviewState.h"

class QVariantAnimation;

namespace vantorel {

class HoverControlButton;
class PreviewViewContext;

// What a window's card and a window's list row share: the card they show, hover with the close
// and minimise controls, a click that activates the window, the progress indicator while the
// image is on its way, and one accessibility element with the window's actions.
class WindowItemView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kProgressTickMs = 80;
    static constexpr int kControlsFadeMs = 150;

    WindowItemView(PreviewViewContext& context, QWidget* parent);
    ~WindowItemView() override;

    // Shows `card`. Unless it is the card shown before (`sameCard`), hover starts over.
    void bind(const PreviewState::Card& card, bool sameCard);
    const PreviewState::Card& card() const { return card_; }
    // Places the view so that its card fills `slot` (parent coordinates).
    virtual void placeInSlot(const QRectF& slot);

    bool isHovering() const { return hovering_; }
    HoverControlButton* closeControl() const { return close_; }
    HoverControlButton* minimizeControl() const { return minimize_; }
    // "Minimize window", or "Restore window" for a minimised window, and what it does.
    QString minimizeActionName() const;
    QString minimizeActionDescription() const;
    // On screen in a shown panel, for a window one of the cards still shows: only such a view
    // is offered to assistive tools and acts.
    bool isLive() const;

    // What a click, the close control and the minimise control do: the state's requests with
    // this card's window, which the state refuses once the card is gone.
    void activate();
    void requestClose();
    void requestMinimizeToggle();

    // Ends running transitions at once, as if their time had passed.
    virtual void finishAnimations();

protected:
    // Where the card is drawn in the view (the view may be larger, to leave room to grow).
    virtual QRectF cardRect() const { return QRectF(rect()); }
    virtual void placeControls() = 0;
    virtual void hoverChanged() {}
    // The window's content area, where the progress indicator spins.
    virtual QRectF thumbnailRect() const = 0;

    PreviewViewContext& context() const { return context_; }
    // The item's own surface: glass, tinted when active; opaque with a border (accent when
    // active) under reduce transparency.
    GlassStyle surfaceStyle(qreal cornerRadius) const;
    const QImage& thumbnailImage() const { return thumbnail_; }
    // The picture, fitted into the rounded `well`; drawn again, the same frame costs a copy.
    void paintThumbnail(QPainter& painter, const QRectF& well, qreal radius) {
        thumbnailPicture_.paint(painter, well, radius, thumbnail_);
    }
    const QString& title() const { return title_; }
    int progressPhase() const { return phase_; }
    bool showsProgress() const;
    qreal controlsOpacity() const;

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void setHovering(bool hovering);
    void updateControls();
    void updateProgressTimer();

    PreviewViewContext& context_;
    PreviewState::Card card_;
    QString title_;
    QImage thumbnail_;
    PreparedThumbnail thumbnailPicture_;
    bool hovering_ = false;
    bool pressed_ = false;
    HoverControlButton* close_ = nullptr;
    HoverControlButton* minimize_ = nullptr;
    QVariantAnimation* controlsFade_ = nullptr;
    QBasicTimer progressTimer_;
    int phase_ = 0;
};

}  // namespace vantorel

#pragma once

#include <QImage>
#include <QMarginsF>
#include <QPointer>
#include <QWidget>

#include <functional>

class QPropertyAnimation;
class QAbstractAnimation;

namespace vantorel {

class Appearance;

// The window every Dock panel lives in: frameless, translucent, above normal windows, never
// focused or activated, kept out of the task bar and window cycling, and (where the window
// manager lets it) on every workspace. It hosts one view, takes that view's size hint as its size,
// and fades in and out. Whether it can be translucent is asked again before every fade-in from
// hidden, so a compositing manager that starts or stops is followed without a restart.
class FloatingPanelWindow final : public QWidget {
public:
    // What lies beneath a rectangle of the screen (global coordinates), where the program draws
    // it itself; a null image where it does not know.
    using Backdrop = std::function<QImage(const QRect& global)>;

    static constexpr int kFadeInMs = 180;
    static constexpr int kFadeOutMs = 160;
    // Window levels: panels of a higher level stay above those of a lower one.
    static constexpr int kFloatingLevel = 3;
    static constexpr int kModalPanelLevel = 8;

    // `translucent` is false where the desktop cannot show through transparent pixels (X11
    // without a compositing manager): the window is then cut to its surface's shape and its views
    // must paint opaque, unless it has a backdrop.
    explicit FloatingPanelWindow(Appearance& appearance, bool translucent);
    // Asks the desktop whether it composites.
    explicit FloatingPanelWindow(Appearance& appearance);

    // Replaces how translucency is found out; asked at the next fade-in from hidden.
    void setTranslucencyCheck(std::function<bool()> check);
    // Draws what lies beneath, blurred, inside the surface: glass over pixels the program owns.
    void setBackdrop(Backdrop backdrop);
    ~FloatingPanelWindow() override;

    // Takes ownership; replaces (and deletes) the previous view.
    void setView(QWidget* view);
    QWidget* view() const { return view_; }

    // Resizes the window to the view's size hint and returns that size. A view without a valid
    // hint leaves the size as it is.
    QSize fitToView();

    // Where the view draws its surface inside the window: the margins around it and its corner
    // radius. Used to cut the window's shape when it cannot be translucent.
    void setSurfaceShape(const QMarginsF& margins, qreal cornerRadius);

    bool isTranslucent() const { return translucent_; }
    // Whether views should draw their surfaces opaque: reduce transparency, or neither
    // translucency nor a backdrop.
    bool paintsOpaque() const;
    // Whether what lies beneath the surface is blurred: a backdrop, or a compositor that offers
    // blur behind windows.
    bool blursBehind() const { return backdrop_ || compositorBlur_; }

    // Called when isTranslucent or blursBehind changed, so the views can repaint to match.
    std::function<void()> onSurfaceChange;

    // Shows the window without activating it, fading it in with an ease-out curve. A window
    // that is fading out turns back from where it is; a window already up is left alone. Reduce
    // motion keeps the fades: they are not enlargements.
    void fadeIn();
    // Fades the window out and hides it when the fade ends. Does nothing when hidden.
    void fadeOut();
    bool isFadingOut() const { return fadingOut_; }
    // Shows the window at once, fully opaque, without activating it; no animation.
    void orderFront();
    // Hides the window at once, ending any fade.
    void orderOut();

    void setLevel(int level) { level_ = level; }
    int level() const { return level_; }

    // Ends a running fade where it would end (for pictures taken on virtual time).
    void finishFade();
    // The running fade, for tests that drive it without waiting.
    QAbstractAnimation* fadeAnimation() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Keeps the view filling the window and the shape matching its size; a hidden window gets
    // its resize events only when shown, so this also runs straight after every resize.
    void applyGeometry();
    void fadeFinished();
    // Follows the compositor before a show: translucency, and its offer to blur.
    void refreshSurface();
    void setTranslucent(bool translucent);
    QPainterPath surfacePath() const;
    void captureBackdrop();
    void requestBlurBehind();
    // Tells assistive tools the panel appeared, under its view's name.
    void announce();
    // Raises the window, then every visible panel of a higher level above it.
    void raiseByLevel();

    Appearance& appearance_;
    std::function<bool()> translucency_;
    bool translucent_;
    bool compositorBlur_ = false;
    Backdrop backdrop_;
    QImage blurredBackdrop_;
    QPointer<QWidget> view_;
    QPropertyAnimation* fade_ = nullptr;
    bool fadingOut_ = false;
    QMarginsF surfaceMargins_;
    qreal surfaceRadius_ = 0;
    int level_ = kFloatingLevel;
};

}  // namespace vantorel

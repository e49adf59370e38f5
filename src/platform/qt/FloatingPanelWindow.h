#pragma once

#include <QMarginsF>
#include <QPointer>
#include <QWidget>

class QPropertyAnimation;
class QAbstractAnimation;

namespace vantorel {

class Appearance;

// The window every Dock panel lives in: frameless, translucent, above normal windows, never
// focused or activated, kept out of the task bar and window cycling, and (where the window
// manager lets it) on every workspace. It hosts one view, takes that view's size hint as its size,
// and fades in and out.
class FloatingPanelWindow final : public QWidget {
public:
    static constexpr int kFadeInMs = 180;
    static constexpr int kFadeOutMs = 160;

    // `translucent` is false where the desktop cannot show through transparent pixels (X11
    // without a compositing manager): the window is then cut to its surface's shape and its views
    // must paint opaque.
    explicit FloatingPanelWindow(Appearance& appearance, bool translucent);
    // Asks the desktop whether it composites.
    explicit FloatingPanelWindow(Appearance& appearance);
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
    // Whether views should draw their surfaces opaque: reduce transparency, or no translucency.
    bool paintsOpaque() const;

    // Shows the window without activating it, fading it in with an ease-out curve. A window
    // that is fading out turns back from where it is; a window already up is left alone. With
    // reduce motion it appears at once.
    void fadeIn();
    // Fades the window out and hides it when the fade ends. Does nothing when hidden.
    void fadeOut();
    bool isFadingOut() const { return fadingOut_; }

    // The running fade, for tests that drive it without waiting.
    QAbstractAnimation* fadeAnimation() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Keeps the view filling the window and the shape matching its size; a hidden window gets
    // its resize events only when shown, so this also runs straight after every resize.
    void applyGeometry();
    void fadeFinished();

    Appearance& appearance_;
    const bool translucent_;
    QPointer<QWidget> view_;
    QPropertyAnimation* fade_ = nullptr;
    bool fadingOut_ = false;
    QMarginsF surfaceMargins_;
    qreal surfaceRadius_ = 0;
};

}  // namespace vantorel

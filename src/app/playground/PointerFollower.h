#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace vantorel {

class SimDesktop;

// Moves the simulated pointer where the real one goes, from the events of every window of the
// application: over the simulated screen (the view) the moves reach the other applications,
// over Vantorel's own windows (its panels) they reach Vantorel. Nothing polls: a still pointer
// costs nothing.
class PointerFollower final : public QObject {
public:
    // The view is the simulated screen; both must outlive the follower.
    PointerFollower(SimDesktop& desktop, QWidget& view);
    ~PointerFollower() override;

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QPointF global, bool overOwn);

    SimDesktop& desktop_;
    QWidget& view_;
    bool enabled_ = false;
    QPointF last_{-1e9, -1e9};
    bool lastOverOwn_ = false;
};

}  // namespace vantorel

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

#include "platform/PanelSurface.h"

class QWidget;

namespace vantorel {

class FloatingPanelWindow;
class HoverWatcher;

// The panel port over a real floating panel window.
class QtPanelSurface final : public PanelSurface {
public:
    // Hands the surface's hover handler to a view that reports hover itself.
    using HoverBinder = std::function<void(std::function<void(bool)>)>;
    // Qt's top-left window position for a frame whose bottom-left corner is `origin` in
    // window-system coordinates.
    using Placement = std::function<QPoint(Point origin, QSize size)>;

    // Owns the window; `view` becomes its view. Without a binder the view's enter and leave
    // events are watched.
    QtPanelSurface(std::unique_ptr<FloatingPanelWindow> window, QWidget* view,
                   HoverBinder bindHover = {});
    ~QtPanelSurface() override;

    // The window system's origin is the bottom-left corner of the primary screen with y upward;
    // Qt's is the top-left corner of the desktop with y downward.
    static QPoint toQtPosition(Point origin, QSize size, const QRect& primaryScreen);
    // Replaces the mapping onto Qt's screens, e.g. to place panels over a simulated screen.
    void setPlacement(Placement placement) { placement_ = std::move(placement); }

    FloatingPanelWindow& window() const { return *window_; }

    Size fittingSize() override;
    bool isVisible() const override;
    bool isFadingOut() const override;
    void setContentSize(Size size) override;
    void setFrameOrigin(Point origin) override;
    void fadeIn() override;
    void fadeOut() override;
    void orderFront() override;
    void orderOut() override;
    void setHoverHandler(std::function<void(bool)> handler) override;

private:
    std::unique_ptr<FloatingPanelWindow> window_;
    QWidget* view_;
    std::unique_ptr<HoverWatcher> watcher_;
    std::function<void(bool)> hover_;
    Placement placement_;
};

}  // namespace vantorel

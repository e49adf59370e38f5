#pragma once

#include <functional>
#include <memory>

#include "platform/Geometry.h"
#include "platform/Logger.h"
#include "platform/PanelSurface.h"
#include "switcher/SwitcherState.h"

namespace vantorel {

class Pointer;
class Screens;

// The switcher's floating panel: a strip of window cards centred on the screen under the
// pointer, above every other panel, never taking focus. Created once with the switcher and
// reused for every opening. Main thread only.
class SwitcherPanel {
public:
    // Builds the panel window and its views over the panel's state.
    using SurfaceFactory = std::function<std::unique_ptr<PanelSurface>(SwitcherState&)>;

    // Room left beside the panel on the main screen, and the widest it ever gets.
    static constexpr double kScreenMargin = 160;
    static constexpr double kWidestContent = 2600;

    SwitcherPanel(Screens& screens, Pointer& pointer, Logger& logger,
                  const SurfaceFactory& makeSurface);
    ~SwitcherPanel();
    SwitcherPanel(const SwitcherPanel&) = delete;
    SwitcherPanel& operator=(const SwitcherPanel&) = delete;

    SwitcherState& state() { return state_; }
    const SwitcherState& state() const { return state_; }

    // Fits the panel to its views, centres it in the visible frame of the screen under the
    // pointer (the main screen when the pointer is on none) and orders it front. Without any
    // screen it comes to the front where it is.
    void show();
    // Fits the panel to its views again, keeping the centre of its frame.
    void refit();
    void orderOut();

    bool isVisible() const;
    // Window-system coordinates (bottom-left origin, y upward).
    const Rect& frame() const { return frame_; }

private:
    Size fit();

    Screens& screens_;
    Pointer& pointer_;
    Log log_;
    // Declared before the surface: the views hosted by the surface read it until they go.
    SwitcherState state_;
    std::unique_ptr<PanelSurface> surface_;
    Rect frame_;
};

}  // namespace vantorel

#include "platform/sim/SimPanelSurface.h"

namespace vantorel {

void SimPanelSurface::fadeIn() {
    // Turning back a fade-out keeps the panel up.
    fadeEnd_.cancel();
    fadeEnd_ = TaskHandle();
    visible_ = true;
    ++fadeIns_;
}

void SimPanelSurface::fadeOut() {
    if (fadeEnd_.isPending()) return;
    fadeEnd_ = scheduler_.schedule(kFadeOut, [this] { visible_ = false; });
}

void SimPanelSurface::orderFront() {
    fadeEnd_.cancel();
    fadeEnd_ = TaskHandle();
    visible_ = true;
    ++orderFronts_;
}

void SimPanelSurface::orderOut() {
    fadeEnd_.cancel();
    fadeEnd_ = TaskHandle();
    visible_ = false;
}

}  // namespace vantorel

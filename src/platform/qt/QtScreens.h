#pragma once

#include "platform/Pointer.h"
#include "platform/Screens.h"

namespace vantorel {

// The real displays and pointer as Qt sees them, turned into the ports' coordinates (origin at
// the bottom left of the primary screen, y upward). The pointer's monitors see nothing: no
// other application's pointer events reach a client on these desktops. Main thread only.
class QtScreens final : public Screens, public Pointer {
public:
    std::vector<ScreenInfo> screens() override;
    std::optional<ScreenInfo> mainScreen() override;
    Point mouseLocation() override;
    std::unique_ptr<MonitorToken> addGlobalMonitor(EventMask mask,
                                                   std::function<void()> handler) override;
    std::unique_ptr<MonitorToken> addLocalMonitor(EventMask mask,
                                                  std::function<void()> handler) override;
};

}  // namespace vantorel

#pragma once

#include <vector>

#include "dock/AXReader.h"
#include "platform/Logger.h"
#include "platform/PlatformPorts.h"
#include "platform/RunningApplication.h"
#include "windows/WindowInfo.h"

namespace vantorel {

class WindowServer;
class Workspace;

// Lists windows by joining an application's accessibility windows (which can be acted on) with
// the window server's on-screen list (whose numbers can be captured). There is no public mapping
// between the two, so they are paired by the distance between their centres.
//
// Holds no state: every call asks the platform afresh and never fails; whatever the platform
// cannot answer just shrinks the result. Main thread only.
class WindowService {
public:
    // An accessibility window and a window-server window whose centres are further apart than
    // this are not the same window.
    static constexpr double kMaxCentreDistance = 80;

    explicit WindowService(const PlatformPorts& ports);

    // The windows of every running instance of the application (all processes with its bundle
    // identifier), instance by instance, each in the application's own window order.
    std::vector<WindowInfo> windows(const RunningApplication& app) const;
    // The windows of every regular running application, the frontmost application's first.
    // Only windows that can be captured or restored are kept.
    std::vector<WindowInfo> allWindows() const;

private:
    Workspace* workspace_;
    WindowServer* windowServer_;
    AXReader reader_;
    Log log_;
};

}  // namespace vantorel

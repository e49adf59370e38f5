#pragma once

#include <memory>
#include <vector>

#include "platform/ProcessId.h"
#include "platform/Workspace.h"

namespace vantorel {

// The order in which applications were last activated, most recent first, kept from the
// workspace's activation notifications while started. Identifiers of applications that quit
// stay and sink as others are activated. Main thread only.
class AppActivationTracker {
public:
    explicit AppActivationTracker(Workspace& workspace);
    ~AppActivationTracker();
    AppActivationTracker(const AppActivationTracker&) = delete;
    AppActivationTracker& operator=(const AppActivationTracker&) = delete;

    // Puts the frontmost application first and begins observing; nothing when started.
    void start();
    // Stops observing; the order is kept for the next start.
    void stop();
    bool isStarted() const { return observer_ != nullptr; }

    // Most recent first; each identifier at most once.
    const std::vector<ProcessId>& order() const { return order_; }
    void noteActivation(ProcessId pid);

private:
    Workspace& workspace_;
    std::vector<ProcessId> order_;
    std::unique_ptr<NotificationToken> observer_;
    // The notification handler holds this weakly and does nothing once the tracker is gone.
    std::shared_ptr<AppActivationTracker*> self_;
};

}  // namespace vantorel

#include "switcher/AppActivationTracker.h"

#include <algorithm>

namespace vantorel {

AppActivationTracker::AppActivationTracker(Workspace& workspace)
    : workspace_(workspace), self_(std::make_shared<AppActivationTracker*>(this)) {}

AppActivationTracker::~AppActivationTracker() {
    stop();
}

void AppActivationTracker::start() {
    if (observer_) return;
    if (const auto front = workspace_.frontmostApplication())
        noteActivation(front->processIdentifier);
    std::weak_ptr<AppActivationTracker*> weak = self_;
    observer_ =
        workspace_.addActivationObserver([weak](const std::optional<RunningApplication>& app) {
            if (!app) return;
            if (const auto self = weak.lock()) (*self)->noteActivation(app->processIdentifier);
        });
}

void AppActivationTracker::stop() {
    if (observer_) workspace_.removeObserver(*observer_);
    observer_.reset();
}

void AppActivationTracker::noteActivation(ProcessId pid) {
    std::erase(order_, pid);
    order_.insert(order_.begin(), pid);
}

}  // namespace vantorel

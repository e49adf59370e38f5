#include "platform/sim/SimWorkspace.h"

#include <algorithm>

namespace vantorel {

std::vector<RunningApplication> SimWorkspace::runningApplications(
    std::string_view bundleIdentifier) {
    std::vector<RunningApplication> out;
    for (const auto& app : apps_) {
        if (app.bundleIdentifier && *app.bundleIdentifier == bundleIdentifier) out.push_back(app);
    }
    return out;
}

std::optional<RunningApplication> SimWorkspace::application(ProcessId pid) {
    if (auto* app = find(pid)) return *app;
    return std::nullopt;
}

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
    return frontmost_ ? application(*frontmost_) : std::nullopt;
}

bool SimWorkspace::activate(ProcessId pid) {
    auto* app = find(pid);
    if (!app || app->isTerminated) return false;
    activations_.push_back(pid);
    frontmost_ = pid;
    return true;
}

ImageRef SimWorkspace::iconForFile(std::string_view) {
    return folderIcon_;
}

void SimWorkspace::remove(ProcessId pid) {
    std::erase_if(apps_, [pid](const RunningApplication& a) { return a.processIdentifier == pid; });
    if (frontmost_ == pid) frontmost_.reset();
}

RunningApplication* SimWorkspace::find(ProcessId pid) {
    const auto it = std::find_if(apps_.begin(), apps_.end(), [pid](const RunningApplication& a) {
        return a.processIdentifier == pid;
    });
    return it == apps_.end() ? nullptr : &*it;
}

}  // namespace vantorel

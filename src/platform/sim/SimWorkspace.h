#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Workspace.h"

namespace vantorel {

// The running applications of the simulated desktop, in launch order.
class SimWorkspace final : public Workspace {
public:
    std::vector<RunningApplication> runningApplications() override { return apps_; }
    std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) override;
    std::optional<RunningApplication> application(ProcessId pid) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(ProcessId pid) override;
    ImageRef iconForFile(std::string_view path) override;

    // Control side.
    void add(RunningApplication app) { apps_.push_back(std::move(app)); }
    // Removes the process; the next query no longer lists it.
    void remove(ProcessId pid);
    RunningApplication* find(ProcessId pid);
    void setFrontmost(std::optional<ProcessId> pid) { frontmost_ = pid; }
    void setFolderIcon(ImageRef icon) { folderIcon_ = std::move(icon); }
    const std::vector<ProcessId>& activations() const { return activations_; }

private:
    std::vector<RunningApplication> apps_;
    std::optional<ProcessId> frontmost_;
    std::vector<ProcessId> activations_;
    ImageRef folderIcon_;
};

}  // namespace vantorel

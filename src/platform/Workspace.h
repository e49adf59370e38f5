#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/RunningApplication.h"

namespace vantorel {

// Port: the shared workspace and its running applications.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Every running application, in the workspace's own order.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::vector<RunningApplication> runningApplications(
        std::string_view bundleIdentifier) = 0;
    virtual std::optional<RunningApplication> application(ProcessId pid) = 0;
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // Activates the application with no options; false when it is not running.
    virtual bool activate(ProcessId pid) = 0;
    // The icon the file manager shows for a path.
    virtual ImageRef iconForFile(std::string_view path) = 0;
};

}  // namespace vantorel

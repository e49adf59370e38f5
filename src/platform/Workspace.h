#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/RunningApplication.h"
#include "platform/Url.h"

namespace vantorel {

// An observer's registration with the workspace's notification centre.
class NotificationToken {
public:
    virtual ~NotificationToken() = default;
};

// Port: the shared workspace, its running applications and its notifications.
class Workspace {
public:
    // Told, on the main thread, the application named by an activation notification's user
    // info; none when the user info, its application entry or the entry's type is missing.
    using ActivationHandler = std::function<void(const std::optional<RunningApplication>&)>;

    virtual ~Workspace() = default;
    // Every running application, in the workspace's own order.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::vector<RunningApplication> runningApplications(
        std::string_view bundleIdentifier) = 0;
    virtual std::optional<RunningApplication> application(ProcessId pid) = 0;
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // Activates the application with no options; false when it is not running.
    virtual bool activate(ProcessId pid) = 0;
    // The icon the file manager shows for a path. Also called from the worker that lists
    // folders.
    virtual ImageRef iconForFile(std::string_view path) = 0;
    // Observes every application activation until removeObserver with the token.
    virtual std::unique_ptr<NotificationToken> addActivationObserver(ActivationHandler handler) = 0;
    virtual void removeObserver(NotificationToken& token) = 0;
    // Opens the URL with the desktop's default handler; false when nothing could open it.
    virtual bool openURL(const Url& url) = 0;
};

}  // namespace vantorel

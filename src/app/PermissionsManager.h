#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "platform/Logger.h"
#include "platform/PermissionServices.h"
#include "platform/PlatformPorts.h"

namespace vantorel {

class Accessibility;
class Scheduler;

// The application's view of the four privacy permissions it needs, checked and requested
// through the platform. It never polls: a status changes only when one of its operations runs,
// and listeners hear only of real changes. Main thread only; the platform's completions are
// brought back to the main thread before they touch anything.
class PermissionsManager {
public:
    enum class Status { granted, denied, notDetermined };
    // The four status fields, to name one of them.
    enum class Permission { accessibility, screenRecording, calendar, reminders };

    // The System Settings deep link to the Privacy & Security pane; the anchor follows directly.
    static constexpr std::string_view kPrivacySettingsURL =
        "x-apple.systempreferences:com.apple.preference.security?";

    using Listener = std::function<void(Permission)>;
    using ListenerId = std::uint64_t;

    explicit PermissionsManager(const PlatformPorts& ports);
    PermissionsManager(Accessibility& accessibility, PermissionServices& services,
                       Scheduler& scheduler, Logger& logger);
    PermissionsManager(const PermissionsManager&) = delete;
    PermissionsManager& operator=(const PermissionsManager&) = delete;

    Status accessibility() const { return accessibility_; }
    Status screenRecording() const { return screenRecording_; }
    Status calendar() const { return calendar_; }
    Status reminders() const { return reminders_; }
    Status status(Permission permission) const;

    // Called with the permission whose status has just changed.
    ListenerId addListener(Listener listener);
    void removeListener(ListenerId id);

    // Re-reads whether the process is trusted; with prompt set the system may ask the user.
    // Untrusted counts as denied after a prompt and as undetermined without one.
    bool checkAccessibility(bool prompt);
    // Probes Screen Recording by asking for the shareable content. done runs on the main thread
    // once the status reflects the answer (never if this manager is gone by then).
    void refreshScreenRecording(std::function<void()> done = {});
    void refreshCalendarStatus();
    void refreshRemindersStatus();
    // Asks for full access; done as for refreshScreenRecording. A failed request counts as
    // denied and is only logged.
    void requestCalendarAccess(std::function<void()> done = {});
    void requestRemindersAccess(std::function<void()> done = {});
    // Opens the System Settings pane of the permission.
    void openSettings(Permission permission);

    // The event store's raw authorisation as a status: full access is granted, restricted,
    // denied and write-only are denied, and anything else (undetermined or unknown) is
    // undetermined.
    static Status statusForAuthorization(std::int64_t raw);
    static std::string_view toString(Status status);
    static std::string_view settingsAnchor(Permission permission);

private:
    // What completions hold instead of the manager, so that a late one finds it gone.
    struct Lifetime {
        PermissionsManager* manager;
    };

    template <typename Answer>
    std::function<void(Answer)> onMainOnce(
        std::function<void(PermissionsManager&, const Answer&)> handle, std::function<void()> done);
    void refreshEventStatus(EventEntityType type);
    void handleAccessAnswer(EventEntityType type, const AccessRequestAnswer& answer);
    void set(Permission permission, Status status);
    template <typename Self>
    static auto& field(Self& self, Permission permission);

    Accessibility& axPort_;
    PermissionServices& services_;
    Scheduler& scheduler_;
    Log log_;

    Status accessibility_ = Status::notDetermined;
    Status screenRecording_ = Status::notDetermined;
    Status calendar_ = Status::notDetermined;
    Status reminders_ = Status::notDetermined;

    std::map<ListenerId, Listener> listeners_;
    ListenerId nextListener_ = 1;
    std::shared_ptr<Lifetime> lifetime_;
};

}  // namespace vantorel

#include "app/PermissionsManager.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/Scheduler.h"

namespace vantorel {
namespace {

// The platform's raw event-store authorisation values.
constexpr std::int64_t kNotDetermined = 0;
constexpr std::int64_t kRestricted = 1;
constexpr std::int64_t kDenied = 2;
constexpr std::int64_t kFullAccess = 3;
constexpr std::int64_t kWriteOnly = 4;

const char* boolText(bool value) {
    return value ? "true" : "false";
}

}  // namespace

PermissionsManager::PermissionsManager(const PlatformPorts& ports)
    : PermissionsManager(ports.accessibility, ports.permissionServices, ports.scheduler,
                         ports.logger) {}

PermissionsManager::PermissionsManager(Accessibility& accessibility, PermissionServices& services,
                                       Scheduler& scheduler, Logger& logger)
    : axPort_(accessibility),
      services_(services),
      scheduler_(scheduler),
      log_(logger, "permissions"),
      lifetime_(std::make_shared<Lifetime>(Lifetime{this})) {}

template <typename Self>
auto& PermissionsManager::field(Self& self, Permission permission) {
    switch (permission) {
        case Permission::accessibility:
            return self.accessibility_;
        case Permission::calendar:
            return self.calendar_;
        case Permission::reminders:
            return self.reminders_;
        case Permission::screenRecording:
            break;
    }
    // Anything that names no field is taken as Screen Recording, as openSettings does.
    return self.screenRecording_;
}

PermissionsManager::Status PermissionsManager::status(Permission permission) const {
    return field(*this, permission);
}

PermissionsManager::ListenerId PermissionsManager::addListener(Listener listener) {
    const ListenerId id = nextListener_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void PermissionsManager::removeListener(ListenerId id) {
    listeners_.erase(id);
}

void PermissionsManager::set(Permission permission, Status status) {
    Status& current = field(*this, permission);
    if (current == status) return;
    current = status;
    // A listener may add or remove listeners; those removed meanwhile are not called.
    std::vector<ListenerId> ids;
    ids.reserve(listeners_.size());
    for (const auto& [id, listener] : listeners_)
        ids.push_back(id);
    for (const ListenerId id : ids) {
        const auto it = listeners_.find(id);
        if (it == listeners_.end() || !it->second) continue;
        const Listener listener = it->second;
        listener(permission);
    }
}

template <typename Answer>
std::function<void(Answer)> PermissionsManager::onMainOnce(
    std::function<void(PermissionsManager&, const Answer&)> handle, std::function<void()> done) {
    // The completion may run on any thread and, on a misbehaving platform, more than once: only
    // the first call counts, and only the main thread touches the manager.
    auto answered = std::make_shared<std::atomic<bool>>(false);
    std::weak_ptr<Lifetime> lifetime = lifetime_;
    Scheduler* scheduler = &scheduler_;
    return [answered, lifetime, scheduler, handle = std::move(handle),
            done = std::move(done)](Answer answer) {
        if (answered->exchange(true)) return;
        scheduler->post([lifetime, handle, done, answer = std::move(answer)] {
            const auto alive = lifetime.lock();
            if (!alive) return;
            handle(*alive->manager, answer);
            if (done) done();
        });
    };
}

bool PermissionsManager::checkAccessibility(bool prompt) {
    const bool trusted = axPort_.isProcessTrusted(prompt);
    set(Permission::accessibility, trusted  ? Status::granted
                                   : prompt ? Status::denied
                                            : Status::notDetermined);
    log_.debug(std::string("Accessibility trusted=") + boolText(trusted));
    return trusted;
}

void PermissionsManager::refreshScreenRecording(std::function<void()> done) {
    auto completion = onMainOnce<ShareableContentAnswer>(
        [](PermissionsManager& self, const ShareableContentAnswer& answer) {
            if (answer.hasContent) {
                self.set(Permission::screenRecording, Status::granted);
                self.log_.debug("Screen Recording granted");
                return;
            }
            // No content is no access, even when the platform gives no reason.
            self.set(Permission::screenRecording, Status::denied);
            self.log_.error("Screen Recording not granted: " +
                            answer.error.value_or("no shareable content"));
        },
        std::move(done));
    services_.getShareableContent(false, true, std::move(completion));
}

PermissionsManager::Status PermissionsManager::statusForAuthorization(std::int64_t raw) {
    switch (raw) {
        case kFullAccess:
            return Status::granted;
        case kRestricted:
        case kDenied:
        case kWriteOnly:
            return Status::denied;
        case kNotDetermined:
        default:
            return Status::notDetermined;
    }
}

void PermissionsManager::refreshCalendarStatus() {
    refreshEventStatus(EventEntityType::event);
}

void PermissionsManager::refreshRemindersStatus() {
    refreshEventStatus(EventEntityType::reminder);
}

void PermissionsManager::refreshEventStatus(EventEntityType type) {
    const bool events = type == EventEntityType::event;
    const std::int64_t raw = services_.authorizationStatus(type);
    const Status status = statusForAuthorization(raw);
    set(events ? Permission::calendar : Permission::reminders, status);
    log_.debug(std::string(events ? "Calendar status=" : "Reminders status=") +
               std::string(toString(status)) + " (EK raw=" + std::to_string(raw) + ")");
}

void PermissionsManager::requestCalendarAccess(std::function<void()> done) {
    log_.debug("Requesting Calendar access (EK raw before=" +
               std::to_string(services_.authorizationStatus(EventEntityType::event)) + ")");
    services_.requestFullAccess(
        EventEntityType::event,
        onMainOnce<AccessRequestAnswer>(
            [](PermissionsManager& self, const AccessRequestAnswer& answer) {
                self.handleAccessAnswer(EventEntityType::event, answer);
            },
            std::move(done)));
}

void PermissionsManager::requestRemindersAccess(std::function<void()> done) {
    services_.requestFullAccess(
        EventEntityType::reminder,
        onMainOnce<AccessRequestAnswer>(
            [](PermissionsManager& self, const AccessRequestAnswer& answer) {
                self.handleAccessAnswer(EventEntityType::reminder, answer);
            },
            std::move(done)));
}

void PermissionsManager::handleAccessAnswer(EventEntityType type,
                                            const AccessRequestAnswer& answer) {
    const bool events = type == EventEntityType::event;
    const Permission permission = events ? Permission::calendar : Permission::reminders;
    // An error outweighs whatever answer came with it.
    if (answer.error) {
        set(permission, Status::denied);
        log_.error(
            std::string(events ? "Calendar request failed: " : "Reminders request failed: ") +
            *answer.error);
        return;
    }
    set(permission, answer.granted ? Status::granted : Status::denied);
    log_.debug(std::string(events ? "Calendar request returned granted="
                                  : "Reminders request returned granted=") +
               boolText(answer.granted));
}

void PermissionsManager::openSettings(Permission permission) {
    const auto url =
        Url::parse(std::string(kPrivacySettingsURL) + std::string(settingsAnchor(permission)));
    if (url) services_.openURL(*url);
}

std::string_view PermissionsManager::toString(Status status) {
    switch (status) {
        case Status::granted:
            return "granted";
        case Status::denied:
            return "denied";
        case Status::notDetermined:
            break;
    }
    return "notDetermined";
}

std::string_view PermissionsManager::settingsAnchor(Permission permission) {
    switch (permission) {
        case Permission::accessibility:
            return "Privacy_Accessibility";
        case Permission::calendar:
            return "Privacy_Calendars";
        case Permission::reminders:
            return "Privacy_Reminders";
        case Permission::screenRecording:
            break;
    }
    return "Privacy_ScreenCapture";
}

}  // namespace vantorel

#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/PermissionServices.h"
#include "platform/Scheduler.h"

namespace vantorel {

// The privacy services of the simulated desktop: whether Screen Recording is allowed, the event
// store's authorisation per entity type and how the user answers its prompt, and the System
// Settings panes asked for. Answers arrive on the scheduler after a delay (none by default,
// still never inside the call), or inline when told so.
class SimPermissionServices final : public PermissionServices {
public:
    // The platform's raw event-store authorisation values.
    static constexpr std::int64_t kNotDetermined = 0;
    static constexpr std::int64_t kRestricted = 1;
    static constexpr std::int64_t kDenied = 2;
    static constexpr std::int64_t kFullAccess = 3;
    static constexpr std::int64_t kWriteOnly = 4;

    // How an access request ends: the user grants or refuses when asked, or the request fails
    // with an error whatever the status.
    enum class UserAnswer { grant, refuse, fail };

    explicit SimPermissionServices(Scheduler& scheduler) : scheduler_(scheduler) {}

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             std::function<void(ShareableContentAnswer)> completion) override;
    std::int64_t authorizationStatus(EventEntityType type) override;
    void requestFullAccess(EventEntityType type,
                           std::function<void(AccessRequestAnswer)> completion) override;
    bool openURL(const Url& url) override;

    // Control side.
    void setScreenRecordingAllowed(bool allowed) { screenRecordingAllowed_ = allowed; }
    bool screenRecordingAllowed() const { return screenRecordingAllowed_; }
    // Any raw value, also ones the platform does not define.
    void setAuthorizationStatus(EventEntityType type, std::int64_t raw) { status_[type] = raw; }
    // The user is asked only while the status is undetermined, and the answer is remembered;
    // a failing request fails whatever the status.
    void setUserAnswer(EventEntityType type, UserAnswer answer) { answers_[type] = answer; }
    // The localized description of the errors this desktop reports.
    void setErrorDescription(EventEntityType type, std::string text) {
        errors_[type] = std::move(text);
    }
    void setScreenRecordingError(std::string text) { screenRecordingError_ = std::move(text); }
    // How long answers take (a prompt the user reads); nullopt answers inside the call, as a
    // completion on another thread may.
    void setAnswerDelay(std::optional<Duration> delay) { delay_ = delay; }

    std::size_t probeCount() const { return probes_; }
    // The options of the last shareable-content query: excluding desktop windows, on screen only.
    std::optional<std::pair<bool, bool>> lastProbeOptions() const { return lastProbeOptions_; }
    std::size_t requestCount(EventEntityType type) const;
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    // The anchors (what follows the "?") of the opened System Settings links, in order.
    std::vector<std::string> openedPanes() const;

private:
    void deliver(std::function<void()> answer);

    Scheduler& scheduler_;
    bool screenRecordingAllowed_ = true;
    std::string screenRecordingError_ =
        "The user declined TCCs for application, window, display capture";
    std::map<EventEntityType, std::int64_t> status_;
    // Unset: the user grants.
    std::map<EventEntityType, UserAnswer> answers_;
    std::map<EventEntityType, std::string> errors_;
    std::map<EventEntityType, std::size_t> requests_;
    std::optional<Duration> delay_ = Duration::zero();
    std::size_t probes_ = 0;
    std::optional<std::pair<bool, bool>> lastProbeOptions_;
    std::vector<std::string> openedURLs_;
};

}  // namespace vantorel

#include "platform/sim/SimPermissionServices.h"

#include <utility>

namespace vantorel {

void SimPermissionServices::deliver(std::function<void()> answer) {
    if (!delay_) {
        answer();
    } else {
        scheduler_.schedule(*delay_, std::move(answer));
    }
}

void SimPermissionServices::getShareableContent(
    bool excludingDesktopWindows, bool onScreenWindowsOnly,
    std::function<void(ShareableContentAnswer)> completion) {
    ++probes_;
    lastProbeOptions_ = {excludingDesktopWindows, onScreenWindowsOnly};
    ShareableContentAnswer answer;
    if (screenRecordingAllowed_) {
        answer.hasContent = true;
    } else {
        answer.error = screenRecordingError_;
    }
    deliver([completion = std::move(completion), answer] {
        if (completion) completion(answer);
    });
}

std::int64_t SimPermissionServices::authorizationStatus(EventEntityType type) {
    const auto it = status_.find(type);
    return it == status_.end() ? kNotDetermined : it->second;
}

void SimPermissionServices::requestFullAccess(EventEntityType type,
                                              std::function<void(AccessRequestAnswer)> completion) {
    ++requests_[type];
    AccessRequestAnswer answer;
    const auto chosen = answers_.find(type);
    const UserAnswer user = chosen == answers_.end() ? UserAnswer::grant : chosen->second;
    const std::int64_t before = authorizationStatus(type);
    if (user == UserAnswer::fail) {
        const auto error = errors_.find(type);
        answer.error =
            error == errors_.end() ? "The event store could not be reached" : error->second;
    } else if (before == kNotDetermined) {
        answer.granted = user == UserAnswer::grant;
        status_[type] = answer.granted ? kFullAccess : kDenied;
    } else {
        // Once decided, the system answers from its record without asking again.
        answer.granted = before == kFullAccess;
    }
    deliver([completion = std::move(completion), answer] {
        if (completion) completion(answer);
    });
}

bool SimPermissionServices::openURL(const Url& url) {
    openedURLs_.push_back(url.string());
    return true;
}

std::size_t SimPermissionServices::requestCount(EventEntityType type) const {
    const auto it = requests_.find(type);
    return it == requests_.end() ? 0 : it->second;
}

std::vector<std::string> SimPermissionServices::openedPanes() const {
    std::vector<std::string> panes;
    for (const auto& url : openedURLs_) {
        const auto mark = url.find('?');
        panes.push_back(mark == std::string::npos ? std::string() : url.substr(mark + 1));
    }
    return panes;
}

}  // namespace vantorel

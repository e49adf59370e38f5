#include "platform/sim/SimWorkspace.h"

#include <algorithm>

namespace vantorel {
namespace {

struct SimNotificationToken final : NotificationToken {
    explicit SimNotificationToken(std::uint64_t i) : id(i) {}
    std::uint64_t id;
};

}  // namespace

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
    // A copy: an observer may look the workspace up again.
    postActivation(RunningApplication(*app));
    return true;
}

ImageRef SimWorkspace::iconForFile(std::string_view path) {
    return fileIcons_ ? fileIcons_(path) : folderIcon_;
}

bool SimWorkspace::openURL(const Url& url) {
    opened_.push_back(url);
    // Without a real desktop behind it, whatever is asked to open is there to be opened.
    return opener_ ? opener_(url) : true;
}

std::unique_ptr<NotificationToken> SimWorkspace::addActivationObserver(ActivationHandler handler) {
    const std::uint64_t id = nextObserver_++;
    activationObservers_[id] = std::move(handler);
    return std::make_unique<SimNotificationToken>(id);
}

void SimWorkspace::removeObserver(NotificationToken& token) {
    if (auto* own = dynamic_cast<SimNotificationToken*>(&token))
        activationObservers_.erase(own->id);
}

void SimWorkspace::postActivationWithoutApplication() {
    postActivation(std::nullopt);
}

void SimWorkspace::postActivation(const std::optional<RunningApplication>& application) {
    // A snapshot: an observer may remove itself or others while being told.
    const auto observers = activationObservers_;
    for (const auto& [id, handler] : observers) {
        if (activationObservers_.contains(id) && handler) handler(application);
    }
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

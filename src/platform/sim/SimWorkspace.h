#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Workspace.h"

namespace vantorel {

// The running applications of the simulated desktop, in launch order. Every activation, from
// whatever side, is announced to the activation observers.
class SimWorkspace final : public Workspace {
public:
    std::vector<RunningApplication> runningApplications() override { return apps_; }
    std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) override;
    std::optional<RunningApplication> application(ProcessId pid) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(ProcessId pid) override;
    ImageRef iconForFile(std::string_view path) override;
    std::unique_ptr<NotificationToken> addActivationObserver(ActivationHandler handler) override;
    void removeObserver(NotificationToken& token) override;
    bool openURL(const Url& url) override;

    // Control side.
    void add(RunningApplication app) { apps_.push_back(std::move(app)); }
    // Removes the process; the next query no longer lists it.
    void remove(ProcessId pid);
    RunningApplication* find(ProcessId pid);
    void setFrontmost(std::optional<ProcessId> pid) { frontmost_ = pid; }
    void setFolderIcon(ImageRef icon) { folderIcon_ = std::move(icon); }
    // Where the desktop's real files are: their icons come from, and they open with, these.
    void setFileIcons(std::function<ImageRef(std::string_view)> icons) {
        fileIcons_ = std::move(icons);
    }
    void setOpener(std::function<bool(const Url&)> opener) { opener_ = std::move(opener); }
    // Every URL asked to open, in order, whether or not it opened.
    const std::vector<Url>& openedURLs() const { return opened_; }
    const std::vector<ProcessId>& activations() const { return activations_; }
    // An activation notification whose user info lacks the application, as a misbehaving
    // sender may post it.
    void postActivationWithoutApplication();
    std::size_t activationObserverCount() const { return activationObservers_.size(); }

private:
    std::vector<RunningApplication> apps_;
    std::optional<ProcessId> frontmost_;
    std::vector<ProcessId> activations_;
    ImageRef folderIcon_;
    std::uint64_t nextObserver_ = 1;
    std::map<std::uint64_t, ActivationHandler> activationObservers_;

    void postActivation(const std::optional<RunningApplication>& application);
    std::function<ImageRef(std::string_view)> fileIcons_;
    std::function<bool(const Url&)> opener_;
    std::vector<Url> opened_;
};

}  // namespace vantorel

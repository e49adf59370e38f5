#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

namespace vantorel {

// The accessibility, workspace and window-server ports answering from a table prepared
// beforehand: first recorded from real ports, call by call, then handed back in the same order,
// each answer moved out of the table. What is left of a call is what the ports' types force
// (a move and a return), so a run on these measures the core's share alone. rewind() refills
// the table between runs; it belongs outside the measurement.
class PreparedPorts final : public Accessibility, public Workspace, public WindowServer {
public:
    PreparedPorts(Accessibility& accessibility, Workspace& workspace, WindowServer& windowServer)
        : realAX_(&accessibility), realWorkspace_(&workspace), realServer_(&windowServer) {}

    // Stops recording: from here on every call is answered from the table.
    void finishRecording() {
        recording_ = false;
        rewind();
    }
    void rewind() { play_ = record_; }
    // Calls made that the table could not answer (a run that differed from the recorded one).
    std::size_t misses() const { return misses_; }

    bool isProcessTrusted(bool) override { return true; }
    AXElement createApplication(ProcessId pid) override {
        return next(
            play_.elements, [&] { return realAX_->createApplication(pid); }, record_.elements);
    }
    AXResult copyAttributeValue(const AXElement& element, std::string_view attribute) override {
        return next(
            play_.results, [&] { return realAX_->copyAttributeValue(element, attribute); },
            record_.results);
    }
    AXNamesResult copyAttributeNames(const AXElement&) override { return {}; }
    AXError setAttributeValue(const AXElement&, std::string_view, const AXValue&) override {
        return AXError::failure;
    }
    AXError performAction(const AXElement&, std::string_view) override { return AXError::failure; }
    std::uint64_t hash(const AXElement& element) override {
        return next(
            play_.hashes, [&] { return realAX_->hash(element); }, record_.hashes);
    }

    std::vector<RunningApplication> runningApplications() override {
        return next(
            play_.apps, [&] { return realWorkspace_->runningApplications(); }, record_.apps);
    }
    std::vector<RunningApplication> runningApplications(std::string_view bundle) override {
        return next(
            play_.apps, [&] { return realWorkspace_->runningApplications(bundle); }, record_.apps);
    }
    std::optional<RunningApplication> application(ProcessId pid) override {
        return next(
            play_.app, [&] { return realWorkspace_->application(pid); }, record_.app);
    }
    std::optional<RunningApplication> frontmostApplication() override {
        return next(
            play_.app, [&] { return realWorkspace_->frontmostApplication(); }, record_.app);
    }
    bool activate(ProcessId) override { return false; }
    ImageRef iconForFile(std::string_view) override { return nullptr; }
    bool openURL(const Url&) override { return false; }
    std::unique_ptr<NotificationToken> addActivationObserver(ActivationHandler) override {
        return nullptr;
    }
    void removeObserver(NotificationToken&) override {}

    std::optional<WindowServerArray> copyWindowInfo(Options options,
                                                    WindowNumber relativeTo) override {
        return next(
            play_.lists, [&] { return realServer_->copyWindowInfo(options, relativeTo); },
            record_.lists);
    }

private:
    template <typename T>
    struct Queue {
        std::vector<T> items;
        std::size_t next = 0;
    };
    struct Table {
        Queue<AXElement> elements;
        Queue<AXResult> results;
        Queue<std::uint64_t> hashes;
        Queue<std::vector<RunningApplication>> apps;
        Queue<std::optional<RunningApplication>> app;
        Queue<std::optional<WindowServerArray>> lists;
    };

    template <typename T, typename Ask>
    T next(Queue<T>& playing, Ask ask, Queue<T>& recorded) {
        if (recording_) {
            recorded.items.push_back(ask());
            return recorded.items.back();
        }
        if (playing.next >= playing.items.size()) {
            ++misses_;
            return T{};
        }
        return std::move(playing.items[playing.next++]);
    }

    Accessibility* realAX_;
    Workspace* realWorkspace_;
    WindowServer* realServer_;
    bool recording_ = true;
    Table record_;
    Table play_;
    std::size_t misses_ = 0;
};

}  // namespace vantorel

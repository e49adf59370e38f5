#include "windows/WindowActions.h"

#include <cstdint>
#include <string>

#include "platform/Accessibility.h"
#include "platform/Workspace.h"

namespace vantorel {
namespace {

std::string errorCode(AXError error) {
    return std::to_string(static_cast<std::int64_t>(error));
}

// Runs after close() has returned, possibly after the actions object is gone, so it holds the
// ports themselves (which outlive everything) and the window number for its log line.
void sendEscape(KeyEvents& keyEvents, const Log& log, WindowNumber windowNumber) {
    const auto source = keyEvents.createSource(KeyEvents::SourceState::combinedSession);
    if (!source) return;
    bool sent = false;
    for (const bool keyDown : {true, false}) {
        const auto event =
            keyEvents.createKeyboardEvent(source.get(), WindowActions::kEscapeKeyCode, keyDown);
        if (!event) continue;
        keyEvents.post(KeyEvents::TapLocation::hid, *event);
        sent = true;
    }
    // Nothing posted is nothing to report as sent.
    if (sent) log.debug("Sent Escape to dismiss window " + std::to_string(windowNumber));
}

}  // namespace

WindowActions::WindowActions(const PlatformPorts& ports)
    : ax_(&ports.accessibility),
      workspace_(&ports.workspace),
      scheduler_(&ports.scheduler),
      keyEvents_(&ports.keyEvents),
      reader_(ports.accessibility),
      log_(ports.logger, "windows") {}

void WindowActions::activate(const WindowInfo& window) const {
    if (window.isMinimized) setMinimized(window, false);
    activateOwner(window);
    ax_->performAction(window.axElement, "AXRaise");
    log_.debug("Focused window " + std::to_string(window.cgWindowID));
}

void WindowActions::setMinimized(const WindowInfo& window, bool minimized) const {
    ax_->setAttributeValue(window.axElement, "AXMinimized", AXValue{minimized});
    log_.debug(std::string(minimized ? "Minimized" : "Restored") + " window " +
               std::to_string(window.cgWindowID));
}

void WindowActions::close(const WindowInfo& window) const {
    const WindowNumber number = window.cgWindowID;
    AXError closeError = AXError::success;
    if (press(window.axElement, "AXCloseButton", closeError)) {
        log_.debug("Closed window " + std::to_string(number));
        return;
    }
    AXError cancelError = AXError::success;
    if (press(window.axElement, "AXCancelButton", cancelError)) {
        log_.debug("Dismissed window " + std::to_string(number) + " via Cancel");
        return;
    }

    const std::string role = reader_.string(window.axElement, "AXRole").value_or("?");
    log_.error("No actionable close/cancel for " + std::to_string(number) +
               ": err=" + errorCode(closeError) + " role=" + role + " attrs=[" +
               attributeNames(window.axElement) + "]");
    activateOwner(window);
    scheduler_->schedule(kEscapeDelay, [keyEvents = keyEvents_, log = log_, number] {
        sendEscape(*keyEvents, log, number);
    });
}

bool WindowActions::press(const AXElement& window, std::string_view attribute,
                          AXError& readError) const {
    const AXResult result = ax_->copyAttributeValue(window, attribute);
    readError = result.error;
    if (result.error != AXError::success || !result.value) return false;
    const AXElement* button = result.value->as<AXElement>();
    if (!button || !*button) return false;
    return ax_->performAction(*button, "AXPress") == AXError::success;
}

void WindowActions::activateOwner(const WindowInfo& window) const {
    // No process has a non-positive id that an application could own.
    if (window.ownerPID <= 0) return;
    if (workspace_->application(window.ownerPID)) workspace_->activate(window.ownerPID);
}

std::string WindowActions::attributeNames(const AXElement& window) const {
    const AXNamesResult result = ax_->copyAttributeNames(window);
    std::string joined;
    if (result.error != AXError::success) return joined;
    for (std::size_t i = 0; i < result.names.size(); ++i) {
        if (i > 0) joined += ',';
        joined += result.names[i];
    }
    return joined;
}

}  // namespace vantorel

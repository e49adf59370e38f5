#include "switcher/WindowSwitcher.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "platform/Workspace.h"
#include "windows/ThumbnailService.h"

namespace vantorel {

WindowSwitcher::WindowSwitcher(const PlatformPorts& ports, ThumbnailService& thumbnails,
                               const SwitcherPanel::SurfaceFactory& makeSurface)
    : thumbnails_(thumbnails),
      windowService_(ports),
      actions_(ports),
      panel_(ports.screens, ports.pointer, ports.logger, makeSurface),
      activation_(ports.workspace),
      keyEvents_(ports.keyEvents),
      workspace_(ports.workspace),
      scheduler_(ports.scheduler),
      log_(ports.logger, "app"),
      self_(std::make_shared<WindowSwitcher*>(this)) {}

WindowSwitcher::~WindowSwitcher() {
    stop();
}

void WindowSwitcher::start() {
    if (eventTap_) return;
    std::weak_ptr<WindowSwitcher*> weak = self_;
    auto tap = keyEvents_.tapCreate(
        KeyEvents::TapLocation::session, KeyEvents::TapPlacement::headInsert,
        KeyEvents::TapOptions::defaultTap, kEventsOfInterest,
        [weak](EventType type, const TappedEvent& event) {
            const auto self = weak.lock();
            if (!self) return false;
            return (*self)->handleEvent(
                type, event.integerValueField(EventField::keyboardEventKeycode), event.flags());
        });
    if (!tap) {
        log_.error("Switcher: could not create event tap (Accessibility required)");
        return;
    }
    eventTap_ = std::move(tap);
    runLoopSource_ = keyEvents_.createRunLoopSource(*eventTap_);
    if (runLoopSource_) keyEvents_.addToMainRunLoop(*runLoopSource_);
    keyEvents_.tapEnable(*eventTap_, true);
    activation_.start();
    log_.info("Switcher: ⌥Tab window switcher armed");
}

void WindowSwitcher::stop() {
    // Nothing would close an open panel once the keys stop coming.
    if (isOpen_) close();
    if (eventTap_) keyEvents_.tapEnable(*eventTap_, false);
    if (runLoopSource_) keyEvents_.removeFromMainRunLoop(*runLoopSource_);
    runLoopSource_.reset();
    eventTap_.reset();
    activation_.stop();
}

bool WindowSwitcher::handleEvent(EventType type, std::int64_t keyCode, EventFlags flags) {
    if (type == kEventTypeTapDisabledByTimeout || type == kEventTypeTapDisabledByUserInput) {
        if (eventTap_) keyEvents_.tapEnable(*eventTap_, true);
        return false;
    }
    if (type == kEventTypeFlagsChanged) {
        // The front application still sees the modifier change.
        if (isOpen_ && (flags & kEventFlagMaskAlternate) == 0) commit();
        return false;
    }
    if (type != kEventTypeKeyDown) return false;

    if (keyCode == kTab && (flags & kEventFlagMaskAlternate) != 0) {
        const bool forward = (flags & kEventFlagMaskShift) == 0;
        if (isOpen_) {
            step(forward);
        } else {
            open(forward);
        }
        return true;
    }
    if (!isOpen_) return false;
    switch (keyCode) {
        case kReturn:
        case kKeypadEnter:
            commit();
            break;
        case kEscape:
            cancel();
            break;
        case kLeftArrow:
            step(false);
            break;
        case kRightArrow:
            step(true);
            break;
        default:
            break;
    }
    return true;
}

void WindowSwitcher::open(bool forward) {
    const std::vector<WindowInfo> windows = windowService_.allWindows();
    const std::vector<ProcessId>& order = activation_.order();
    // (recency rank of the owner, position in the service's list); unranked owners last.
    std::vector<std::pair<std::int64_t, std::size_t>> keys;
    keys.reserve(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const auto it = std::find(order.begin(), order.end(), windows[i].ownerPID);
        const std::int64_t rank = it == order.end() ? std::numeric_limits<std::int64_t>::max()
                                                    : static_cast<std::int64_t>(it - order.begin());
        keys.emplace_back(rank, i);
    }
    std::sort(keys.begin(), keys.end());
    if (keys.size() < 2) return;

    std::vector<SwitcherState::Item> items;
    items.reserve(keys.size());
    for (const auto& [rank, index] : keys) {
        const WindowInfo& window = windows[index];
        SwitcherState::Item item;
        item.id = window.id;
        item.window = window;
        if (const auto app = workspace_.application(window.ownerPID)) {
            item.appName = app->localizedName.value_or("");
            item.appIcon = app->icon;
        }
        items.push_back(std::move(item));
    }
    const int selection = forward ? 1 : static_cast<int>(items.size()) - 1;
    // Giving a few hundred images back to the system takes longer than the first frame: not
    // on the way to it.
    for (const SwitcherState::Item& old : panel_.state().items())
        if (old.thumbnail) retired_.push_back(old.thumbnail);
    panel_.state().setItems(std::move(items), selection);
    isOpen_ = true;
    panel_.show();
    panel_.refit();
    captureThumbnails(panel_.state().items());
    if (log_.debugEnabled()) {
        log_.debug("Switcher: open with " + std::to_string(panel_.state().items().size()) +
                   " windows");
    }
}

void WindowSwitcher::step(bool forward) {
    SwitcherState& state = panel_.state();
    const int count = static_cast<int>(state.items().size());
    if (!isOpen_ || count == 0) return;
    const int d = forward ? 1 : -1;
    // The selection may be out of range; the modulo brings any value back in.
    const int next = ((state.selectedIndex() + d) % count + count) % count;
    state.setSelectedIndex(next);
}

void WindowSwitcher::commit() {
    if (!isOpen_) return;
    // A copy: closing leaves the items in place, but the next opening replaces them.
    const SwitcherState::Item* selected = panel_.state().selectedItem();
    const std::optional<SwitcherState::Item> item =
        selected ? std::optional<SwitcherState::Item>(*selected) : std::nullopt;
    close();
    if (!item) return;
    actions_.activate(item->window);
    log_.debug("Switcher: committed " + item->appName);
}

void WindowSwitcher::cancel() {
    if (!isOpen_) return;
    close();
    log_.debug("Switcher: cancelled");
}

void WindowSwitcher::close() {
    isOpen_ = false;
    for (const TaskHandle& task : captureTasks_)
        task.cancel();
    captureTasks_.clear();
    panel_.orderOut();
    if (retired_.empty()) return;
    // After what closing leads to (the activation), not before it.
    scheduler_.post([weak = std::weak_ptr<WindowSwitcher*>(self_)] {
        if (const auto self = weak.lock()) (*self)->retired_.clear();
    });
}

void WindowSwitcher::captureThumbnails(const std::vector<SwitcherState::Item>& items) {
    std::weak_ptr<WindowSwitcher*> weak = self_;
    captureTasks_.reserve(captureTasks_.size() + items.size());
    for (const SwitcherState::Item& item : items) {
        auto task = std::make_shared<TaskHandle::State>();
        captureTasks_.emplace_back(task);
        scheduler_.post([weak, task, windowID = item.window.cgWindowID, id = item.id] {
            const auto self = weak.lock();
            if (!self || task->cancelled) return;
            task->started = true;
            (*self)->thumbnails_.snapshot(windowID, [weak, task, id](ImageRef image) {
                const auto alive = weak.lock();
                if (!alive || task->cancelled || !image) return;
                (*alive)->panel_.state().setThumbnail(std::move(image), id);
            });
        });
    }
}

}  // namespace vantorel

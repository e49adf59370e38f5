#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/EventTap.h"
#include "platform/KeyEvents.h"
#include "platform/Scheduler.h"

namespace vantorel {

// The keyboard of the simulated desktop. Synthetic events: every posted event is kept, with the
// virtual time it was posted at, for tests to read; source and event creation can be made to
// fail. Typed events: they pass the enabled taps first, newest head-inserted tap first, and what
// no tap swallows reaches the front application. Taps can be switched off as the system does
// to a slow callback, and cannot be created while the process is not trusted.
class SimKeyEvents final : public KeyEvents {
public:
    struct Posted {
        KeyCode keyCode = 0;
        bool keyDown = false;
        TapLocation location = TapLocation::hid;
        // The state of the source the event was made from; none for an event without a source.
        std::optional<SourceState> sourceState;
        TimePoint time;
    };

    // A typed event that reached the front application.
    struct Delivered {
        EventType type = 0;
        KeyCode keyCode = 0;
        EventFlags flags = 0;
    };

    explicit SimKeyEvents(const Scheduler& clock) : clock_(clock) {}

    std::unique_ptr<KeyEventSource> createSource(SourceState state) override;
    std::unique_ptr<KeyEvent> createKeyboardEvent(const KeyEventSource* source, KeyCode key,
                                                  bool keyDown) override;
    void post(TapLocation location, const KeyEvent& event) override;
    std::unique_ptr<EventTap> tapCreate(TapLocation location, TapPlacement placement,
                                        TapOptions options, EventTypeMask events,
                                        EventTapCallback callback) override;
    std::unique_ptr<RunLoopSource> createRunLoopSource(EventTap& tap) override;
    void addToMainRunLoop(RunLoopSource& source) override;
    void removeFromMainRunLoop(RunLoopSource& source) override;
    void tapEnable(EventTap& tap, bool enable) override;

    // Control side.
    void setSourceCreationFails(bool fails) { sourceFails_ = fails; }
    // Key-down and key-up events can be made to fail apart.
    void setEventCreationFails(bool keyDown, bool keyUp) {
        keyDownFails_ = keyDown;
        keyUpFails_ = keyUp;
    }
    const std::vector<Posted>& posted() const { return posted_; }
    void clearPosted() { posted_.clear(); }
    std::size_t sourcesCreated() const { return sourcesCreated_; }
    // Called for each posted event, after it is recorded (so the desktop can act on keys).
    std::function<void(const Posted&)> onPost;

    // Whether the process is trusted for Accessibility; taps are refused without it. Trusted
    // when unset.
    void setTrustCheck(std::function<bool()> trusted) { trusted_ = std::move(trusted); }
    // A key-down, key-up or modifier change typed by the user; true when a tap swallowed it.
    bool type(EventType type, KeyCode key, EventFlags flags);
    // The system switches every enabled tap off; each is told so with `reason` as the type of
    // the next event it would have seen.
    void disableTaps(EventType reason);
    std::size_t tapCount() const;
    std::size_t enabledTapCount() const;
    std::size_t tapsCreated() const { return tapsCreated_; }
    const std::vector<Delivered>& delivered() const { return delivered_; }
    void clearDelivered() { delivered_.clear(); }

    struct Tap;

private:
    const Scheduler& clock_;
    std::function<bool()> trusted_;
    // Head first.
    std::vector<std::shared_ptr<Tap>> taps_;
    std::size_t tapsCreated_ = 0;
    std::vector<Delivered> delivered_;
    bool sourceFails_ = false;
    bool keyDownFails_ = false;
    bool keyUpFails_ = false;
    std::size_t sourcesCreated_ = 0;
    std::vector<Posted> posted_;
};

}  // namespace vantorel

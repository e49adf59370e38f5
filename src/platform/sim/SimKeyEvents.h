#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/KeyEvents.h"
#include "platform/Scheduler.h"

namespace vantorel {

// Synthetic key events on the simulated desktop: every posted event is kept, with the virtual
// time it was posted at, for tests to read. Source and event creation can be made to fail.
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

    explicit SimKeyEvents(const Scheduler& clock) : clock_(clock) {}

    std::unique_ptr<KeyEventSource> createSource(SourceState state) override;
    std::unique_ptr<KeyEvent> createKeyboardEvent(const KeyEventSource* source, KeyCode key,
                                                  bool keyDown) override;
    void post(TapLocation location, const KeyEvent& event) override;

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

private:
    const Scheduler& clock_;
    bool sourceFails_ = false;
    bool keyDownFails_ = false;
    bool keyUpFails_ = false;
    std::size_t sourcesCreated_ = 0;
    std::vector<Posted> posted_;
};

}  // namespace vantorel

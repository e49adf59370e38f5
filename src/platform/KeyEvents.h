#pragma once

#include <cstdint>
#include <memory>

#include "platform/EventTap.h"

namespace vantorel {

// The platform's virtual key codes (the hardware key, not the character it types).
using KeyCode = std::uint16_t;

// What an adapter keeps behind an event source (a retained platform source, or the simulated
// one). The core never looks inside.
class KeyEventSource {
public:
    virtual ~KeyEventSource() = default;
};

// One synthetic keyboard event, created but not yet posted.
class KeyEvent {
public:
    virtual ~KeyEvent() = default;
};

// Port: the session's keyboard events — creating and posting synthetic ones, and tapping the
// real ones before any application sees them. Each call may fail; the caller decides what a
// missing source, event or tap means.
class KeyEvents {
public:
    // The platform's event source states.
    enum class SourceState : std::int32_t { privateState = -1, combinedSession = 0, hidSystem = 1 };
    // Where an event enters the event stream; the HID location is where hardware events enter.
    enum class TapLocation : std::uint32_t { hid = 0, session = 1, annotatedSession = 2 };
    // Where a new tap goes among the taps already at that location.
    enum class TapPlacement : std::uint32_t { headInsert = 0, tailAppend = 1 };
    // An active tap may swallow events; a listen-only one only sees them.
    enum class TapOptions : std::uint32_t { defaultTap = 0, listenOnly = 1 };

    virtual ~KeyEvents() = default;
    // nullptr when the platform cannot create the source.
    virtual std::unique_ptr<KeyEventSource> createSource(SourceState state) = 0;
    // A key-down or key-up event for the key; the source may be null, as the platform allows.
    // nullptr when the event cannot be created.
    virtual std::unique_ptr<KeyEvent> createKeyboardEvent(const KeyEventSource* source, KeyCode key,
                                                          bool keyDown) = 0;
    virtual void post(TapLocation location, const KeyEvent& event) = 0;

    // A tap on the events of the types in `events`; nullptr when the process may not tap (it
    // lacks the Accessibility permission). It delivers once its source is on the main run loop
    // and it is enabled.
    virtual std::unique_ptr<EventTap> tapCreate(TapLocation location, TapPlacement placement,
                                                TapOptions options, EventTypeMask events,
                                                EventTapCallback callback) = 0;
    virtual std::unique_ptr<RunLoopSource> createRunLoopSource(EventTap& tap) = 0;
    // In the run loop's common modes, so the tap also delivers during menus and drags.
    virtual void addToMainRunLoop(RunLoopSource& source) = 0;
    virtual void removeFromMainRunLoop(RunLoopSource& source) = 0;
    virtual void tapEnable(EventTap& tap, bool enable) = 0;
};

}  // namespace vantorel

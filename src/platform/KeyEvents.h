#pragma once

#include <cstdint>
#include <memory>

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

// Port: creating and posting synthetic keyboard events. Each call may fail; the caller decides
// what a missing source or event means.
class KeyEvents {
public:
    // The platform's event source states.
    enum class SourceState : std::int32_t { privateState = -1, combinedSession = 0, hidSystem = 1 };
    // Where an event enters the event stream; the HID location is where hardware events enter.
    enum class TapLocation : std::uint32_t { hid = 0, session = 1, annotatedSession = 2 };

    virtual ~KeyEvents() = default;
    // nullptr when the platform cannot create the source.
    virtual std::unique_ptr<KeyEventSource> createSource(SourceState state) = 0;
    // A key-down or key-up event for the key; the source may be null, as the platform allows.
    // nullptr when the event cannot be created.
    virtual std::unique_ptr<KeyEvent> createKeyboardEvent(const KeyEventSource* source, KeyCode key,
                                                          bool keyDown) = 0;
    virtual void post(TapLocation location, const KeyEvent& event) = 0;
};

}  // namespace vantorel

#pragma once

#include <cstdint>
#include <functional>

namespace vantorel {

// The platform's event types, as a tap callback receives them. Untrusted: any value may come.
using EventType = std::uint32_t;
inline constexpr EventType kEventTypeKeyDown = 10;
inline constexpr EventType kEventTypeKeyUp = 11;
inline constexpr EventType kEventTypeFlagsChanged = 12;
// What the callback is told instead of an event once the system has switched its tap off.
inline constexpr EventType kEventTypeTapDisabledByTimeout = 0xFFFFFFFE;
inline constexpr EventType kEventTypeTapDisabledByUserInput = 0xFFFFFFFF;

// Which event types a tap sees: bit n stands for type n.
using EventTypeMask = std::uint64_t;
constexpr EventTypeMask eventMaskBit(EventType type) {
    return type < 64 ? EventTypeMask{1} << type : 0;
}

using EventFlags = std::uint64_t;
inline constexpr EventFlags kEventFlagMaskShift = 0x20000;
inline constexpr EventFlags kEventFlagMaskAlternate = 0x80000;

// The integer fields of an event the core reads.
enum class EventField : std::uint32_t { keyboardEventKeycode = 9 };

// One event inside a tap callback; valid only during the call.
class TappedEvent {
public:
    virtual ~TappedEvent() = default;
    virtual std::int64_t integerValueField(EventField field) const = 0;
    virtual EventFlags flags() const = 0;
};

// Called on the main thread for each event the tap sees, before any application. Answers true
// to swallow the event, false to pass it on unchanged.
using EventTapCallback = std::function<bool(EventType type, const TappedEvent& event)>;

// The tap's port, as the platform hands it back; releasing it ends the tap.
class EventTap {
public:
    virtual ~EventTap() = default;
};

// The tap's run-loop source; it delivers only while added to the main run loop.
class RunLoopSource {
public:
    virtual ~RunLoopSource() = default;
};

}  // namespace vantorel

#pragma once

#include <xcb/xcb.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyEvents.h"
#include "platform/Logger.h"

struct _XCBKeySymbols;

namespace vantorel {

class XcbConnection;

// The session's keys on X11. The tap is a passive grab of Alt+Tab and Alt+Shift+Tab on the root
// (with every combination of the lock keys, which X counts as modifiers); once a grabbed Tab is
// swallowed the whole keyboard is grabbed until an Alt key is released, and the keymap is read
// right after the grab so that an Alt let go before it took still ends the switch. Key codes
// and modifiers are translated to the platform's: Alt is Option, and an Alt release is a
// modifier change without it. Synthetic keys are posted through the XTest extension.
// Main thread only.
class X11KeyEvents final : public KeyEvents {
public:
    // The connection outlives this.
    X11KeyEvents(XcbConnection& connection, Logger& logger);
    ~X11KeyEvents() override;

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

    // Why Alt+Tab could not be grabbed, with what frees it; empty while nothing stands in the way.
    const std::string& grabProblem() const { return grabProblem_; }
    // Told once when a grab fails.
    std::function<void(const std::string& problem)> onGrabProblem;
    bool keyboardGrabbed() const { return keyboardGrabbed_; }

    // The text logged and shown when the window manager holds Alt+Tab.
    static constexpr const char* kTakenProblem =
        "Alt+Tab is taken by the window manager, so the switcher cannot open. Free it in the "
        "window manager's key bindings (openbox: remove the A-Tab and A-S-Tab keybind entries "
        "from rc.xml, then run openbox --reconfigure) and restart Vantorel.";

private:
    class Tap;
    class Source;
    void handle(const xcb_generic_event_t& event);
    void readKeyboard();
    void grabKeys(bool grab);
    void grabKeyboard(xcb_timestamp_t time);
    void releaseKeyboard(xcb_timestamp_t time);
    bool altHeld();
    bool deliver(EventType type, KeyCode key, EventFlags flags);
    EventFlags flagsOf(std::uint16_t state) const;
    KeyCode platformKey(xcb_keycode_t keycode) const;
    xcb_keycode_t serverKey(KeyCode key) const;

    XcbConnection& x_;
    Log log_;
    _XCBKeySymbols* symbols_ = nullptr;
    std::uint16_t altMask_ = XCB_MOD_MASK_1;
    std::uint16_t numLockMask_ = 0;
    std::vector<xcb_keycode_t> altKeys_;
    std::vector<xcb_keycode_t> tabKeys_;
    Tap* tap_ = nullptr;
    bool keysGrabbed_ = false;
    bool keyboardGrabbed_ = false;
    std::string grabProblem_;
    std::shared_ptr<X11KeyEvents*> self_;
};

}  // namespace vantorel

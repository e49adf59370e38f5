#include "platform/x11/X11KeyEvents.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/x11/XcbConnection.h"

namespace vantorel {
namespace {

constexpr xcb_keysym_t kTabSym = 0xff09;
constexpr xcb_keysym_t kLeftTabSym = 0xfe20;
constexpr xcb_keysym_t kReturnSym = 0xff0d;
constexpr xcb_keysym_t kKeypadEnterSym = 0xff8d;
constexpr xcb_keysym_t kEscapeSym = 0xff1b;
constexpr xcb_keysym_t kLeftSym = 0xff51;
constexpr xcb_keysym_t kRightSym = 0xff53;
constexpr xcb_keysym_t kAltLeftSym = 0xffe9;
constexpr xcb_keysym_t kAltRightSym = 0xffea;
constexpr xcb_keysym_t kNumLockSym = 0xff7f;
constexpr std::uint8_t kBadAccess = 10;

// The platform's codes for the keys the switcher reads; every other key gets a code past them.
struct KeyPair {
    xcb_keysym_t symbol;
    KeyCode platform;
};
constexpr KeyPair kKnownKeys[] = {{kTabSym, 48},         {kLeftTabSym, 48}, {kReturnSym, 36},
                                  {kKeypadEnterSym, 76}, {kEscapeSym, 53},  {kLeftSym, 123},
                                  {kRightSym, 124},      {kAltLeftSym, 58}, {kAltRightSym, 61}};
constexpr KeyCode kUnknownKeyBase = 0x1000;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

class X11KeyEvent final : public KeyEvent {
public:
    X11KeyEvent(xcb_keycode_t k, bool d) : keycode(k), down(d) {}
    xcb_keycode_t keycode;
    bool down;
};

class Tapped final : public TappedEvent {
public:
    Tapped(KeyCode key, EventFlags flags) : key_(key), flags_(flags) {}
    std::int64_t integerValueField(EventField field) const override {
        return field == EventField::keyboardEventKeycode ? key_ : 0;
    }
    EventFlags flags() const override { return flags_; }

private:
    KeyCode key_;
    EventFlags flags_;
};

}  // namespace

class X11KeyEvents::Source final : public KeyEventSource {};

class X11KeyEvents::Tap final : public EventTap {
public:
    Tap(X11KeyEvents& keys, EventTypeMask mask, EventTapCallback handler)
        : owner(&keys), events(mask), callback(std::move(handler)) {}
    ~Tap() override {
        if (owner && owner->tap_ == this) {
            owner->grabKeys(false);
            owner->tap_ = nullptr;
        }
    }
    X11KeyEvents* owner;
    EventTypeMask events;
    EventTapCallback callback;
    bool enabled = false;
    bool onRunLoop = false;
};

namespace {
class TapSource final : public RunLoopSource {
public:
    explicit TapSource(EventTap& t) : tap(&t) {}
    EventTap* tap;
};
}  // namespace

X11KeyEvents::X11KeyEvents(XcbConnection& connection, Logger& logger)
    : x_(connection), log_(logger, "app"), self_(std::make_shared<X11KeyEvents*>(this)) {
    symbols_ = xcb_key_symbols_alloc(x_.get());
    readKeyboard();
    x_.addListener([weak = std::weak_ptr<X11KeyEvents*>(self_)](const xcb_generic_event_t& e) {
        if (const auto self = weak.lock()) (*self)->handle(e);
    });
}

X11KeyEvents::~X11KeyEvents() {
    if (tap_) {
        grabKeys(false);
        tap_->owner = nullptr;
    }
    releaseKeyboard(XCB_CURRENT_TIME);
    if (symbols_) xcb_key_symbols_free(symbols_);
}

void X11KeyEvents::readKeyboard() {
    tabKeys_.clear();
    altKeys_.clear();
    std::unique_ptr<xcb_keycode_t, FreeDeleter> tabs(
        xcb_key_symbols_get_keycode(symbols_, kTabSym));
    for (const xcb_keycode_t* k = tabs.get(); k && *k != XCB_NO_SYMBOL; ++k)
        tabKeys_.push_back(*k);
    std::unique_ptr<xcb_keycode_t, FreeDeleter> altLeft(
        xcb_key_symbols_get_keycode(symbols_, kAltLeftSym));
    std::unique_ptr<xcb_keycode_t, FreeDeleter> numLock(
        xcb_key_symbols_get_keycode(symbols_, kNumLockSym));
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, FreeDeleter> mapping(
        xcb_get_modifier_mapping_reply(x_.get(), xcb_get_modifier_mapping(x_.get()), nullptr));
    if (!mapping) return;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    const auto holds = [&](int modifier, const xcb_keycode_t* wanted) {
        for (int i = 0; i < perModifier; ++i)
            for (const xcb_keycode_t* w = wanted; w && *w != XCB_NO_SYMBOL; ++w)
                if (codes[modifier * perModifier + i] == *w) return true;
        return false;
    };
    // The modifier Alt_L is bound to, not necessarily Mod1; every key bound to it counts as Alt.
    for (int modifier = 3; modifier < 8; ++modifier) {
        if (holds(modifier, altLeft.get())) {
            altMask_ = static_cast<std::uint16_t>(1u << modifier);
            for (int i = 0; i < perModifier; ++i)
                if (const xcb_keycode_t k = codes[modifier * perModifier + i])
                    altKeys_.push_back(k);
        }
        if (holds(modifier, numLock.get()))
            numLockMask_ = static_cast<std::uint16_t>(1u << modifier);
    }
}

std::unique_ptr<KeyEventSource> X11KeyEvents::createSource(SourceState) {
    return std::make_unique<Source>();
}

std::unique_ptr<KeyEvent> X11KeyEvents::createKeyboardEvent(const KeyEventSource*, KeyCode key,
                                                            bool keyDown) {
    const xcb_keycode_t code = serverKey(key);
    if (code == XCB_NO_SYMBOL) return nullptr;
    return std::make_unique<X11KeyEvent>(code, keyDown);
}

void X11KeyEvents::post(TapLocation, const KeyEvent& event) {
    const auto* key = dynamic_cast<const X11KeyEvent*>(&event);
    if (!key) return;
    xcb_test_fake_input(x_.get(), key->down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, key->keycode,
                        XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(x_.get());
}

std::unique_ptr<EventTap> X11KeyEvents::tapCreate(TapLocation, TapPlacement, TapOptions,
                                                  EventTypeMask events, EventTapCallback callback) {
    // One grab of the keys per client: a second tap has nothing of its own to grab.
    if (tap_) return nullptr;
    auto tap = std::make_unique<Tap>(*this, events, std::move(callback));
    tap_ = tap.get();
    return tap;
}

std::unique_ptr<RunLoopSource> X11KeyEvents::createRunLoopSource(EventTap& tap) {
    return std::make_unique<TapSource>(tap);
}

void X11KeyEvents::addToMainRunLoop(RunLoopSource& source) {
    auto* tap = dynamic_cast<Tap*>(static_cast<TapSource&>(source).tap);
    if (!tap || tap != tap_) return;
    tap->onRunLoop = true;
    grabKeys(tap->enabled);
}

void X11KeyEvents::removeFromMainRunLoop(RunLoopSource& source) {
    auto* tap = dynamic_cast<Tap*>(static_cast<TapSource&>(source).tap);
    if (!tap || tap != tap_) return;
    tap->onRunLoop = false;
    grabKeys(false);
}

void X11KeyEvents::tapEnable(EventTap& eventTap, bool enable) {
    auto* tap = dynamic_cast<Tap*>(&eventTap);
    if (!tap || tap != tap_) return;
    tap->enabled = enable;
    grabKeys(enable && tap->onRunLoop);
}

void X11KeyEvents::grabKeys(bool grab) {
    if (grab == keysGrabbed_) return;
    keysGrabbed_ = grab;
    xcb_connection_t* c = x_.get();
    if (!grab) {
        for (const xcb_keycode_t key : tabKeys_)
            xcb_ungrab_key(c, key, x_.root(), XCB_MOD_MASK_ANY);
        releaseKeyboard(XCB_CURRENT_TIME);
        xcb_flush(c);
        return;
    }
    // Caps Lock and Num Lock are modifiers to X: a grab holds only for the exact set.
    std::vector<std::uint16_t> locks{0, XCB_MOD_MASK_LOCK};
    if (numLockMask_ != 0) {
        locks.push_back(numLockMask_);
        locks.push_back(static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLockMask_));
    }
    std::vector<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t key : tabKeys_) {
        for (const std::uint16_t shift : {std::uint16_t{0}, std::uint16_t{XCB_MOD_MASK_SHIFT}}) {
            for (const std::uint16_t lock : locks) {
                cookies.push_back(xcb_grab_key_checked(
                    c, 1, x_.root(), static_cast<std::uint16_t>(altMask_ | shift | lock), key,
                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            }
        }
    }
    bool taken = false;
    bool failed = tabKeys_.empty();
    for (const auto cookie : cookies) {
        std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(c, cookie));
        if (!error) continue;
        failed = true;
        taken = taken || error->error_code == kBadAccess;
    }
    if (!failed) {
        grabProblem_.clear();
        return;
    }
    const std::string problem =
        taken ? kTakenProblem : "Alt+Tab could not be grabbed on this X display.";
    if (problem == grabProblem_) return;
    grabProblem_ = problem;
    log_.error(problem);
    if (onGrabProblem) onGrabProblem(problem);
}

void X11KeyEvents::grabKeyboard(xcb_timestamp_t time) {
    std::unique_ptr<xcb_grab_keyboard_reply_t, FreeDeleter> reply(xcb_grab_keyboard_reply(
        x_.get(),
        xcb_grab_keyboard(x_.get(), 1, x_.root(), time, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    keyboardGrabbed_ = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    if (!keyboardGrabbed_) log_.error("Switcher: could not grab the keyboard");
}

void X11KeyEvents::releaseKeyboard(xcb_timestamp_t time) {
    if (!keyboardGrabbed_) return;
    keyboardGrabbed_ = false;
    xcb_ungrab_keyboard(x_.get(), time);
    xcb_flush(x_.get());
}

bool X11KeyEvents::altHeld() {
    std::unique_ptr<xcb_query_keymap_reply_t, FreeDeleter> keymap(
        xcb_query_keymap_reply(x_.get(), xcb_query_keymap(x_.get()), nullptr));
    // Unreadable: better to keep the switcher open than to commit on a guess.
    if (!keymap) return true;
    return std::any_of(altKeys_.begin(), altKeys_.end(),
                       [&](xcb_keycode_t k) { return (keymap->keys[k / 8] >> (k % 8)) & 1; });
}

bool X11KeyEvents::deliver(EventType type, KeyCode key, EventFlags flags) {
    if (!tap_ || !tap_->enabled || !tap_->onRunLoop || !(tap_->events & eventMaskBit(type)))
        return false;
    // The callback may end the tap: keep what it needs.
    const EventTapCallback callback = tap_->callback;
    return callback(type, Tapped(key, flags));
}

EventFlags X11KeyEvents::flagsOf(std::uint16_t state) const {
    EventFlags flags = 0;
    if (state & altMask_) flags |= kEventFlagMaskAlternate;
    if (state & XCB_MOD_MASK_SHIFT) flags |= kEventFlagMaskShift;
    return flags;
}

KeyCode X11KeyEvents::platformKey(xcb_keycode_t keycode) const {
    const xcb_keysym_t symbol = xcb_key_symbols_get_keysym(symbols_, keycode, 0);
    for (const auto& pair : kKnownKeys)
        if (pair.symbol == symbol) return pair.platform;
    return static_cast<KeyCode>(kUnknownKeyBase + keycode);
}

xcb_keycode_t X11KeyEvents::serverKey(KeyCode key) const {
    for (const auto& pair : kKnownKeys) {
        if (pair.platform != key) continue;
        std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(
            xcb_key_symbols_get_keycode(symbols_, pair.symbol));
        if (codes && *codes != XCB_NO_SYMBOL) return *codes;
    }
    return XCB_NO_SYMBOL;
}

void X11KeyEvents::handle(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto& e = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
        xcb_refresh_keyboard_mapping(symbols_, const_cast<xcb_mapping_notify_event_t*>(&e));
        const bool wasGrabbed = keysGrabbed_;
        grabKeys(false);
        readKeyboard();
        grabKeys(wasGrabbed);
        return;
    }
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return;
    const auto& e = reinterpret_cast<const xcb_key_press_event_t&>(event);
    const bool isAlt = std::find(altKeys_.begin(), altKeys_.end(), e.detail) != altKeys_.end();
    if (type == XCB_KEY_RELEASE) {
        // The state is the one before the event, so it still shows Alt: decide by the key.
        if (!isAlt || !keyboardGrabbed_) return;
        deliver(kEventTypeFlagsChanged, platformKey(e.detail),
                flagsOf(e.state) & ~kEventFlagMaskAlternate);
        releaseKeyboard(e.time);
        return;
    }
    if (isAlt) return;
    const bool swallowed = deliver(kEventTypeKeyDown, platformKey(e.detail), flagsOf(e.state));
    const bool isTab = std::find(tabKeys_.begin(), tabKeys_.end(), e.detail) != tabKeys_.end();
    if (!swallowed || keyboardGrabbed_ || !isTab) return;
    // The passive grab ends with the Tab's release; the Alt release must come to us as well.
    grabKeyboard(e.time);
    if (keyboardGrabbed_ && !altHeld()) {
        deliver(kEventTypeFlagsChanged, platformKey(altKeys_.empty() ? 0 : altKeys_.front()),
                flagsOf(e.state) & ~kEventFlagMaskAlternate);
        releaseKeyboard(e.time);
    }
}

}  // namespace vantorel

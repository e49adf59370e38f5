#include "platform/sim/SimKeyEvents.h"

#include <algorithm>
#include <utility>

namespace vantorel {
namespace {

struct SimKeyEventSource final : KeyEventSource {
    explicit SimKeyEventSource(KeyEvents::SourceState s) : state(s) {}
    KeyEvents::SourceState state;
};

struct SimKeyEvent final : KeyEvent {
    KeyCode keyCode = 0;
    bool keyDown = false;
    std::optional<KeyEvents::SourceState> sourceState;
};

}  // namespace

struct SimKeyEvents::Tap {
    EventTypeMask mask = 0;
    bool active = true;
    EventTapCallback callback;
    bool enabled = false;
    bool inRunLoop = false;
    std::optional<EventType> disabledNotice;
};

namespace {

struct SimEventTap final : EventTap {
    SimEventTap(std::shared_ptr<SimKeyEvents::Tap> t,
                std::vector<std::shared_ptr<SimKeyEvents::Tap>>& all)
        : tap(std::move(t)), taps(all) {}
    // Released: the port is gone and the tap with it.
    ~SimEventTap() override { std::erase(taps, tap); }
    std::shared_ptr<SimKeyEvents::Tap> tap;
    std::vector<std::shared_ptr<SimKeyEvents::Tap>>& taps;
};

struct SimRunLoopSource final : RunLoopSource {
    std::weak_ptr<SimKeyEvents::Tap> tap;
};

struct SimTappedEvent final : TappedEvent {
    KeyCode key = 0;
    EventFlags eventFlags = 0;
    std::int64_t integerValueField(EventField field) const override {
        return field == EventField::keyboardEventKeycode ? key : 0;
    }
    EventFlags flags() const override { return eventFlags; }
};

}  // namespace

std::unique_ptr<KeyEventSource> SimKeyEvents::createSource(SourceState state) {
    if (sourceFails_) return nullptr;
    ++sourcesCreated_;
    return std::make_unique<SimKeyEventSource>(state);
}

std::unique_ptr<KeyEvent> SimKeyEvents::createKeyboardEvent(const KeyEventSource* source,
                                                            KeyCode key, bool keyDown) {
    if (keyDown ? keyDownFails_ : keyUpFails_) return nullptr;
    auto event = std::make_unique<SimKeyEvent>();
    event->keyCode = key;
    event->keyDown = keyDown;
    if (const auto* own = dynamic_cast<const SimKeyEventSource*>(source))
        event->sourceState = own->state;
    return event;
}

void SimKeyEvents::post(TapLocation location, const KeyEvent& event) {
    // Only this adapter creates events, so anything else is a caller's mistake: ignore it as the
    // platform would ignore a released event.
    const auto* own = dynamic_cast<const SimKeyEvent*>(&event);
    if (!own) return;
    posted_.push_back({own->keyCode, own->keyDown, location, own->sourceState, clock_.now()});
    if (onPost) onPost(posted_.back());
}

std::unique_ptr<EventTap> SimKeyEvents::tapCreate(TapLocation, TapPlacement placement,
                                                  TapOptions options, EventTypeMask events,
                                                  EventTapCallback callback) {
    if (trusted_ && !trusted_()) return nullptr;
    auto tap = std::make_shared<Tap>();
    tap->mask = events;
    tap->active = options == TapOptions::defaultTap;
    tap->callback = std::move(callback);
    if (placement == TapPlacement::headInsert) {
        taps_.insert(taps_.begin(), tap);
    } else {
        taps_.push_back(tap);
    }
    ++tapsCreated_;
    return std::make_unique<SimEventTap>(std::move(tap), taps_);
}

std::unique_ptr<RunLoopSource> SimKeyEvents::createRunLoopSource(EventTap& tap) {
    auto* own = dynamic_cast<SimEventTap*>(&tap);
    if (!own) return nullptr;
    auto source = std::make_unique<SimRunLoopSource>();
    source->tap = own->tap;
    return source;
}

void SimKeyEvents::addToMainRunLoop(RunLoopSource& source) {
    auto* own = dynamic_cast<SimRunLoopSource*>(&source);
    if (!own) return;
    if (const auto tap = own->tap.lock()) tap->inRunLoop = true;
}

void SimKeyEvents::removeFromMainRunLoop(RunLoopSource& source) {
    auto* own = dynamic_cast<SimRunLoopSource*>(&source);
    if (!own) return;
    if (const auto tap = own->tap.lock()) tap->inRunLoop = false;
}

void SimKeyEvents::tapEnable(EventTap& tap, bool enable) {
    if (auto* own = dynamic_cast<SimEventTap*>(&tap)) own->tap->enabled = enable;
}

bool SimKeyEvents::type(EventType type, KeyCode key, EventFlags flags) {
    SimTappedEvent event;
    event.key = key;
    event.eventFlags = flags;
    // A copy: a callback may create or release taps.
    const std::vector<std::shared_ptr<Tap>> taps = taps_;
    for (const auto& tap : taps) {
        if (!tap->inRunLoop || !tap->callback) continue;
        if (const auto notice = std::exchange(tap->disabledNotice, std::nullopt)) {
            const EventTapCallback callback = tap->callback;
            callback(*notice, event);
        }
    }
    bool swallowed = false;
    for (const auto& tap : taps) {
        const bool stillThere = std::find(taps_.begin(), taps_.end(), tap) != taps_.end();
        if (!stillThere || !tap->enabled || !tap->inRunLoop || !tap->callback) continue;
        if ((tap->mask & eventMaskBit(type)) == 0) continue;
        const EventTapCallback callback = tap->callback;
        if (callback(type, event) && tap->active) {
            swallowed = true;
            break;
        }
    }
    if (!swallowed) delivered_.push_back({type, key, flags});
    return swallowed;
}

void SimKeyEvents::disableTaps(EventType reason) {
    for (const auto& tap : taps_) {
        if (!tap->enabled) continue;
        tap->enabled = false;
        tap->disabledNotice = reason;
    }
}

std::size_t SimKeyEvents::tapCount() const {
    return taps_.size();
}

std::size_t SimKeyEvents::enabledTapCount() const {
    return static_cast<std::size_t>(std::count_if(taps_.begin(), taps_.end(), [](const auto& tap) {
        return tap->enabled && tap->inRunLoop;
    }));
}

}  // namespace vantorel

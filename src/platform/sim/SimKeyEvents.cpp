#include "platform/sim/SimKeyEvents.h"

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

}  // namespace vantorel

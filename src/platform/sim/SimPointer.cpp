#include "platform/sim/SimPointer.h"

namespace vantorel {

class SimPointer::Token final : public MonitorToken {
public:
    Token(std::weak_ptr<Registry> registry, std::uint64_t id)
        : registry_(std::move(registry)), id_(id) {}
    ~Token() override {
        if (auto registry = registry_.lock()) registry->erase(id_);
    }

private:
    std::weak_ptr<Registry> registry_;
    std::uint64_t id_;
};

SimPointer::SimPointer() : monitors_(std::make_shared<Registry>()) {}
SimPointer::~SimPointer() = default;

std::unique_ptr<MonitorToken> SimPointer::addGlobalMonitor(EventMask mask,
                                                           std::function<void()> handler) {
    return add(true, mask, std::move(handler));
}

std::unique_ptr<MonitorToken> SimPointer::addLocalMonitor(EventMask mask,
                                                          std::function<void()> handler) {
    return add(false, mask, std::move(handler));
}

std::unique_ptr<MonitorToken> SimPointer::add(bool global, EventMask mask,
                                              std::function<void()> handler) {
    const auto id = nextId_++;
    monitors_->emplace(
        id,
        Monitor{global, mask, std::make_shared<const std::function<void()>>(std::move(handler))});
    return std::make_unique<Token>(monitors_, id);
}

void SimPointer::moveTo(Point location, bool overOwnWindow) {
    location_ = location;
    // Handlers may add or remove monitors while we walk: each step looks up the next id after
    // the last one called, so nothing is copied per event and monitors added meanwhile (with
    // higher ids than any present) are not told of this move.
    const std::uint64_t last = nextId_;
    for (auto it = monitors_->begin(); it != monitors_->end() && it->first < last;) {
        const std::uint64_t id = it->first;
        const Monitor& monitor = it->second;
        if (monitor.global != overOwnWindow && (monitor.mask & kEventMaskMouseMoved) &&
            monitor.handler && *monitor.handler) {
            // Held, so that a handler removing its own monitor does not destroy itself mid-call.
            const auto handler = monitor.handler;
            (*handler)();
        }
        it = monitors_->upper_bound(id);
    }
}

}  // namespace vantorel

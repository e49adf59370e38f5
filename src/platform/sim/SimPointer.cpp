#include "platform/sim/SimPointer.h"

#include <vector>

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
    monitors_->emplace(id, Monitor{global, mask, std::move(handler)});
    return std::make_unique<Token>(monitors_, id);
}

void SimPointer::moveTo(Point location, bool overOwnWindow) {
    location_ = location;
    // Handlers may remove monitors while we walk, so walk a snapshot of ids.
    std::vector<std::uint64_t> ids;
    for (const auto& [id, monitor] : *monitors_) {
        if (monitor.global != overOwnWindow && (monitor.mask & kEventMaskMouseMoved)) {
            ids.push_back(id);
        }
    }
    for (auto id : ids) {
        const auto it = monitors_->find(id);
        if (it == monitors_->end() || !it->second.handler) continue;
        // A copy, so that a handler removing its own monitor does not destroy itself mid-call.
        auto handler = it->second.handler;
        handler();
    }
}

}  // namespace vantorel

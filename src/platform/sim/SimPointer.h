#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/Pointer.h"

namespace vantorel {

// The simulated pointer: a test or a script moves it, and the installed monitors fire.
class SimPointer final : public Pointer {
public:
    SimPointer();
    ~SimPointer() override;

    Point mouseLocation() override { return location_; }
    std::unique_ptr<MonitorToken> addGlobalMonitor(EventMask mask,
                                                   std::function<void()> handler) override;
    std::unique_ptr<MonitorToken> addLocalMonitor(EventMask mask,
                                                  std::function<void()> handler) override;

    // Moves the pointer (global, bottom-left origin). An event aimed at this application's own
    // windows reaches the local monitors; any other reaches the global ones.
    void moveTo(Point location, bool overOwnWindow = false);
    std::size_t monitorCount() const { return monitors_->size(); }

private:
    struct Monitor {
        bool global;
        EventMask mask;
        // Shared, so that a call keeps it alive without copying it.
        std::shared_ptr<const std::function<void()>> handler;
    };
    using Registry = std::map<std::uint64_t, Monitor>;
    class Token;

    std::unique_ptr<MonitorToken> add(bool global, EventMask mask, std::function<void()> handler);

    Point location_;
    std::uint64_t nextId_ = 1;
    // Shared with the tokens so that one outliving the pointer removes nothing.
    std::shared_ptr<Registry> monitors_;
};

}  // namespace vantorel

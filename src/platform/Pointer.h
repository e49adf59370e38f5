#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Geometry.h"

namespace vantorel {

using EventMask = std::uint64_t;
inline constexpr EventMask kEventMaskMouseMoved = EventMask{1} << 5;

// Keeps an event monitor installed; destroying it removes the monitor.
class MonitorToken {
public:
    virtual ~MonitorToken() = default;
};

// Port: the pointer and the monitors of pointer events.
class Pointer {
public:
    virtual ~Pointer() = default;
    // Global location, origin bottom-left of the primary screen.
    virtual Point mouseLocation() = 0;
    // Events sent to other applications.
    virtual std::unique_ptr<MonitorToken> addGlobalMonitor(EventMask mask,
                                                           std::function<void()> handler) = 0;
    // Events sent to this application; the handler does not consume them.
    virtual std::unique_ptr<MonitorToken> addLocalMonitor(EventMask mask,
                                                          std::function<void()> handler) = 0;
};

}  // namespace vantorel

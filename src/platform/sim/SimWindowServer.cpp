#include "platform/sim/SimWindowServer.h"

#include <algorithm>

namespace vantorel {

std::optional<WindowServerArray> SimWindowServer::copyWindowInfo(Options options, WindowNumber) {
    ++queryCount_;
    if (failing_) return std::nullopt;
    const bool onScreenOnly = (options & kOptionOnScreenOnly) != 0;
    const bool excludeDesktop = (options & kOptionExcludeDesktopElements) != 0;
    WindowServerArray out;
    out.reserve(records_.size());
    for (const auto& [number, record] : records_) {
        if (onScreenOnly && !record.onScreen) continue;
        if (excludeDesktop && record.desktopElement) continue;
        out.push_back(record.info);
    }
    return out;
}

void SimWindowServer::add(WindowNumber number, Record record) {
    remove(number);
    records_.emplace_back(number, std::move(record));
}

void SimWindowServer::remove(WindowNumber number) {
    std::erase_if(records_, [number](const auto& r) { return r.first == number; });
}

SimWindowServer::Record* SimWindowServer::record(WindowNumber number) {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [number](const auto& r) { return r.first == number; });
    return it == records_.end() ? nullptr : &it->second;
}

void SimWindowServer::bringToFront(WindowNumber number) {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [number](const auto& r) { return r.first == number; });
    if (it != records_.end()) std::rotate(records_.begin(), it, it + 1);
}

std::vector<WindowNumber> SimWindowServer::order() const {
    std::vector<WindowNumber> out;
    out.reserve(records_.size());
    for (const auto& r : records_)
        out.push_back(r.first);
    return out;
}

WindowServerDictionary SimWindowServer::describeBounds(const Rect& bounds) {
    return {{std::string(kX), bounds.minX()},
            {std::string(kY), bounds.minY()},
            {std::string(kWidth), bounds.width()},
            {std::string(kHeight), bounds.height()}};
}

WindowServerDictionary SimWindowServer::describe(std::int64_t ownerPID,
                                                 const std::string& ownerName, WindowNumber number,
                                                 std::int64_t layer, const Rect& bounds,
                                                 const std::string& name) {
    return {{std::string(kOwnerPID), ownerPID},
            {std::string(kOwnerName), ownerName},
            {std::string(kNumber), number},
            {std::string(kLayer), layer},
            {std::string(kBounds), describeBounds(bounds)},
            {std::string(kName), name},
            {std::string(kAlpha), 1.0}};
}

}  // namespace vantorel

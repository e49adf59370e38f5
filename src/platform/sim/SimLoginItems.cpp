#include "platform/sim/SimLoginItems.h"

namespace vantorel {

std::optional<std::string> SimLoginItems::registerItem() {
    ++calls_;
    if (failure_) return failure_;
    status_ = Status::enabled;
    return std::nullopt;
}

std::optional<std::string> SimLoginItems::unregisterItem() {
    ++calls_;
    if (failure_) return failure_;
    status_ = Status::notRegistered;
    return std::nullopt;
}

}  // namespace vantorel

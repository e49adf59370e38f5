#include "platform/sim/ManualExecutor.h"

namespace vantorel {

bool ManualExecutor::runOne() {
    if (queue_.empty()) return false;
    // Taken off the queue first: the work may post more.
    auto work = std::move(queue_.front());
    queue_.pop_front();
    if (work) work();
    return true;
}

std::size_t ManualExecutor::drain() {
    std::size_t ran = 0;
    while (runOne())
        ++ran;
    return ran;
}

}  // namespace vantorel

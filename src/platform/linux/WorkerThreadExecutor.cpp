#include "platform/linux/WorkerThreadExecutor.h"

#include <pthread.h>

namespace vantorel {

WorkerThreadExecutor::WorkerThreadExecutor(std::string name)
    : thread_([this, name = std::move(name)] { run(name); }) {}

WorkerThreadExecutor::~WorkerThreadExecutor() {
    std::deque<std::function<void()>> discarded;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        discarded.swap(queue_);
    }
    wake_.notify_all();
    thread_.join();
    // Destroyed here, unlocked: what the work holds may post while it goes.
    discarded.clear();
}

void WorkerThreadExecutor::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        queue_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void WorkerThreadExecutor::run(const std::string& name) {
    if (!name.empty()) ::pthread_setname_np(::pthread_self(), name.substr(0, 15).c_str());
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        if (work) work();
    }
}

}  // namespace vantorel

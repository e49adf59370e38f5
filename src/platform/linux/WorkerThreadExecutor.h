#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Executor.h"

namespace vantorel {

// A serial executor on a thread of its own. Its queue is guarded by the one lock the
// application has; the work itself runs unlocked, so it may post more.
class WorkerThreadExecutor final : public Executor {
public:
    // The thread is named `name` (at most 15 bytes) where one is given, so tools that list a
    // process's threads tell it apart.
    explicit WorkerThreadExecutor(std::string name = {});
    // Lets the item that is running finish, discards the rest and joins the thread. Must not be
    // called from the worker itself.
    ~WorkerThreadExecutor() override;
    WorkerThreadExecutor(const WorkerThreadExecutor&) = delete;
    WorkerThreadExecutor& operator=(const WorkerThreadExecutor&) = delete;

    // Safe from any thread; once the executor is being destroyed, work is dropped unrun.
    void post(std::function<void()> work) override;
    std::thread::id threadId() const { return thread_.get_id(); }

private:
    void run(const std::string& name);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    // Last: starts once everything it reads is built.
    std::thread thread_;
};

}  // namespace vantorel

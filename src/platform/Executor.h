#pragma once

#include <functional>

namespace vantorel {

// A serial executor: work posted to it runs one item at a time, in the order posted, never
// inside post itself. An actor's state lives on exactly one of these. post may be called from
// any thread; the work runs wherever the executor runs it (a worker thread in the app, the test's
// own thread when a test drains it).
class Executor {
public:
    virtual ~Executor() = default;
    virtual void post(std::function<void()> work) = 0;
};

}  // namespace vantorel

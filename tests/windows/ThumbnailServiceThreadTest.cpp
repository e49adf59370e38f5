// The thumbnail service with its real worker thread, as in the application: the actor on the
// worker, the simulated capture and every answer on the test's own thread, which plays the main
// thread. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/linux/WorkerThreadExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "windows/ThumbnailService.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Session = ThumbnailService::Session;
using Numbers = std::vector<WindowNumber>;

// The main run loop on virtual time: a ManualScheduler that other threads may post to, as the
// application's allows. Only the test's thread runs it, sets timers and moves its clock.
class ThreadedMainLoop final : public Scheduler {
public:
    TimePoint now() const override { return manual_.now(); }
    void post(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        inbox_.push_back(std::move(work));
        wake_.notify_all();
    }
    TaskHandle schedule(Duration delay, std::function<void()> work) override {
        return manual_.schedule(delay, std::move(work));
    }
    // Runs until done() holds; false when the bounded wait for the worker runs out first.
    bool runUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!done()) {
            std::unique_lock lock(mutex_);
            const auto ready = [&] { return !inbox_.empty() || clockMove_ > Duration::zero(); };
            if (!wake_.wait_until(lock, deadline, ready)) return false;
            auto work = std::exchange(inbox_, {});
            lock.unlock();
            for (auto& item : work)
                manual_.post(std::move(item));
            manual_.advance(std::exchange(clockMove_, Duration::zero()));
        }
        return true;
    }
    // Takes effect when the loop next runs, never inside the work that asks for it.
    void moveClock(Duration delta) { clockMove_ += delta; }
    std::size_t pendingCount() const { return manual_.pendingCount(); }

private:
    ManualScheduler manual_;
    Duration clockMove_ = Duration::zero();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::function<void()>> inbox_;
};

// The logger is the main thread's: counts every use from any other thread.
class MainThreadLogger final : public Logger {
public:
    explicit MainThreadLogger(Logger& inner) : inner_(inner) {}
    bool isEnabled(LogLevel level) const override { return note(), inner_.isEnabled(level); }
    void write(const LogRecord& record) override { note(), inner_.write(record); }
    mutable std::atomic<int> usesOffMain{0};

private:
    void note() const { usesOffMain += std::this_thread::get_id() == main_ ? 0 : 1; }
    Logger& inner_;
    const std::thread::id main_ = std::this_thread::get_id();
};

struct ThreadRig {
    ~ThreadRig() { EXPECT_EQ(logger.usesOffMain.load(), 0); }

    // The windows and the log; its own virtual clock stays unused.
    SimDesktop desktop;
    ThreadedMainLoop loop;
    SimScreenCapture sim{loop, desktop.windows, desktop.windowServer};
    MainThreadLogger logger{desktop.logger};
    WorkerThreadExecutor worker;
    ThumbnailService service{sim, loop, logger, worker};
    ProcessId pid = desktop.launch(SimAppSpec{"Notes", {}, {}, 0, nullptr});
};

TEST(ThumbnailServiceThreads, OverlappingSessionsWithFramesInFlightEndWithNothingRunning) {
    ThreadRig rig;
    SimWindowSpec spec;
    spec.frame = Rect(40, 40, 900, 600);
    Numbers windows;
    for (int i = 0; i < 5; ++i)
        windows.push_back(rig.desktop.addWindow(rig.pid, spec));

    constexpr int kRounds = 25;
    int rounds = 0;
    int starts = 0;
    int stills = 0;
    bool stopping = false;
    int framesAfterStop = 0;
    // Every other round starts the next session as soon as it has asked for its streams, so
    // starts, stops, content queries and frames of several sessions are under way at once; the
    // rounds between wait for their streams, so running streams are stopped while they deliver.
    // The main thread logs as it goes, as the rest of the application does.
    const Log log(rig.logger, "ui");
    std::function<void(Session)> round;
    const std::function<void()> next = [&] {
        rig.loop.moveClock(200ms);
        if (++rounds < kRounds) rig.service.beginSession(round);
    };
    round = [&](Session s) {
        log.debug("round");
        const bool overlap = rounds % 2 == 1;
        auto pending = std::make_shared<std::size_t>(windows.size());
        for (const WindowNumber id : windows) {
            rig.service.snapshot(id, [&](const ImageRef& image) { stills += image ? 1 : 0; });
            rig.service.startLive(
                id, s,
                [&](const ImageRef&) {
                    log.debug("frame");
                    framesAfterStop += stopping ? 1 : 0;
                },
                [&, pending, overlap] {
                    ++starts;
                    if (--*pending == 0 && !overlap) next();
                });
        }
        if (overlap) next();
    };
    rig.service.beginSession(round);
    const int expected = kRounds * static_cast<int>(windows.size());
    ASSERT_TRUE(rig.loop.runUntil([&] { return starts == expected && stills == expected; }));

    // Frames of the streams that survived keep coming while the session ends.
    rig.loop.moveClock(1s);
    stopping = true;
    bool stopped = false;
    rig.service.stopAll([&] { stopped = true; });
    ASSERT_TRUE(rig.loop.runUntil([&] { return stopped && rig.loop.pendingCount() == 0; }));
    EXPECT_EQ(framesAfterStop, 0);
    // Each waiting round's five streams were stopped by the next session, the last by stopAll.
    EXPECT_EQ(rig.desktop.logger.count("Stopped 5 live stream(s); capture idle"),
              static_cast<std::size_t>((kRounds + 1) / 2));
    std::optional<Numbers> ids;
    rig.service.liveWindowIDs([&](Numbers n) { ids = std::move(n); });
    ASSERT_TRUE(rig.loop.runUntil([&] { return ids.has_value(); }));
    EXPECT_EQ(*ids, Numbers{});
    EXPECT_EQ(rig.sim.runningStreams(), Numbers{});
}

}  // namespace
}  // namespace vantorel

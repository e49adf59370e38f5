// The thumbnail service with its real worker thread, as in the application: the actor on the
// worker, the simulated capture and every answer on the test's own thread, which plays the main
// thread. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Logger.h"
#include "platform/Scheduler.h"
#include "platform/linux/WorkerThreadExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimScreenCapture.h"
#include "windows/ThumbnailService.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Session = ThumbnailService::Session;
using Numbers = std::vector<WindowNumber>;

// Bounded waits for answers from the worker; never a measure of time.
constexpr auto kPatience = 30s;

// The main run loop on virtual time, as ManualScheduler, except that work may be posted from
// any thread, as the application's event loop allows. The owning thread runs it.
class ThreadedMainLoop final : public Scheduler {
public:
    TimePoint now() const override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void post(std::function<void()> work) override { schedule(Duration::zero(), std::move(work)); }
    TaskHandle schedule(Duration delay, std::function<void()> work) override {
        auto state = std::make_shared<TaskHandle::State>();
        {
            std::lock_guard lock(mutex_);
            const TimePoint due = now_ + std::max(delay, Duration::zero());
            queue_.emplace(std::make_pair(due, sequence_++), Entry{state, std::move(work)});
        }
        wake_.notify_all();
        return TaskHandle(state);
    }

    // Runs what falls due until done() holds; false when patience runs out first. With
    // followTimers the clock jumps to the next timer whenever nothing is due.
    bool runUntil(const std::function<bool()>& done, bool followTimers = false) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            if (done()) return true;
            std::unique_lock lock(mutex_);
            if (!queue_.empty() && (followTimers || queue_.begin()->first.first <= now_)) {
                auto node = queue_.extract(queue_.begin());
                now_ = std::max(now_, node.key().first);
                lock.unlock();
                Entry& entry = node.mapped();
                if (!entry.state->cancelled) {
                    entry.state->started = true;
                    entry.work();
                }
                continue;
            }
            if (wake_.wait_until(lock, deadline) == std::cv_status::timeout) {
                lock.unlock();
                return done();
            }
        }
    }
    // Moves the clock on without running anything.
    void moveClock(Duration delta) {
        std::lock_guard lock(mutex_);
        now_ += delta;
    }
    // Timers neither run nor cancelled.
    std::size_t pendingCount() const {
        std::lock_guard lock(mutex_);
        std::size_t count = 0;
        for (const auto& entry : queue_)
            count += entry.second.state->cancelled ? 0 : 1;
        return count;
    }

private:
    struct Entry {
        std::shared_ptr<TaskHandle::State> state;
        std::function<void()> work;
    };
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    TimePoint now_{};
    std::uint64_t sequence_ = 0;
    std::map<std::pair<TimePoint, std::uint64_t>, Entry> queue_;
};

// Notes which thread asks the platform for what; only the worker writes, and the main thread
// reads after an answer has come back through the loop.
class ThreadNotingCapture final : public ScreenCapture {
public:
    explicit ThreadNotingCapture(ScreenCapture& inner) : inner_(inner) {}
    void getShareableContent(bool excluding, bool onScreen,
                             ShareableContentHandler completion) override {
        callers.push_back(std::this_thread::get_id());
        inner_.getShareableContent(excluding, onScreen, std::move(completion));
    }
    void captureImage(WindowNumber id, const CaptureConfiguration& config,
                      CaptureImageHandler completion) override {
        callers.push_back(std::this_thread::get_id());
        inner_.captureImage(id, config, std::move(completion));
    }
    std::shared_ptr<CaptureStream> createStream(WindowNumber id,
                                                const CaptureConfiguration& config) override {
        callers.push_back(std::this_thread::get_id());
        return inner_.createStream(id, config);
    }
    std::vector<std::thread::id> callers;

private:
    ScreenCapture& inner_;
};

// The logger is the main thread's: counts every use from any other thread.
class MainThreadLogger final : public Logger {
public:
    explicit MainThreadLogger(Logger& inner) : inner_(inner) {}
    bool isEnabled(LogLevel level) const override {
        note();
        return inner_.isEnabled(level);
    }
    void write(const LogRecord& record) override {
        note();
        inner_.write(record);
    }
    mutable std::atomic<int> usesOffMain{0};

private:
    void note() const {
        if (std::this_thread::get_id() != main_) ++usesOffMain;
    }
    Logger& inner_;
    const std::thread::id main_ = std::this_thread::get_id();
};

struct ThreadRig {
    ThreadRig() { pid = desktop.launch(SimAppSpec{"Notes", {}, {}, 0, nullptr}); }
    ~ThreadRig() { EXPECT_EQ(logger.usesOffMain.load(), 0); }

    WindowId open(const std::string& title) {
        SimWindowSpec spec;
        spec.title = title;
        spec.frame = Rect(40, 40, 900, 600);
        return desktop.addWindow(pid, spec);
    }
    Session begin() {
        std::optional<Session> session;
        service.beginSession([&](Session s) { session = s; });
        EXPECT_TRUE(loop.runUntil([&] { return session.has_value(); }));
        return session.value_or(0);
    }
    void stopAll() {
        bool done = false;
        service.stopAll([&] { done = true; });
        EXPECT_TRUE(loop.runUntil([&] { return done; }));
    }
    Numbers liveIDs() {
        std::optional<Numbers> ids;
        service.liveWindowIDs([&](Numbers n) { ids = std::move(n); });
        EXPECT_TRUE(loop.runUntil([&] { return ids.has_value(); }));
        return ids.value_or(Numbers{999});
    }
    std::vector<std::string> lines() { return desktop.logger.messages("capture"); }

    const std::thread::id mainThread = std::this_thread::get_id();
    // The windows and the log; its own virtual clock stays unused.
    SimDesktop desktop;
    MainThreadLogger logger{desktop.logger};
    ThreadedMainLoop loop;
    SimScreenCapture sim{loop, desktop.windows, desktop.windowServer};
    ThreadNotingCapture capture{sim};
    WorkerThreadExecutor worker;
    ThumbnailService service{capture, loop, logger, worker};
    ProcessId pid = 0;
};

TEST(ThumbnailServiceThreads, StillsAreTakenOnTheWorkerAndAnsweredOnTheMainThread) {
    ThreadRig rig;
    const WindowId id = rig.open("Draft");
    std::optional<ImageRef> image;
    std::thread::id answeredOn;
    rig.service.snapshot(id, [&](ImageRef i) {
        answeredOn = std::this_thread::get_id();
        image = std::move(i);
    });
    ASSERT_TRUE(rig.loop.runUntil([&] { return image.has_value(); }));
    ASSERT_NE(*image, nullptr);
    EXPECT_EQ((*image)->width, 568);
    EXPECT_EQ(answeredOn, rig.mainThread);
    ASSERT_EQ(rig.capture.callers.size(), 2u);
    for (const auto& caller : rig.capture.callers)
        EXPECT_EQ(caller, rig.worker.threadId());
}

TEST(ThumbnailServiceThreads, LiveFramesReachTheMainThreadUntilEverythingIsStopped) {
    ThreadRig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    int frames = 0;
    bool offMain = false;
    bool started = false;
    rig.service.startLive(
        id, s,
        [&](const ImageRef& image) {
            offMain |= std::this_thread::get_id() != rig.mainThread;
            if (image) ++frames;
        },
        [&] { started = true; });
    ASSERT_TRUE(rig.loop.runUntil([&] { return started; }));
    EXPECT_EQ(rig.liveIDs(), Numbers{id});
    ASSERT_TRUE(rig.loop.runUntil([&] { return frames >= 5; }, true));
    EXPECT_FALSE(offMain);

    rig.stopAll();
    EXPECT_EQ(rig.lines(), std::vector<std::string>{"Stopped 1 live stream(s); capture idle"});
    EXPECT_EQ(rig.sim.runningStreams(), Numbers{});
    EXPECT_EQ(rig.loop.pendingCount(), 0u);
}

TEST(ThumbnailServiceThreads, AStartCompletingAfterANewSessionIsDroppedAcrossThreads) {
    ThreadRig rig;
    const WindowId id = rig.open("Diary");
    const Session s = rig.begin();
    rig.sim.setHoldStreamStarts(true);
    bool done = false;
    int frames = 0;
    rig.service.startLive(
        id, s, [&](const ImageRef&) { ++frames; }, [&] { done = true; });
    ASSERT_TRUE(rig.loop.runUntil([&] { return rig.sim.heldStartCount() == 1; }));
    EXPECT_EQ(rig.begin(), s + 1);
    rig.sim.releaseHeldStarts();
    ASSERT_TRUE(rig.loop.runUntil([&] { return done; }));
    EXPECT_EQ(rig.lines(), std::vector<std::string>{"Dropped late live stream for " +
                                                    std::to_string(id) + " (session superseded)"});
    EXPECT_EQ(rig.liveIDs(), Numbers{});
    EXPECT_EQ(rig.sim.runningStreams(), Numbers{});
    EXPECT_EQ(frames, 0);
}

TEST(ThumbnailServiceThreads, OverlappingSessionsWithFramesInFlightEndWithNothingRunning) {
    ThreadRig rig;
    Numbers windows;
    for (int i = 0; i < 5; ++i)
        windows.push_back(rig.open("Window " + std::to_string(i)));

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
    const Log log(rig.desktop.logger, "ui");
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
            rig.service.snapshot(id, [&](const ImageRef&) {
                log.debug("still");
                ++stills;
            });
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
    rig.stopAll();
    ASSERT_TRUE(rig.loop.runUntil([&] { return rig.loop.pendingCount() == 0; }, true));
    EXPECT_EQ(framesAfterStop, 0);
    // Each waiting round's five streams were stopped by the next session, the last by stopAll.
    EXPECT_EQ(rig.desktop.logger.count("Stopped 5 live stream(s); capture idle"),
              static_cast<std::size_t>((kRounds + 1) / 2));
    EXPECT_EQ(rig.liveIDs(), Numbers{});
    EXPECT_EQ(rig.sim.runningStreams(), Numbers{});
}

}  // namespace
}  // namespace vantorel

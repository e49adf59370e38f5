#include "switcher/AppActivationTracker.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

SimAppSpec app(const char* name) {
    SimAppSpec spec;
    spec.name = name;
    return spec;
}

struct TrackerRig {
    TrackerRig() {
        for (const char* name : {"A", "B", "C", "D", "E", "F"})
            pids.push_back(desktop.launch(app(name)));
    }
    ProcessId pid(char name) { return pids[static_cast<std::size_t>(name - 'A')]; }
    void activate(char name) { desktop.workspace.activate(pid(name)); }

    SimDesktop desktop;
    std::vector<ProcessId> pids;
    AppActivationTracker tracker{desktop.workspace};
};

TEST(AppActivationTrackerTest, KeepsTheMostRecentActivationFirst) {
    struct Case {
        const char* name;
        std::function<void(TrackerRig&)> script;
        std::vector<char> expected;
    };
    const Case cases[] = {
        {"activations A, B, A",
         [](TrackerRig& r) {
             r.tracker.start();
             r.activate('A');
             r.activate('B');
             r.activate('A');
         },
         {'A', 'B'}},
        {"started while C is in front, then D and C",
         [](TrackerRig& r) {
             r.desktop.workspace.setFrontmost(r.pid('C'));
             r.tracker.start();
             r.activate('D');
             r.activate('C');
         },
         {'C', 'D'}},
        {"a notification without the application changes nothing",
         [](TrackerRig& r) {
             r.tracker.start();
             r.activate('B');
             r.desktop.workspace.postActivationWithoutApplication();
         },
         {'B'}},
        {"stopped through E and F, started while F is in front",
         [](TrackerRig& r) {
             r.tracker.start();
             r.activate('A');
             r.tracker.stop();
             r.activate('E');
             r.activate('F');
             r.tracker.start();
         },
         {'F', 'A'}},
        {"started twice, one observer: each activation counts once",
         [](TrackerRig& r) {
             r.tracker.start();
             r.tracker.start();
             EXPECT_EQ(r.desktop.workspace.activationObserverCount(), 1u);
             r.activate('B');
             r.activate('C');
         },
         {'C', 'B'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TrackerRig rig;
        c.script(rig);
        std::vector<ProcessId> expected;
        for (char n : c.expected)
            expected.push_back(rig.pid(n));
        EXPECT_EQ(rig.tracker.order(), expected);
    }
}

}  // namespace
}  // namespace vantorel

#include "switcher/AppActivationTracker.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

// Scripts over applications A to F: "start" and "stop" the tracker, "front X" makes X frontmost
// without a notification, a letter activates that application, "nameless" posts an activation
// that names none.
TEST(AppActivationTrackerTest, KeepsTheMostRecentActivationFirst) {
    const std::pair<const char*, const char*> cases[] = {
        {"start A B A", "AB"},
        {"front C start D C", "CD"},       // what is in front at the start counts
        {"start B nameless", "B"},         // a notification without an application
        {"start A stop E F start", "FA"},  // nothing heard while stopped, but the front
        {"start start B C", "CB"},         // one observer: each activation counts once
    };
    for (const auto& [script, expected] : cases) {
        SCOPED_TRACE(script);
        SimDesktop desktop;
        std::map<char, ProcessId> pids;
        for (const char name : std::string("ABCDEF")) {
            SimAppSpec spec;
            spec.name = std::string(1, name);
            pids[name] = desktop.launch(spec);
        }
        AppActivationTracker tracker{desktop.workspace};
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            if (step == "start") {
                tracker.start();
            } else if (step == "stop") {
                tracker.stop();
            } else if (step == "nameless") {
                desktop.workspace.postActivationWithoutApplication();
            } else if (step == "front" && steps >> step) {
                desktop.workspace.setFrontmost(pids.at(step[0]));
            } else {
                desktop.workspace.activate(pids.at(step[0]));
            }
        }
        std::vector<ProcessId> order;
        for (const char name : std::string(expected))
            order.push_back(pids.at(name));
        EXPECT_EQ(tracker.order(), order);
        EXPECT_EQ(desktop.workspace.activationObserverCount(), 1u);
    }
}

}  // namespace
}  // namespace vantorel

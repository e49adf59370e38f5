#include "app/PermissionsManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Status = PermissionsManager::Status;
using Permission = PermissionsManager::Permission;
using Lines = std::vector<std::string>;
using UserAnswer = SimPermissionServices::UserAnswer;
using std::chrono::milliseconds;

class PermissionsManagerTest : public testing::Test {
protected:
    PermissionsManagerTest() {
        manager->addListener([this](Permission p) { changes.push_back(p); });
    }

    Lines lines() { return desktop.logger.messages("permissions"); }
    LogLevel lastLevel() { return desktop.logger.lines().back().level; }
    SimPermissionServices& services() { return desktop.permissionServices; }

    SimDesktop desktop;
    std::unique_ptr<PermissionsManager> manager =
        std::make_unique<PermissionsManager>(desktop.ports());
    std::vector<Permission> changes;
};

TEST_F(PermissionsManagerTest, StartsUndeterminedWithoutAskingAnything) {
    for (const Permission p : {Permission::accessibility, Permission::screenRecording,
                               Permission::calendar, Permission::reminders})
        EXPECT_EQ(manager->status(p), Status::notDetermined);
    EXPECT_EQ(services().probeCount(), 0u);
    EXPECT_EQ(desktop.accessibility.promptCount(), 0);
    EXPECT_TRUE(desktop.logger.lines().empty());
}

TEST_F(PermissionsManagerTest, EventStoreAuthorisationMapsToAStatusAndIsLoggedWithTheRawValue) {
    struct Case {
        std::int64_t raw;
        Status status;
        const char* text;
    };
    const Case cases[] = {
        {3, Status::granted, "granted"},
        {0, Status::notDetermined, "notDetermined"},
        {1, Status::denied, "denied"},
        {2, Status::denied, "denied"},
        {4, Status::denied, "denied"},  // write-only is not enough to read events
        {5, Status::notDetermined, "notDetermined"},
        {-1, Status::notDetermined, "notDetermined"},
        {std::numeric_limits<std::int64_t>::max(), Status::notDetermined, "notDetermined"},
        {std::numeric_limits<std::int64_t>::min(), Status::notDetermined, "notDetermined"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        desktop.logger.clear();
        EXPECT_EQ(PermissionsManager::statusForAuthorization(c.raw), c.status);
        services().setAuthorizationStatus(EventEntityType::event, c.raw);
        services().setAuthorizationStatus(EventEntityType::reminder, c.raw == 3 ? 2 : 3);
        manager->refreshCalendarStatus();
        manager->refreshRemindersStatus();
        EXPECT_EQ(manager->calendar(), c.status);
        EXPECT_EQ(manager->reminders(), c.raw == 3 ? Status::denied : Status::granted);
        const std::string remindersLine = c.raw == 3 ? "Reminders status=denied (EK raw=2)"
                                                     : "Reminders status=granted (EK raw=3)";
        EXPECT_EQ(lines(), (Lines{"Calendar status=" + std::string(c.text) +
                                      " (EK raw=" + std::to_string(c.raw) + ")",
                                  remindersLine}));
        EXPECT_EQ(lastLevel(), LogLevel::debug);
    }
}

TEST_F(PermissionsManagerTest, ListenersHearOnlyRealChanges) {
    manager->refreshCalendarStatus();  // 0: still undetermined
    EXPECT_TRUE(changes.empty());
    services().setAuthorizationStatus(EventEntityType::event, 3);
    manager->refreshCalendarStatus();
    manager->refreshCalendarStatus();
    EXPECT_EQ(changes, std::vector<Permission>{Permission::calendar});
    // Two raw values with the same meaning are no change either.
    services().setAuthorizationStatus(EventEntityType::event, 2);
    manager->refreshCalendarStatus();
    services().setAuthorizationStatus(EventEntityType::event, 4);
    manager->refreshCalendarStatus();
    EXPECT_EQ(changes, (std::vector<Permission>{Permission::calendar, Permission::calendar}));
    // Every refresh is logged, changed or not.
    EXPECT_EQ(lines().size(), 5u);
}

TEST_F(PermissionsManagerTest, ListenersCanLeaveEvenWhileBeingNotified) {
    int second = 0;
    PermissionsManager::ListenerId secondId = 0;
    const auto firstId =
        manager->addListener([&](Permission) { manager->removeListener(secondId); });
    secondId = manager->addListener([&](Permission) { ++second; });
    desktop.accessibility.setTrusted(false);
    manager->checkAccessibility(false);  // undetermined stays undetermined: nobody hears
    EXPECT_TRUE(changes.empty());
    manager->checkAccessibility(true);  // denied
    EXPECT_EQ(second, 0);               // removed by the first listener before its turn
    manager->removeListener(firstId);
    desktop.accessibility.setTrusted(true);
    manager->checkAccessibility(false);
    EXPECT_EQ(changes,
              (std::vector<Permission>{Permission::accessibility, Permission::accessibility}));
    EXPECT_EQ(manager->accessibility(), Status::granted);
}

TEST_F(PermissionsManagerTest, AccessibilityCheckWithAndWithoutThePrompt) {
    struct Case {
        bool trusted, prompt;
        Status status;
        int prompts;
        const char* line;
    };
    const Case cases[] = {
        {false, false, Status::notDetermined, 0, "Accessibility trusted=false"},
        {false, true, Status::denied, 1, "Accessibility trusted=false"},
        {true, false, Status::granted, 0, "Accessibility trusted=true"},
        {true, true, Status::granted, 0, "Accessibility trusted=true"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "trusted=" << c.trusted << " prompt=" << c.prompt);
        SimDesktop fresh;
        PermissionsManager m(fresh.ports());
        fresh.accessibility.setTrusted(c.trusted);
        EXPECT_EQ(m.checkAccessibility(c.prompt), c.trusted);
        EXPECT_EQ(m.accessibility(), c.status);
        EXPECT_EQ(fresh.accessibility.promptCount(), c.prompts);
        EXPECT_EQ(fresh.logger.messages("permissions"), Lines{c.line});
        EXPECT_EQ(fresh.logger.lines().back().level, LogLevel::debug);
    }

    // Denied after a prompt falls back to undetermined on a silent check, and a grant in System
    // Settings shows at the next check.
    desktop.accessibility.setTrusted(false);
    manager->checkAccessibility(true);
    EXPECT_EQ(manager->accessibility(), Status::denied);
    manager->checkAccessibility(false);
    EXPECT_EQ(manager->accessibility(), Status::notDetermined);
    desktop.accessibility.setTrusted(true);
    EXPECT_TRUE(manager->checkAccessibility(false));
    EXPECT_EQ(manager->accessibility(), Status::granted);
}

TEST_F(PermissionsManagerTest, ScreenRecordingProbeAsksForOnScreenContentAndMapsTheOutcome) {
    int done = 0;
    manager->refreshScreenRecording([&] { ++done; });
    EXPECT_EQ(services().lastProbeOptions(), std::make_pair(false, true));
    // The answer comes later, on the main thread.
    EXPECT_EQ(manager->screenRecording(), Status::notDetermined);
    desktop.scheduler.runDue();
    EXPECT_EQ(manager->screenRecording(), Status::granted);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(lines(), Lines{"Screen Recording granted"});
    EXPECT_EQ(lastLevel(), LogLevel::debug);

    desktop.logger.clear();
    services().setScreenRecordingAllowed(false);
    services().setScreenRecordingError("Screen capture is not allowed");
    manager->refreshScreenRecording([&] {
        // The status is already written when the caller resumes.
        EXPECT_EQ(manager->screenRecording(), Status::denied);
        ++done;
    });
    desktop.scheduler.runDue();
    EXPECT_EQ(done, 2);
    EXPECT_EQ(lines(), Lines{"Screen Recording not granted: Screen capture is not allowed"});
    EXPECT_EQ(lastLevel(), LogLevel::error);
    EXPECT_EQ(changes,
              (std::vector<Permission>{Permission::screenRecording, Permission::screenRecording}));
}

TEST_F(PermissionsManagerTest, RequestsUpdateTheStatusFromTheAnswerAndLogEachOutcome) {
    struct Case {
        const char* name;
        EventEntityType type;
        UserAnswer answer;
        Status status;
        Lines lines;
        LogLevel level;
    };
    const Case cases[] = {
        {"calendar granted",
         EventEntityType::event,
         UserAnswer::grant,
         Status::granted,
         {"Requesting Calendar access (EK raw before=0)", "Calendar request returned granted=true"},
         LogLevel::debug},
        {"calendar refused",
         EventEntityType::event,
         UserAnswer::refuse,
         Status::denied,
         {"Requesting Calendar access (EK raw before=0)",
          "Calendar request returned granted=false"},
         LogLevel::debug},
        {"calendar failed",
         EventEntityType::event,
         UserAnswer::fail,
         Status::denied,
         {"Requesting Calendar access (EK raw before=0)", "Calendar request failed: No store"},
         LogLevel::error},
        {"reminders granted",
         EventEntityType::reminder,
         UserAnswer::grant,
         Status::granted,
         {"Reminders request returned granted=true"},
         LogLevel::debug},
        {"reminders refused",
         EventEntityType::reminder,
         UserAnswer::refuse,
         Status::denied,
         {"Reminders request returned granted=false"},
         LogLevel::debug},
        {"reminders failed",
         EventEntityType::reminder,
         UserAnswer::fail,
         Status::denied,
         {"Reminders request failed: No store"},
         LogLevel::error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimDesktop fresh;
        PermissionsManager m(fresh.ports());
        auto& sim = fresh.permissionServices;
        sim.setUserAnswer(c.type, c.answer);
        sim.setErrorDescription(c.type, "No store");
        sim.setAnswerDelay(milliseconds(2000));  // the user reads the prompt
        bool done = false;
        const bool events = c.type == EventEntityType::event;
        if (events) {
            m.requestCalendarAccess([&] { done = true; });
        } else {
            m.requestRemindersAccess([&] { done = true; });
        }
        const auto status = [&] { return events ? m.calendar() : m.reminders(); };
        fresh.scheduler.advance(milliseconds(1999));
        EXPECT_FALSE(done);
        EXPECT_EQ(status(), Status::notDetermined);
        fresh.scheduler.advance(milliseconds(1));
        EXPECT_TRUE(done);
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(sim.requestCount(c.type), 1u);
        EXPECT_EQ(fresh.logger.messages("permissions"), c.lines);
        EXPECT_EQ(fresh.logger.lines().back().level, c.level);
    }
}

TEST_F(PermissionsManagerTest, RequestAfterADecisionReportsTheRawStatusBefore) {
    services().setAuthorizationStatus(EventEntityType::event, 2);
    manager->requestCalendarAccess();
    desktop.scheduler.runDue();
    EXPECT_EQ(manager->calendar(), Status::denied);
    EXPECT_EQ(lines(), (Lines{"Requesting Calendar access (EK raw before=2)",
                              "Calendar request returned granted=false"}));
}

TEST_F(PermissionsManagerTest, AnswersInsideTheCallStillLandOnTheMainThreadAfterIt) {
    services().setAnswerDelay(std::nullopt);
    manager->requestRemindersAccess();
    manager->refreshScreenRecording();
    EXPECT_EQ(manager->reminders(), Status::notDetermined);
    EXPECT_EQ(manager->screenRecording(), Status::notDetermined);
    desktop.scheduler.runDue();
    EXPECT_EQ(manager->reminders(), Status::granted);
    EXPECT_EQ(manager->screenRecording(), Status::granted);
}

TEST_F(PermissionsManagerTest, AnswersArrivingAfterTheManagerIsGoneAreDropped) {
    bool done = false;
    services().setAnswerDelay(milliseconds(500));
    manager->requestCalendarAccess([&] { done = true; });
    manager->refreshScreenRecording([&] { done = true; });
    manager.reset();
    desktop.logger.clear();
    desktop.scheduler.advance(milliseconds(1000));
    EXPECT_FALSE(done);
    EXPECT_TRUE(desktop.logger.lines().empty());
}

// The platform's completions are not to be trusted to arrive once, or to agree with themselves.
class HeldServices final : public PermissionServices {
public:
    void getShareableContent(bool, bool,
                             std::function<void(ShareableContentAnswer)> completion) override {
        probe = std::move(completion);
    }
    std::int64_t authorizationStatus(EventEntityType) override { return 0; }
    void requestFullAccess(EventEntityType,
                           std::function<void(AccessRequestAnswer)> completion) override {
        request = std::move(completion);
    }
    bool openURL(const Url&) override { return false; }

    std::function<void(ShareableContentAnswer)> probe;
    std::function<void(AccessRequestAnswer)> request;
};

TEST_F(PermissionsManagerTest, OnlyTheFirstCompletionCountsAndAnErrorOutweighsAGrant) {
    HeldServices held;
    PermissionsManager m(desktop.accessibility, held, desktop.scheduler, desktop.logger);
    int done = 0;

    m.requestCalendarAccess([&] { ++done; });
    held.request({true, std::string("Interrupted")});
    held.request({true, std::nullopt});
    desktop.scheduler.runDue();
    EXPECT_EQ(m.calendar(), Status::denied);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(desktop.logger.count("Calendar request failed: Interrupted"), 1u);
    EXPECT_EQ(desktop.logger.count("Calendar request returned granted=true"), 0u);

    // Content wins over a stray error; neither content nor error is no access.
    m.refreshScreenRecording();
    held.probe({true, std::string("late warning")});
    desktop.scheduler.runDue();
    EXPECT_EQ(m.screenRecording(), Status::granted);
    m.refreshScreenRecording();
    held.probe({false, std::nullopt});
    desktop.scheduler.runDue();
    EXPECT_EQ(m.screenRecording(), Status::denied);
    EXPECT_EQ(desktop.logger.count("Screen Recording not granted: no shareable content"), 1u);
}

TEST_F(PermissionsManagerTest, OpenSettingsOpensThePrivacyPaneOfEachPermissionAndLogsNothing) {
    manager->openSettings(Permission::accessibility);
    manager->openSettings(Permission::screenRecording);
    manager->openSettings(Permission::calendar);
    manager->openSettings(Permission::reminders);
    manager->openSettings(static_cast<Permission>(42));  // names no field: Screen Recording
    EXPECT_EQ(services().openedPanes(),
              (Lines{"Privacy_Accessibility", "Privacy_ScreenCapture", "Privacy_Calendars",
                     "Privacy_Reminders", "Privacy_ScreenCapture"}));
    EXPECT_EQ(services().openedURLs().front(),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
    EXPECT_TRUE(desktop.logger.lines().empty());
    EXPECT_TRUE(changes.empty());
}

}  // namespace
}  // namespace vantorel

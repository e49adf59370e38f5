#include "app/PermissionsManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using Status = PermissionsManager::Status;
using Permission = PermissionsManager::Permission;
using Lines = std::vector<std::string>;
using Changes = std::vector<Permission>;
using UserAnswer = SimPermissionServices::UserAnswer;

class PermissionsManagerTest : public testing::Test {
protected:
    PermissionsManagerTest() {
        manager->addListener([this](Permission p) { changes.push_back(p); });
    }

    // The manager's log lines since the last call, the last one's level in front.
    Lines take() {
        Lines lines = desktop.logger.messages("permissions");
        if (!lines.empty()) {
            const bool error = desktop.logger.lines().back().level == LogLevel::error;
            lines.insert(lines.begin(), error ? "error:" : "debug:");
        }
        desktop.logger.clear();
        return lines;
    }
    SimPermissionServices& services() { return desktop.permissionServices; }
    static std::string text(Status status) {
        return std::string(PermissionsManager::toString(status));
    }

    SimDesktop desktop;
    std::unique_ptr<PermissionsManager> manager =
        std::make_unique<PermissionsManager>(desktop.ports());
    Changes changes;
};

// The status lines' wording is checked by the application's start-up test.
TEST_F(PermissionsManagerTest, EventStoreAuthorisationMapsToAStatus) {
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    // Write-only (4) is not enough to read events.
    const std::pair<std::int64_t, std::string> cases[] = {
        {3, "granted"}, {0, "notDetermined"}, {1, "denied"},         {2, "denied"},
        {4, "denied"},  {5, "notDetermined"}, {min, "notDetermined"}};
    for (const auto& [raw, status] : cases) {
        SCOPED_TRACE(raw);
        // The two stores disagree, so that neither can be read for the other.
        const std::int64_t reminders = raw == 3 ? 2 : 3;
        services().setAuthorizationStatus(EventEntityType::event, raw);
        services().setAuthorizationStatus(EventEntityType::reminder, reminders);
        manager->refreshCalendarStatus();
        manager->refreshRemindersStatus();
        EXPECT_EQ(text(manager->calendar()), status);
        EXPECT_EQ(manager->reminders(), raw == 3 ? Status::denied : Status::granted);
    }
    // Listeners hear real changes only, not every refresh.
    EXPECT_EQ(std::count(changes.begin(), changes.end(), Permission::calendar), 4);
}

TEST_F(PermissionsManagerTest, AccessibilityChecksPromptOnlyWhenAskedAndListenersMayLeave) {
    int second = 0;
    PermissionsManager::ListenerId secondId = 0;
    const auto firstId =
        manager->addListener([&](Permission) { manager->removeListener(secondId); });
    secondId = manager->addListener([&](Permission) { ++second; });
    const struct {
        bool trusted, prompt;
        Status status;
        int prompts;
    } cases[] = {{false, false, Status::notDetermined, 0},
                 {false, true, Status::denied, 1},
                 {false, false, Status::notDetermined, 1},
                 {true, false, Status::granted, 1},
                 {true, true, Status::granted, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "trusted=" << c.trusted << " prompt=" << c.prompt);
        desktop.accessibility.setTrusted(c.trusted);
        EXPECT_EQ(manager->checkAccessibility(c.prompt), c.trusted);
        EXPECT_EQ(manager->accessibility(), c.status);
        EXPECT_EQ(desktop.accessibility.promptCount(), c.prompts);
        EXPECT_EQ(take(), (Lines{"debug:", c.trusted ? "Accessibility trusted=true"
                                                     : "Accessibility trusted=false"}));
        if (c.prompts == 1) manager->removeListener(firstId);
    }
    EXPECT_EQ(second, 0);  // removed by the first listener before its turn
    EXPECT_EQ(changes, Changes(3, Permission::accessibility));
}

TEST_F(PermissionsManagerTest, ScreenRecordingProbeAsksForOnScreenContentAndMapsTheOutcome) {
    int done = 0;
    manager->refreshScreenRecording([&] { ++done; });
    EXPECT_EQ(services().lastProbeOptions(), std::make_pair(false, true));
    desktop.scheduler.runDue();
    EXPECT_EQ(manager->screenRecording(), Status::granted);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(take(), (Lines{"debug:", "Screen Recording granted"}));

    services().setScreenRecordingAllowed(false);
    services().setScreenRecordingError("Screen capture is not allowed");
    manager->refreshScreenRecording([&] {
        // The status is already written when the caller resumes.
        EXPECT_EQ(manager->screenRecording(), Status::denied);
        ++done;
    });
    desktop.scheduler.runDue();
    EXPECT_EQ(done, 2);
    EXPECT_EQ(take(),
              (Lines{"error:", "Screen Recording not granted: Screen capture is not allowed"}));
    EXPECT_EQ(changes, Changes(2, Permission::screenRecording));
}

TEST_F(PermissionsManagerTest, RequestsUpdateTheStatusFromTheAnswerAndLogEachOutcome) {
    // A Calendar failure is in OnlyTheFirstCompletionCounts; a grant logs as a refusal does.
    const auto E = EventEntityType::event, R = EventEntityType::reminder;
    const struct {
        EventEntityType type;
        UserAnswer answer;
        Status status;
        Lines lines;
    } cases[] = {
        {E,
         UserAnswer::refuse,
         Status::denied,
         {"debug:", "Requesting Calendar access (EK raw before=2)",
          "Calendar request returned granted=false"}},
        {R, UserAnswer::fail, Status::denied, {"error:", "Reminders request failed: No store"}},
        {R,
         UserAnswer::grant,
         Status::granted,
         {"debug:", "Reminders request returned granted=true"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.back());
        const bool events = c.type == E;
        services().setAuthorizationStatus(c.type, events ? 2 : 0);
        services().setUserAnswer(c.type, c.answer);
        services().setErrorDescription(c.type, "No store");
        bool done = false;
        events ? manager->requestCalendarAccess([&] { done = true; })
               : manager->requestRemindersAccess([&] { done = true; });
        desktop.scheduler.runDue();
        EXPECT_TRUE(done);
        EXPECT_EQ(events ? manager->calendar() : manager->reminders(), c.status);
        EXPECT_EQ(take(), c.lines);
    }
    EXPECT_EQ(services().requestCount(R), 2u);
}

TEST_F(PermissionsManagerTest, AnswersLandOnTheMainThreadAfterTheCallAndNotAfterTheManager) {
    services().setAnswerDelay(std::nullopt);  // answered inside the call
    manager->requestRemindersAccess();
    manager->refreshScreenRecording();
    EXPECT_EQ(manager->reminders(), Status::notDetermined);
    EXPECT_EQ(manager->screenRecording(), Status::notDetermined);
    desktop.scheduler.runDue();
    EXPECT_EQ(manager->reminders(), Status::granted);
    EXPECT_EQ(manager->screenRecording(), Status::granted);

    bool done = false;
    services().setAnswerDelay(std::chrono::milliseconds(500));
    manager->requestCalendarAccess([&] { done = true; });
    manager->refreshScreenRecording([&] { done = true; });
    manager.reset();
    desktop.logger.clear();
    desktop.scheduler.advance(std::chrono::seconds(1));
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

TEST_F(PermissionsManagerTest, EachPermissionStartsUndeterminedAndOpensItsPrivacyPane) {
    for (const Permission p :
         {Permission::accessibility, Permission::screenRecording, Permission::calendar,
          Permission::reminders, static_cast<Permission>(42)}) {  // no field: Screen Recording
        EXPECT_EQ(manager->status(p), Status::notDetermined);
        manager->openSettings(p);
    }
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

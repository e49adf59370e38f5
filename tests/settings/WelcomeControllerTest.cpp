#include "settings/WelcomeController.h"

#include <gtest/gtest.h>

#include "platform/DefaultsValue.h"
#include "platform/sim/SimDesktop.h"
#include "settings/BundleInfo.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// A window that only counts what it is asked to do.
struct CountingWindow final : WelcomeController::Window {
    int* presents;
    int* closes;
    CountingWindow(int* p, int* c) : presents(p), closes(c) {}
    void present() override { ++*presents; }
    void close() override { ++*closes; }
};

class WelcomeControllerTest : public testing::Test {
protected:
    std::optional<DefaultsValue> didShowWelcome() {
        return desktop.defaults.standardDomain().object("didShowWelcome");
    }
    void goTo(int step) {
        while (controller.step() < step)
            controller.next();
        while (controller.step() > step)
            controller.back();
    }

    SimDesktop desktop;
    PermissionsManager permissions{desktop.ports()};
    int windows = 0, presents = 0, closes = 0;
    WelcomeController controller{permissions, desktop.defaults.standard(), desktop.scheduler,
                                 desktop.logger, [this](WelcomeController&) {
                                     ++windows;
                                     return std::make_unique<CountingWindow>(&presents, &closes);
                                 }};
};

TEST_F(WelcomeControllerTest, WalksThePagesAndOnlyGetStartedRecordsTheWelcome) {
    controller.show();
    // "n" Next or "b" Back, the page that follows, and "*" where its button says Get Started.
    for (const std::string step : {"b0", "n1", "b0", "n1", "n2", "n3", "n4", "n5*", "b4", "n5*"}) {
        SCOPED_TRACE(step);
        step[0] == 'n' ? controller.next() : controller.back();
        EXPECT_EQ(controller.step(), step[1] - '0');
        EXPECT_EQ(controller.primaryTitle(), step.ends_with('*') ? "Get Started" : "Next");
        EXPECT_EQ(controller.canGoBack(), step[1] != '0');
        EXPECT_FALSE(didShowWelcome());
    }
    controller.next();  // "Get Started"
    EXPECT_EQ(didShowWelcome(), DefaultsValue(true));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(controller.isShown());
}

TEST_F(WelcomeControllerTest, ShowingAgainReusesTheWindowOnItsPageAndReadsThePermissionsOnce) {
    desktop.accessibility.setTrusted(false);
    desktop.setScreenRecordingGranted(false);
    controller.show();
    desktop.scheduler.runDue();
    EXPECT_EQ(permissions.accessibility(), PermissionsManager::Status::notDetermined);
    EXPECT_EQ(permissions.screenRecording(), PermissionsManager::Status::denied);
    EXPECT_EQ(desktop.accessibility.promptCount(), 0);  // the welcome never prompts
    goTo(3);
    controller.windowClosed();  // the close button
    controller.show();
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(presents, 2);
    EXPECT_EQ(controller.step(), 3);
    EXPECT_FALSE(didShowWelcome());
    EXPECT_EQ(desktop.permissionServices.probeCount(), 1u);
    EXPECT_EQ(desktop.logger.messages("app"), std::vector<std::string>{"Welcome window shown"});
}

TEST_F(WelcomeControllerTest, RechecksAccessibilityOnlyWhileThePermissionsPageIsShown) {
    desktop.accessibility.setTrusted(false);
    controller.show();
    goTo(3);
    desktop.scheduler.advance(10s);
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
    goTo(4);
    desktop.accessibility.setTrusted(true);
    desktop.scheduler.advance(1499ms);
    EXPECT_EQ(permissions.accessibility(), PermissionsManager::Status::notDetermined);
    desktop.scheduler.advance(1ms);
    EXPECT_EQ(permissions.accessibility(), PermissionsManager::Status::granted);
    EXPECT_TRUE(controller.isRechecking());

    // Away from the page, or with the window closed on it, nothing is left to run.
    const std::function<void()> leave[] = {[&] { goTo(5); }, [&] { controller.windowClosed(); }};
    for (const auto& away : leave) {
        goTo(4);
        controller.show();
        EXPECT_TRUE(controller.isRechecking());
        away();
        EXPECT_FALSE(controller.isRechecking());
        EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
    }
}

TEST_F(WelcomeControllerTest, WithoutAWindowNothingShowsAndAGoneControllerIsNeverCalled) {
    WelcomeController bare(permissions, desktop.defaults.standard(), desktop.scheduler,
                           desktop.logger, nullptr);
    bare.show();
    EXPECT_FALSE(bare.isShown());
    int count = 0;
    auto doomed = std::make_unique<WelcomeController>(
        permissions, desktop.defaults.standard(), desktop.scheduler, desktop.logger,
        [&](WelcomeController&) { return std::make_unique<CountingWindow>(&count, &count); });
    doomed->show();
    desktop.scheduler.runDue();  // the Screen Recording probe's answer
    for (int i = 0; i < 4; ++i)
        doomed->next();
    ASSERT_TRUE(doomed->isRechecking());
    doomed.reset();
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
    desktop.scheduler.advance(3s);
}

TEST(BundleInfoTest, AMissingPartOfTheVersionReadsAsADash) {
    const struct {
        std::optional<std::string> shortVersion, version;
        const char* text;
    } cases[] = {{"1.2", "34", "1.2 (34)"},
                 {"1.2", std::nullopt, "1.2 (—)"},
                 {std::nullopt, "34", "— (34)"},
                 {std::nullopt, std::nullopt, "— (—)"}};
    for (const auto& c : cases) {
        EXPECT_EQ((BundleInfo{c.shortVersion, c.version}.versionText()), c.text);
    }
    EXPECT_TRUE(BundleInfo::main().shortVersion);  // the project's version is always known
}

}  // namespace
}  // namespace vantorel

#include "settings/WelcomeController.h"

#include <algorithm>

#include "app/VantorelApp.h"
#include "platform/DefaultsValue.h"
#include "platform/UserDefaults.h"

namespace vantorel {

using Permission = PermissionsManager::Permission;

const std::array<WelcomeController::Page, WelcomeController::kLast + 1>&
WelcomeController::pages() {
    // clang-format off
    static const std::array<Page, kLast + 1> all = {{
        {"", "Welcome to Vantorel", "",
         "Liquid Glass window previews for your Dock. This takes about 20 seconds to set up."},
        {"rectangle.on.rectangle.angled", "Peek at any window", "",
         "Hover a Dock icon to see live previews of that app's open windows. Click one to switch to it — or close and minimize right from the card."},
        {"command", "Switch with ⌥Tab", "",
         "Hold Option and tap Tab to fly through every open window across all your apps. Release Option to jump to the highlighted one."},
        {"menubar.rectangle", "It lives in your menu bar", "",
         "Vantorel has no Dock icon — find it in your menu bar at the top-right. Click it anytime for Settings, this guide, or to quit."},
        {"lock.shield", "Two quick permissions", "",
         "Vantorel needs these to read your Dock and capture previews. Nothing ever leaves your Mac — and that's enforced in the code."},
        {"checkmark.seal.fill", "You're all set", "Enjoy 💎",
         "Hover a Dock icon to try it. Nothing you preview ever leaves your Mac.\n\nThanks for using Vantorel.  — Orrimond"},
    }};
    // clang-format on
    return all;
}

const std::array<WelcomeController::PermissionRow, 2>& WelcomeController::permissionRows() {
    static const std::array<PermissionRow, 2> rows = {{
        {"Accessibility", "Read the Dock and control windows", Permission::accessibility},
        {"Screen Recording", "Capture window previews", Permission::screenRecording},
    }};
    return rows;
}

WelcomeController::WelcomeController(PermissionsManager& permissions, DefaultsSuite& defaults,
                                     Scheduler& scheduler, Logger& logger, WindowFactory makeWindow)
    : permissions_(permissions),
      defaults_(defaults),
      scheduler_(scheduler),
      log_(logger, "app"),
      makeWindow_(std::move(makeWindow)),
      self_(std::make_shared<WelcomeController*>(this)) {}

WelcomeController::~WelcomeController() {
    recheck_.cancel();
}

const WelcomeController::Page& WelcomeController::page() const {
    return pages()[static_cast<std::size_t>(std::clamp(step_, 0, kLast))];
}

std::string_view WelcomeController::primaryTitle() const {
    return isLastPage() ? "Get Started" : "Next";
}

void WelcomeController::show() {
    if (window_) {
        shown_ = true;
        window_->present();
        updateRecheck();
        return;
    }
    if (!makeWindow_) return;
    window_ = makeWindow_(*this);
    if (!window_) return;
    shown_ = true;
    window_->present();
    log_.info("Welcome window shown");
    // What the permissions page shows is read once now; afterwards only its re-check reads it.
    permissions_.checkAccessibility(false);
    permissions_.refreshScreenRecording();
    updateRecheck();
}

void WelcomeController::finish() {
    defaults_.setObject(VantorelApp::kDidShowWelcomeKey, DefaultsValue(true));
    if (window_) window_->close();
    windowClosed();
}

void WelcomeController::windowClosed() {
    shown_ = false;
    updateRecheck();
}

void WelcomeController::next() {
    if (isLastPage()) {
        finish();
        return;
    }
    setStep(step_ + 1);
}

void WelcomeController::back() {
    if (canGoBack()) setStep(step_ - 1);
}

void WelcomeController::enable(Permission permission) {
    permissions_.openSettings(permission);
}

void WelcomeController::setStep(int step) {
    if (step == step_) return;
    step_ = step;
    updateRecheck();
    if (onStepChange) onStepChange();
}

void WelcomeController::updateRecheck() {
    const bool wanted = shown_ && step_ == kPermissionsPage;
    if (!wanted) {
        recheck_.cancel();
        return;
    }
    if (recheck_.isPending()) return;
    std::weak_ptr<WelcomeController*> weak = self_;
    recheck_ = scheduler_.schedule(kRecheckInterval, [weak] {
        if (auto self = weak.lock()) (*self)->recheck();
    });
}

void WelcomeController::recheck() {
    // Screen Recording is not probed here: only a new show of the window does that.
    permissions_.checkAccessibility(false);
    updateRecheck();
}

}  // namespace vantorel

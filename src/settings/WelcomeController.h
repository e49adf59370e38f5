#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string_view>

#include "app/PermissionsManager.h"
#include "platform/Logger.h"
#include "platform/Scheduler.h"

namespace vantorel {

class DefaultsSuite;

// The first-run welcome: six pages that introduce the application and ask for the two
// permissions it needs, ended by "Get Started". Owns the window (made on first show, then kept,
// page and all) and the page it shows. The permissions page re-checks Accessibility every
// kRecheckInterval while it is shown, and nothing runs on any other page. Main thread only.
class WelcomeController {
public:
    static constexpr int kLast = 5;
    static constexpr Duration kRecheckInterval = std::chrono::milliseconds(1500);
    static constexpr int kPermissionsPage = 4;
    static constexpr std::string_view kWindowTitle = "Welcome to Vantorel";

    struct Page {
        // A system symbol; empty for the application's own icon.
        std::string_view symbol;
        std::string_view title;
        // Empty for none.
        std::string_view subtitle;
        std::string_view text;
    };
    struct PermissionRow {
        std::string_view title;
        std::string_view detail;
        PermissionsManager::Permission permission;
    };
    static const std::array<Page, kLast + 1>& pages();
    static const std::array<PermissionRow, 2>& permissionRows();

    // The window's side: a toolkit adapter shows the controller's page and reports its close
    // button through windowClosed().
    class Window {
    public:
        virtual ~Window() = default;
        // Brings the window to the front, shown and key, the application active.
        virtual void present() = 0;
        virtual void close() = 0;
    };
    using WindowFactory = std::function<std::unique_ptr<Window>(WelcomeController&)>;

    // Without a factory there is no window to show, and show() does nothing.
    WelcomeController(PermissionsManager& permissions, DefaultsSuite& defaults,
                      Scheduler& scheduler, Logger& logger, WindowFactory makeWindow);
    ~WelcomeController();
    WelcomeController(const WelcomeController&) = delete;
    WelcomeController& operator=(const WelcomeController&) = delete;

    // Makes the window on first use; afterwards brings the same one back on the page it had.
    void show();
    // "Get Started": records that the welcome was seen and closes the window.
    void finish();
    // The window went away by its close button (or by finish): nothing runs until shown again.
    void windowClosed();

    int step() const { return step_; }
    const Page& page() const;
    bool canGoBack() const { return step_ > 0; }
    bool isLastPage() const { return step_ >= kLast; }
    // "Next", or "Get Started" on the last page.
    std::string_view primaryTitle() const;
    // The primary button: the next page, or finish on the last.
    void next();
    // Inert on the first page.
    void back();
    // The row's "Enable" button: opens its pane of System Settings, never prompts.
    void enable(PermissionsManager::Permission permission);

    PermissionsManager& permissions() const { return permissions_; }
    Window* window() const { return window_.get(); }
    bool isShown() const { return shown_; }
    bool isRechecking() const { return recheck_.isPending(); }

    // Called after the page changed.
    std::function<void()> onStepChange;

private:
    void setStep(int step);
    // Runs the re-check exactly while the permissions page is shown.
    void updateRecheck();
    void recheck();

    PermissionsManager& permissions_;
    DefaultsSuite& defaults_;
    Scheduler& scheduler_;
    Log log_;
    WindowFactory makeWindow_;
    std::unique_ptr<Window> window_;
    int step_ = 0;
    bool shown_ = false;
    TaskHandle recheck_;
    // Held weakly by the scheduled re-check, so a late one finds the controller gone.
    std::shared_ptr<WelcomeController*> self_;
};

}  // namespace vantorel

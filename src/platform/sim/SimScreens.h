#pragma once

#include <optional>
#include <vector>

#include "platform/Screens.h"

namespace vantorel {

class SimScreens final : public Screens {
public:
    std::vector<ScreenInfo> screens() override { return screens_; }
    std::optional<ScreenInfo> primaryScreen() override {
        if (screens_.empty()) return std::nullopt;
        return screens_.front();
    }
    std::optional<ScreenInfo> mainScreen() override { return main_; }

    void setScreens(std::vector<ScreenInfo> screens) {
        screens_ = std::move(screens);
        main_ = screens_.empty() ? std::nullopt : std::optional<ScreenInfo>(screens_.front());
    }
    // Lets a test keep a main screen while the list is empty, as the platform may.
    void setMainScreen(std::optional<ScreenInfo> screen) { main_ = screen; }
    std::vector<ScreenInfo>& mutableScreens() { return screens_; }

private:
    std::vector<ScreenInfo> screens_;
    std::optional<ScreenInfo> main_;
};

}  // namespace vantorel

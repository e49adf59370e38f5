#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Geometry.h"
#include "platform/WindowServer.h"

namespace vantorel {

// The window server of the simulated desktop: every window's description, front to back,
// including those that are not on screen (minimised, on another space, of a hidden
// application). Tests plant any description here, malformed ones included.
class SimWindowServer final : public WindowServer {
public:
    struct Record {
        // What a query hands back for this window, normally a dictionary.
        WindowServerValue info;
        bool onScreen = true;
        // The desktop picture and icons, left out by kOptionExcludeDesktopElements.
        bool desktopElement = false;
    };

    // Honours on-screen-only and exclude-desktop-elements; the options relative to a window are
    // not modelled, so relativeToWindow is ignored.
    std::optional<WindowServerArray> copyWindowInfo(Options options,
                                                    WindowNumber relativeToWindow) override;

    // Control side. Records are keyed by the number they were added under, whatever their
    // description later says.
    WindowNumber allocateNumber() { return nextNumber_++; }
    // Adds behind every window already there.
    void add(WindowNumber number, Record record);
    void remove(WindowNumber number);
    Record* record(WindowNumber number);
    void bringToFront(WindowNumber number);
    // The numbers front to back, on screen or not.
    std::vector<WindowNumber> order() const;
    // While failing, every query answers nothing, as when the window server cannot be reached.
    void setFailing(bool failing) { failing_ = failing; }
    std::uint64_t queryCount() const { return queryCount_; }

    // The description the platform gives an ordinary window.
    static WindowServerDictionary describe(std::int64_t ownerPID, const std::string& ownerName,
                                           WindowNumber number, std::int64_t layer,
                                           const Rect& bounds, const std::string& name);
    static WindowServerDictionary describeBounds(const Rect& bounds);

private:
    std::vector<std::pair<WindowNumber, Record>> records_;
    WindowNumber nextNumber_ = 100;
    bool failing_ = false;
    std::uint64_t queryCount_ = 0;
};

}  // namespace vantorel

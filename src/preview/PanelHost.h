#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "dock/DockEdge.h"
#include "platform/Geometry.h"
#include "platform/Logger.h"
#include "platform/PanelSurface.h"

namespace vantorel {

class Screens;

// The show and hide sequence every Dock panel shares: fit the window to its view, place it
// beside the tile, fade in only from hidden; fade out and order out. The owner supplies its log
// lines. Main thread only.
class PanelHost {
public:
    // What a show did, for its log line.
    struct Shown {
        Size size;
        Point origin;
        bool wasVisible = false;
    };

    // A null surface makes a panel that never shows; that is logged once as an error.
    PanelHost(Screens& screens, Log log, std::unique_ptr<PanelSurface> surface);
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // True when the pointer enters the panel's content, false when it leaves.
    std::function<void(bool)> onPanelHoverChange;

    // Fits, places and fades in (or only resizes and moves a panel already up), writing the
    // debug line `line` builds. When no screen is known the panel keeps its last position.
    void show(DockEdge edge, const Rect& tileFrame,
              const std::function<std::string(const Shown&)>& line);
    // Fades the panel out, writing `line` at debug level; nothing when it is not up or already
    // going.
    void hide(std::string_view line);

    bool isVisible() const;
    bool hasSurface() const { return surface_ != nullptr; }
    const Log& log() const { return log_; }

    // A length as the log lines write it: whole points, cut towards zero.
    static std::string integer(double value);

private:
    Screens& screens_;
    Log log_;
    std::unique_ptr<PanelSurface> surface_;
    Point origin_;
};

}  // namespace vantorel

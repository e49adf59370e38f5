#include "preview/PanelPlacement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Screens.h"

namespace vantorel {
namespace {

bool isFinite(const Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

}  // namespace

std::optional<Point> panelOrigin(DockEdge edge, const Rect& tileFrame, const Size& size,
                                 Screens& screens) {
    const std::vector<ScreenInfo> all = screens.screens();
    const std::optional<ScreenInfo> main = screens.mainScreen();

    double primaryHeight = 0;
    if (!all.empty()) {
        primaryHeight = all.front().frame.height();
    } else if (main) {
        primaryHeight = main->frame.height();
    }

    const Rect tile(tileFrame.minX(), primaryHeight - tileFrame.maxY(), tileFrame.width(),
                    tileFrame.height());

    std::optional<Rect> visible;
    for (const ScreenInfo& screen : all) {
        if (screen.frame.intersects(tile)) {
            visible = screen.visibleFrame;
            break;
        }
    }
    if (!visible && main) visible = main->visibleFrame;
    if (!visible) return std::nullopt;

    const double w = size.width;
    const double h = size.height;
    double x = 0;
    double y = 0;
    switch (edge) {
        case DockEdge::bottom:
            x = tile.center().x - w * 0.5;
            y = tile.maxY() + kPanelGap;
            break;
        case DockEdge::left:
            x = tile.maxX() + kPanelGap;
            y = tile.center().y - h * 0.5;
            break;
        case DockEdge::right:
            x = tile.minX() - w - kPanelGap;
            y = tile.center().y - h * 0.5;
            break;
    }

    // The upper bounds come last on purpose: a panel too big for the screen stays flush with the
    // right and top margins, where the Dock is not.
    const Rect& v = *visible;
    x = std::max(x, v.minX() + kPanelGap);
    x = std::min(x, v.maxX() - w - kPanelGap);
    y = std::max(y, v.minY() + kPanelGap);
    y = std::min(y, v.maxY() - h - kPanelGap);

    // std::max/std::min let a NaN bound through silently, so check the inputs as well as the
    // result.
    if (!isFinite(tile) || !isFinite(v) || !std::isfinite(x) || !std::isfinite(y)) {
        return std::nullopt;
    }
    return Point{x, y};
}

}  // namespace vantorel

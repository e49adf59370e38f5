#include "widgets/MediaPanel.h"

namespace vantorel {

void MediaPanel::show(DockEdge edge, const Rect& tileFrame) {
    showPanel(edge, tileFrame, [this](const PanelHost::Shown&) {
        const auto& nowPlaying = state().nowPlaying();
        return "Media panel show: " + (nowPlaying ? nowPlaying->title : std::string("idle"));
    });
}

}  // namespace vantorel

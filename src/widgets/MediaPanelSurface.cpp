#include "widgets/MediaPanelSurface.h"

#include "platform/PanelSurface.h"
#include "widgets/MediaPopoverView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makeMediaPanelSurface(MediaState& state, Appearance& appearance) {
    return PopoverView::makeSurface(appearance, new MediaPopoverView(state, appearance),
                                    MediaPopoverView::kCardRadius);
}

}  // namespace vantorel

#include "widgets/FolderPanelSurface.h"

#include "platform/PanelSurface.h"
#include "widgets/FolderPopoverView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makeFolderPanelSurface(FolderState& state, Appearance& appearance) {
    return PopoverView::makeSurface(appearance, new FolderPopoverView(state, appearance),
                                    FolderPopoverView::kCardRadius);
}

}  // namespace vantorel

#include "preview/PreviewPanelSurface.h"

#include "platform/PanelSurface.h"
#include "platform/qt/Appearance.h"
#include "platform/qt/SymbolTable.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewPanelView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makePreviewPanelSurface(PreviewState& state, Appearance& appearance,
                                                      const SymbolTable& symbols) {
    return PopoverView::makeSurface(appearance, new PreviewPanelView(state, appearance, symbols),
                                    PreviewMetrics::kSurfaceRadius);
}

std::unique_ptr<PanelSurface> makePreviewPanelSurface(PreviewState& state) {
    return makePreviewPanelSurface(state, Appearance::shared(), SymbolTable::shared());
}

}  // namespace vantorel

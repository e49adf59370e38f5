#include "preview/PreviewPanelSurface.h"

#include <QMarginsF>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewPanelView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makePreviewPanelSurface(PreviewState& state, Appearance& appearance,
                                                      const SymbolTable& symbols) {
    auto window = std::make_unique<FloatingPanelWindow>(appearance);
    auto* view = new PreviewPanelView(state, appearance, symbols);
    FloatingPanelWindow* host = window.get();
    // A backdrop of our own shows through the glass even where the window cannot.
    host->onSurfaceChange = [host, view] {
        view->setTranslucentWindow(host->isTranslucent() || host->blursBehind());
        view->setBlurredBehind(host->blursBehind());
    };
    host->onSurfaceChange();
    constexpr qreal margin = PreviewMetrics::kPanelMargin;
    window->setSurfaceShape(QMarginsF(margin, margin, margin, margin),
                            PreviewMetrics::kSurfaceRadius);
    return std::make_unique<QtPanelSurface>(
        std::move(window), view,
        [view](std::function<void(bool)> report) { view->onPanelHoverChange = std::move(report); });
}

std::unique_ptr<PanelSurface> makePreviewPanelSurface(PreviewState& state) {
    return makePreviewPanelSurface(state, Appearance::shared(), SymbolTable::shared());
}

}  // namespace vantorel

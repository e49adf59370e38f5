#include "widgets/FolderPanelSurface.h"

#include <QMarginsF>

#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "widgets/FolderPopoverView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makeFolderPanelSurface(FolderState& state, Appearance& appearance) {
    auto window = std::make_unique<FloatingPanelWindow>(appearance);
    auto* view = new FolderPopoverView(state, appearance);
    view->setTranslucentWindow(window->isTranslucent());
    constexpr qreal margin = FolderPopoverView::kMargin;
    window->setSurfaceShape(QMarginsF(margin, margin, margin, margin),
                            FolderPopoverView::kCardRadius);
    return std::make_unique<QtPanelSurface>(
        std::move(window), view,
        [view](std::function<void(bool)> report) { view->onPanelHoverChange = std::move(report); });
}

}  // namespace vantorel

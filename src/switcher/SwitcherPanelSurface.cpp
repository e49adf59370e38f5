#include "switcher/SwitcherPanelSurface.h"

#include <QMarginsF>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"
#include "switcher/SwitcherView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makeSwitcherPanelSurface(SwitcherState& state, Appearance& appearance,
                                                       const SymbolTable& symbols) {
    auto window = std::make_unique<FloatingPanelWindow>(appearance);
    window->setLevel(FloatingPanelWindow::kModalPanelLevel);
    auto* view = new SwitcherView(state, appearance, symbols, QSizeF(196, 122));
    view->setTranslucentWindow(window->isTranslucent());
    constexpr qreal margin = SwitcherView::kOuterInset;
    window->setSurfaceShape(QMarginsF(margin, margin, margin, margin),
                            SwitcherView::kSurfaceRadius);
    // Made now, hidden, so that opening only maps it.
    window->winId();
    return std::make_unique<QtPanelSurface>(std::move(window), view);
}

std::unique_ptr<PanelSurface> makeSwitcherPanelSurface(SwitcherState& state) {
    return makeSwitcherPanelSurface(state, Appearance::shared(), SymbolTable::shared());
}

}  // namespace vantorel

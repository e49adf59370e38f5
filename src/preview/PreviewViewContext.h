#pragma once

#include <QImage>

#include "platform/qt/PanelViewContext.h"

namespace vantorel {

class PreviewState;
class SymbolTable;

// What every preview view reads besides its card: the panel's context, the model, the symbols
// and the application icon. Owned by the panel view and shared with the views inside it.
class PreviewViewContext : public PanelViewContext {
public:
    PreviewViewContext(PreviewState& state, Appearance& appearance, const SymbolTable& symbols);

    PreviewState& state() const { return state_; }
    const SymbolTable& symbols() const { return symbols_; }

    // The application icon, for headers and placeholders; null when there is none.
    const QImage& appIcon() const { return appIcon_; }
    void setAppIcon(QImage icon) { appIcon_ = std::move(icon); }

private:
    PreviewState& state_;
    const SymbolTable& symbols_;
    QImage appIcon_;
};

}  // namespace vantorel

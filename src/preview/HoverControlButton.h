#pragma once

#include "platform/qt/RoundSymbolButton.h"

namespace vantorel {

class PreviewViewContext;

// One of a card's hover controls: a small circular glass button showing a system symbol.
class HoverControlButton final : public RoundSymbolButton {
    Q_OBJECT

public:
    HoverControlButton(PreviewViewContext& context, QWidget* parent);
};

}  // namespace vantorel

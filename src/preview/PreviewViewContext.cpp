#include "preview/PreviewViewContext.h"

namespace vantorel {

PreviewViewContext::PreviewViewContext(PreviewState& state, Appearance& appearance,
                                       const SymbolTable& symbols)
    : PanelViewContext(appearance), state_(state), symbols_(symbols) {}

}  // namespace vantorel

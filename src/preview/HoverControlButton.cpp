#include "preview/HoverControlButton.h"

#include "preview/PreviewMetrics.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {
namespace {

// The symbol's box: a 10-point bold glyph; the icon font's glyphs carry their own margin.
constexpr qreal kGlyphBox = 13;

}  // namespace

HoverControlButton::HoverControlButton(PreviewViewContext& context, QWidget* parent)
    : RoundSymbolButton(context, context.symbols(), static_cast<int>(PreviewMetrics::kControlSide),
                        kGlyphBox, parent) {}

}  // namespace vantorel

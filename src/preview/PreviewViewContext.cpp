#include "preview/PreviewViewContext.h"

#include <QGuiApplication>

#include "platform/qt/Appearance.h"

namespace vantorel {
namespace {

// Text sizes in points, which the panels draw one to one as pixels.
QFont textFont(int pixelSize, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

}  // namespace

PreviewViewContext::PreviewViewContext(PreviewState& state, Appearance& appearance,
                                       const SymbolTable& symbols)
    : state_(state),
      appearance_(appearance),
      symbols_(symbols),
      headline_(textFont(13, QFont::DemiBold)),
      caption_(textFont(11, QFont::Normal)),
      callout_(textFont(12, QFont::Normal)) {}

bool PreviewViewContext::opaqueSurfaces() const {
    return !translucentWindow_ || appearance_.reduceTransparency();
}

bool PreviewViewContext::reduceMotion() const {
    return appearance_.reduceMotion();
}

QColor PreviewViewContext::primaryText(const QPalette& palette) {
    return palette.color(QPalette::WindowText);
}

QColor PreviewViewContext::secondaryText(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.55f);
    return color;
}

}  // namespace vantorel

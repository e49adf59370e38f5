#include "platform/qt/PanelViewContext.h"

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

QColor fadedText(const QPalette& palette, float alpha) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(alpha);
    return color;
}

}  // namespace

PanelViewContext::PanelViewContext(Appearance& appearance)
    : appearance_(appearance),
      headline_(textFont(13, QFont::DemiBold)),
      caption_(textFont(11, QFont::Normal)),
      caption2_(textFont(10, QFont::Normal)),
      callout_(textFont(12, QFont::Normal)) {
    // Counts keep their width as they change.
    caption_.setStyleHint(caption_.styleHint(), QFont::PreferMatch);
}

bool PanelViewContext::opaqueSurfaces() const {
    return !translucentWindow_ || appearance_.reduceTransparency();
}

bool PanelViewContext::reduceMotion() const {
    return appearance_.reduceMotion();
}

QColor PanelViewContext::primaryText(const QPalette& palette) {
    return palette.color(QPalette::WindowText);
}

QColor PanelViewContext::secondaryText(const QPalette& palette) {
    return fadedText(palette, 0.55f);
}

QColor PanelViewContext::tertiaryText(const QPalette& palette) {
    return fadedText(palette, 0.35f);
}

}  // namespace vantorel

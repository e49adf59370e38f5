#include "widgets/FolderViewContext.h"

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

FolderViewContext::FolderViewContext(Appearance& appearance)
    : appearance_(appearance),
      headline_(textFont(13, QFont::DemiBold)),
      caption_(textFont(11, QFont::Normal)),
      caption2_(textFont(10, QFont::Normal)),
      callout_(textFont(12, QFont::Normal)) {
    // Counts keep their width as they change.
    caption_.setStyleHint(caption_.styleHint(), QFont::PreferMatch);
}

bool FolderViewContext::opaqueSurfaces() const {
    return !translucentWindow_ || appearance_.reduceTransparency();
}

QColor FolderViewContext::primaryText(const QPalette& palette) {
    return palette.color(QPalette::WindowText);
}

QColor FolderViewContext::secondaryText(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.55f);
    return color;
}

}  // namespace vantorel

#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>

namespace vantorel {

class Appearance;
class PreviewState;
class SymbolTable;

// What every preview view reads besides its card: the model, the appearance flags, the symbols,
// the fonts and colours. Owned by the panel view and shared with the views inside it.
class PreviewViewContext {
public:
    PreviewViewContext(PreviewState& state, Appearance& appearance, const SymbolTable& symbols);

    PreviewState& state() const { return state_; }
    Appearance& appearance() const { return appearance_; }
    const SymbolTable& symbols() const { return symbols_; }

    // False when the panel's window cannot show through transparent pixels.
    void setTranslucentWindow(bool translucent) { translucentWindow_ = translucent; }
    // Glass replaced by opaque fills: reduce transparency, or a window that cannot be translucent.
    bool opaqueSurfaces() const;
    bool reduceMotion() const;
    // True when what lies beneath the panel is blurred, so its glass can be lighter.
    void setBlurredBehind(bool blurred) { blurredBehind_ = blurred; }
    bool blurredBehind() const { return blurredBehind_; }

    // The application icon, for headers and placeholders; null when there is none.
    const QImage& appIcon() const { return appIcon_; }
    void setAppIcon(QImage icon) { appIcon_ = std::move(icon); }

    const QFont& headlineFont() const { return headline_; }
    const QFont& captionFont() const { return caption_; }
    const QFont& calloutFont() const { return callout_; }

    static QColor primaryText(const QPalette& palette);
    static QColor secondaryText(const QPalette& palette);

private:
    PreviewState& state_;
    Appearance& appearance_;
    const SymbolTable& symbols_;
    bool translucentWindow_ = true;
    bool blurredBehind_ = false;
    QImage appIcon_;
    QFont headline_;
    QFont caption_;
    QFont callout_;
};

}  // namespace vantorel

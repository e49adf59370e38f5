#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace vantorel {

class Appearance;

// What every panel view reads besides its model: the appearance flags, the fonts and the
// colours. Owned by the panel's top view and shared with the views inside it.
class PanelViewContext {
public:
    explicit PanelViewContext(Appearance& appearance);

    Appearance& appearance() const { return appearance_; }

    // False when the panel's window cannot show through transparent pixels.
    void setTranslucentWindow(bool translucent) { translucentWindow_ = translucent; }
    // Glass replaced by opaque fills: reduce transparency, or a window that cannot be translucent.
    bool opaqueSurfaces() const;
    bool reduceMotion() const;
    // True when what lies beneath the panel is blurred, so its glass can be lighter.
    void setBlurredBehind(bool blurred) { blurredBehind_ = blurred; }
    bool blurredBehind() const { return blurredBehind_; }

    const QFont& headlineFont() const { return headline_; }
    const QFont& captionFont() const { return caption_; }
    const QFont& caption2Font() const { return caption2_; }
    const QFont& calloutFont() const { return callout_; }

    static QColor primaryText(const QPalette& palette);
    static QColor secondaryText(const QPalette& palette);
    static QColor tertiaryText(const QPalette& palette);

private:
    Appearance& appearance_;
    bool translucentWindow_ = true;
    bool blurredBehind_ = false;
    QFont headline_;
    QFont caption_;
    QFont caption2_;
    QFont callout_;
};

}  // namespace vantorel

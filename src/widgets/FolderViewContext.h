#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace vantorel {

class Appearance;

// What the folder popover's views read besides their entry: the appearance flags, the fonts and
// the colours. Owned by the popover and shared with its tiles.
class FolderViewContext {
public:
    explicit FolderViewContext(Appearance& appearance);

    Appearance& appearance() const { return appearance_; }
    // False when the panel's window cannot show through transparent pixels.
    void setTranslucentWindow(bool translucent) { translucentWindow_ = translucent; }
    // Glass replaced by opaque fills: reduce transparency, or a window that cannot be translucent.
    bool opaqueSurfaces() const;

    const QFont& headlineFont() const { return headline_; }
    const QFont& captionFont() const { return caption_; }
    const QFont& caption2Font() const { return caption2_; }
    const QFont& calloutFont() const { return callout_; }

    static QColor primaryText(const QPalette& palette);
    static QColor secondaryText(const QPalette& palette);

private:
    Appearance& appearance_;
    bool translucentWindow_ = true;
    QFont headline_;
    QFont caption_;
    QFont caption2_;
    QFont callout_;
};

}  // namespace vantorel

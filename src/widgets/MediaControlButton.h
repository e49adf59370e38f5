#pragma once

#include <QAbstractButton>
#include <QString>

namespace vantorel {

class PanelViewContext;

// One of the media widget's transport buttons: a round glass button showing a system symbol of
// a given size, centred in a square of a given side.
class MediaControlButton final : public QAbstractButton {
    Q_OBJECT

public:
    // The icon font's glyphs carry their own margin: a glyph of some size needs a box this much
    // larger to show at that size.
    static constexpr qreal kGlyphBoxScale = 1.3;

    MediaControlButton(PanelViewContext& context, int side, qreal symbolSize, QWidget* parent);

    // The symbol and the accessibility label, e.g. "play.fill" and "Play".
    void setSymbol(const QString& symbol, const QString& label);
    const QString& symbol() const { return symbol_; }

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PanelViewContext& context_;
    qreal symbolSize_;
    QString symbol_;
};

}  // namespace vantorel

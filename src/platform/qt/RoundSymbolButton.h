#pragma once

#include <QAbstractButton>
#include <QString>

namespace vantorel {

class PanelViewContext;
class SymbolTable;

// A small circular glass button showing a system symbol centred in a box of its own size; the
// icon font's glyphs carry their own margin, so the box is a little larger than the glyph.
class RoundSymbolButton : public QAbstractButton {
    Q_OBJECT

public:
    RoundSymbolButton(PanelViewContext& context, const SymbolTable& symbols, int side,
                      qreal glyphBox, QWidget* parent);

    // The symbol and the accessibility label, e.g. "xmark" and "Close window".
    void setSymbol(const QString& symbol, const QString& label);
    const QString& symbol() const { return symbol_; }

    // For a fade of the button.
    void setOpacity(qreal opacity);
    qreal opacity() const { return opacity_; }

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PanelViewContext& context_;
    const SymbolTable& symbols_;
    qreal glyphBox_;
    QString symbol_;
    qreal opacity_ = 1;
};

}  // namespace vantorel

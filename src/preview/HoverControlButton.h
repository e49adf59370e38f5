#pragma once

#include <QAbstractButton>
#include <QString>

namespace vantorel {

class PreviewViewContext;

// One of a card's hover controls: a small circular glass button showing a system symbol.
class HoverControlButton final : public QAbstractButton {
    Q_OBJECT

public:
    HoverControlButton(PreviewViewContext& context, QWidget* parent);

    // The symbol and the accessibility label, e.g. "xmark" and "Close window".
    void setSymbol(const QString& symbol, const QString& label);
    const QString& symbol() const { return symbol_; }

    // For the fade in of the controls.
    void setOpacity(qreal opacity);
    qreal opacity() const { return opacity_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewViewContext& context_;
    QString symbol_;
    qreal opacity_ = 1;
};

}  // namespace vantorel

#pragma once

#include <QAbstractButton>

#include <functional>

class QPainter;

namespace vantorel {

class PanelViewContext;

// A plain button drawn as an interactive glass rounded rectangle that lights up under the
// pointer; what it shows is drawn by its owner inside the padding. Clicking it runs onClick.
class WidgetRow final : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr qreal kRadius = 12;
    static constexpr int kPaddingX = 10;
    static constexpr int kPaddingY = 7;

    using Painter = std::function<void(QPainter&, const QRectF& content)>;

    WidgetRow(const PanelViewContext& context, Painter paintContent, QWidget* parent = nullptr);

    std::function<void()> onClick;

    // The interactive glass of a row or tile: lit while the pointer is over it.
    static void paintInteractiveGlass(QPainter& painter, const QRectF& rect, qreal radius,
                                      bool opaque, bool hovering, const QPalette& palette);
    bool isHovering() const { return isHovering_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const PanelViewContext& context_;
    Painter paintContent_;
    bool isHovering_ = false;
};

}  // namespace vantorel

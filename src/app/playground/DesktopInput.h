#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vantorel {

class SimDesktop;
class SimKeyEvents;

// Hands the real keyboard and clicks to the simulated desktop while the playground's window
// has focus. Keys pass the simulated keyboard first (Alt is Option), so a tap that swallows a
// key keeps it from the view; a click on a simulated window brings it and its application
// forward.
class DesktopInput final : public QObject {
public:
    DesktopInput(SimDesktop& desktop, SimKeyEvents& keyboard, QWidget* view);
    ~DesktopInput() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void click(QPointF at);

    SimDesktop& desktop_;
    SimKeyEvents& keyboard_;
    QPointer<QWidget> view_;
};

}  // namespace vantorel

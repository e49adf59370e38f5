#include "platform/qt/FloatingPanelWindow.h"

#include <QAbstractAnimation>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"

namespace vantorel {
namespace {

class HintView final : public QWidget {
public:
    QSize sizeHint() const override { return hint; }
    QSize hint{320, 210};
};

class FloatingPanelWindowTest : public ::testing::Test {
protected:
    FloatingPanelWindowTest() : appearance_(nullptr) {
        appearance_.setReduceMotionOverride(false);
        appearance_.setReduceTransparencyOverride(false);
    }

    QPropertyAnimation* fade(FloatingPanelWindow& window) {
        return static_cast<QPropertyAnimation*>(window.fadeAnimation());
    }
    // Drives the running fade to `ms` without waiting for the clock.
    void advanceFade(FloatingPanelWindow& window, int ms) {
        window.fadeAnimation()->setCurrentTime(ms);
    }

    Appearance appearance_;
};

TEST_F(FloatingPanelWindowTest, IsAFramelessNonActivatingToolWindowAboveOthersThatCanPaintOpaque) {
    FloatingPanelWindow window(appearance_, true);
    EXPECT_TRUE(window.isWindow());
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(window.mask().isEmpty());
    // Reduce transparency makes even a translucent panel paint opaque.
    EXPECT_FALSE(window.paintsOpaque());
    appearance_.setReduceTransparencyOverride(true);
    EXPECT_TRUE(window.paintsOpaque());
}

TEST_F(FloatingPanelWindowTest, WithoutTranslucencyIsCutToTheSurfaceAndPaintsOpaque) {
    FloatingPanelWindow window(appearance_, false);
    EXPECT_FALSE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(window.paintsOpaque());
    auto* view = new HintView;
    view->hint = QSize(300, 200);
    window.setView(view);
    window.fitToView();
    window.setSurfaceShape(QMarginsF(8, 8, 8, 8), 26);
    const QRegion mask = window.mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));    // the transparent margin
    EXPECT_FALSE(mask.contains(QPoint(10, 10)));  // outside the rounded corner
    EXPECT_TRUE(mask.contains(QPoint(150, 100)));
    EXPECT_TRUE(mask.contains(QPoint(150, 9)));

    // The shape follows the window's size.
    view->hint = QSize(600, 400);
    window.fitToView();
    EXPECT_TRUE(window.mask().contains(QPoint(500, 300)));
    EXPECT_FALSE(window.mask().contains(QPoint(595, 395)));
}

TEST_F(FloatingPanelWindowTest, TakesTheHostedViewsSizeHint) {
    FloatingPanelWindow window(appearance_, true);
    EXPECT_EQ(window.fitToView(), window.size());  // no view yet: unchanged

    auto* view = new HintView;
    window.setView(view);
    EXPECT_EQ(window.fitToView(), QSize(320, 210));
    EXPECT_EQ(window.size(), QSize(320, 210));
    EXPECT_EQ(view->geometry(), QRect(0, 0, 320, 210));

    view->hint = QSize(768, 238);
    EXPECT_EQ(window.fitToView(), QSize(768, 238));
    EXPECT_EQ(view->geometry(), QRect(0, 0, 768, 238));

    // A view that cannot say how big it wants to be leaves the window as it is.
    view->hint = QSize();
    EXPECT_EQ(window.fitToView(), QSize(768, 238));
    view->hint = QSize(0, 40);
    EXPECT_EQ(window.fitToView(), QSize(768, 238));

    // A laid-out view: its layout decides.
    QPointer<QWidget> old = view;
    auto* laidOut = new QWidget;
    auto* layout = new QVBoxLayout(laidOut);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* content = new QWidget;
    content->setFixedSize(200, 100);
    layout->addWidget(content);
    window.setView(laidOut);
    EXPECT_TRUE(old.isNull());  // the replaced view is gone
    EXPECT_EQ(window.fitToView(), QSize(216, 116));
}

TEST_F(FloatingPanelWindowTest, FadesInEasingOutFadesOutToHiddenAndTurnsBackMidFade) {
    FloatingPanelWindow window(appearance_, true);
    window.fadeOut();  // hidden: nothing to do
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fade(window)->state(), QAbstractAnimation::Stopped);

    window.fadeIn();
    EXPECT_TRUE(window.isVisible());
    QPropertyAnimation* animation = fade(window);
    ASSERT_EQ(animation->state(), QAbstractAnimation::Running);
    EXPECT_EQ(animation->duration(), 180);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 0.0);
    advanceFade(window, 90);  // ease-out: well past half way at half the time
    EXPECT_GT(window.windowOpacity(), 0.6);
    EXPECT_LT(window.windowOpacity(), 1.0);
    advanceFade(window, 180);
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
    window.fadeIn();  // already up: starts nothing
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);

    // A fade-in during the fade-out turns back from where it is instead of vanishing.
    window.fadeOut();
    EXPECT_TRUE(window.isFadingOut());
    EXPECT_EQ(fade(window)->duration(), 160);
    advanceFade(window, 80);
    const qreal halfWay = window.windowOpacity();
    EXPECT_TRUE(window.isVisible());
    EXPECT_GT(halfWay, 0.0);
    EXPECT_LT(halfWay, 1.0);
    window.fadeIn();
    EXPECT_FALSE(window.isFadingOut());
    EXPECT_DOUBLE_EQ(fade(window)->startValue().toDouble(), halfWay);
    EXPECT_DOUBLE_EQ(fade(window)->endValue().toDouble(), 1.0);
    advanceFade(window, 180);
    EXPECT_TRUE(window.isVisible());
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);

    window.fadeOut();
    advanceFade(window, 160);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isFadingOut());
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 0.0);
    window.fadeIn();  // the next fade-in starts from transparent again
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 0.0);
    EXPECT_EQ(fade(window)->state(), QAbstractAnimation::Running);
}

TEST_F(FloatingPanelWindowTest, ReduceMotionShowsAndHidesAtOnce) {
    appearance_.setReduceMotionOverride(true);
    FloatingPanelWindow window(appearance_, true);
    window.fadeIn();
    EXPECT_TRUE(window.isVisible());
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
    EXPECT_EQ(fade(window)->state(), QAbstractAnimation::Stopped);

    window.fadeOut();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isFadingOut());

    // Switched on while a fade runs: the fade is dropped.
    appearance_.setReduceMotionOverride(false);
    window.fadeIn();
    advanceFade(window, 60);
    appearance_.setReduceMotionOverride(true);
    window.fadeOut();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fade(window)->state(), QAbstractAnimation::Stopped);
}

}  // namespace
}  // namespace vantorel

#include "platform/qt/FloatingPanelWindow.h"

#include <QAbstractAnimation>
#include <QImage>
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
    QPropertyAnimation* fade() { return static_cast<QPropertyAnimation*>(window_.fadeAnimation()); }
    // Drives the running fade to `ms` without waiting for the clock.
    void advanceFade(int ms) { window_.fadeAnimation()->setCurrentTime(ms); }
    void giveSurface() {
        window_.setView(new HintView);
        window_.fitToView();
        window_.setSurfaceShape(QMarginsF(8, 8, 8, 8), 26);
    }

    Appearance appearance_;
    FloatingPanelWindow window_{appearance_, true};
};

TEST_F(FloatingPanelWindowTest, IsAFramelessNonActivatingToolWindowAboveOthers) {
    EXPECT_EQ(window_.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(window_.windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                                Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(window_.testAttribute(Qt::WA_ShowWithoutActivating) &&
                window_.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window_.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(window_.mask().isEmpty());
    // Reduce transparency makes even a translucent panel paint opaque.
    EXPECT_FALSE(window_.paintsOpaque());
    appearance_.setReduceTransparencyOverride(true);
    EXPECT_TRUE(window_.paintsOpaque());
}

TEST_F(FloatingPanelWindowTest, TakesTheHostedViewsSizeHintAndWithoutTranslucencyItsShape) {
    EXPECT_EQ(window_.fitToView(), window_.size());  // no view yet: unchanged
    auto* view = new HintView;
    window_.setView(view);
    EXPECT_EQ(window_.fitToView(), QSize(320, 210));
    EXPECT_EQ(view->geometry(), QRect(0, 0, 320, 210));
    // A view that cannot say how big it wants to be leaves the window as it is.
    for (const QSize& hint : {QSize(), QSize(0, 40)}) {
        view->hint = hint;
        EXPECT_EQ(window_.fitToView(), QSize(320, 210));
    }
    // A laid-out view: its layout decides. The replaced view is gone.
    QPointer<QWidget> old = view;
    auto* laidOut = new QWidget;
    auto* layout = new QVBoxLayout(laidOut);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(new QWidget);
    layout->itemAt(0)->widget()->setFixedSize(200, 100);
    window_.setView(laidOut);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(window_.fitToView(), QSize(216, 116));

    FloatingPanelWindow opaque(appearance_, false);
    EXPECT_FALSE(opaque.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(opaque.paintsOpaque());
    auto* hinted = new HintView;
    opaque.setView(hinted);
    opaque.setSurfaceShape(QMarginsF(8, 8, 8, 8), 26);
    for (const QSize& size : {QSize(300, 200), QSize(600, 400)}) {
        hinted->hint = size;
        opaque.fitToView();
        const QRegion mask = opaque.mask();
        const int w = size.width(), h = size.height();
        EXPECT_FALSE(mask.contains(QPoint(0, 0)));          // the transparent margin
        EXPECT_FALSE(mask.contains(QPoint(10, 10)));        // outside the rounded corner
        EXPECT_FALSE(mask.contains(QPoint(w - 5, h - 5)));  // the shape follows the size
        EXPECT_TRUE(mask.contains(QPoint(w / 2, 9)));
        EXPECT_TRUE(mask.contains(QPoint(w - 100, h - 100)));
    }
}

TEST_F(FloatingPanelWindowTest, FadesInEasingOutFadesOutToHiddenAndTurnsBackMidFade) {
    window_.fadeOut();  // hidden: nothing to do
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(fade()->state(), QAbstractAnimation::Stopped);
    window_.fadeIn();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(window_.windowOpacity(), 0.0);
    advanceFade(fade()->duration() / 2);  // ease-out: well past half way at half the time
    EXPECT_GT(window_.windowOpacity(), 0.6);
    EXPECT_LT(window_.windowOpacity(), 1.0);
    advanceFade(fade()->duration());
    window_.fadeIn();  // already up: starts nothing
    EXPECT_EQ(fade()->state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(window_.windowOpacity(), 1.0);

    // A fade-in during the fade-out turns back from where it is instead of vanishing.
    window_.fadeOut();
    EXPECT_TRUE(window_.isFadingOut());
    advanceFade(fade()->duration() / 2);
    const qreal halfWay = window_.windowOpacity();
    EXPECT_TRUE(halfWay > 0 && halfWay < 1);
    window_.fadeIn();
    EXPECT_FALSE(window_.isFadingOut());
    EXPECT_EQ(fade()->startValue().toDouble(), halfWay);
    advanceFade(fade()->duration());
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(window_.windowOpacity(), 1.0);

    window_.fadeOut();
    advanceFade(fade()->duration());
    EXPECT_FALSE(window_.isVisible() || window_.isFadingOut());
    // The next fade-in starts from transparent again; reduce motion keeps the fades as they are.
    appearance_.setReduceMotionOverride(true);
    window_.fadeIn();
    EXPECT_EQ(window_.windowOpacity(), 0.0);
    EXPECT_EQ(fade()->state(), QAbstractAnimation::Running);
    EXPECT_EQ(fade()->duration(), 180);
    window_.finishFade();
    window_.fadeOut();
    EXPECT_EQ(fade()->duration(), 160);
    EXPECT_TRUE(window_.isVisible());
    window_.finishFade();
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(FloatingPanelWindowTest, FollowsTheCompositorAtTheNextShowFromHidden) {
    giveSurface();
    bool compositing = false;
    int changes = 0;
    window_.setTranslucencyCheck([&] { return compositing; });
    window_.onSurfaceChange = [&] { ++changes; };
    EXPECT_TRUE(window_.isTranslucent());  // asked only when shown
    const struct {
        bool compositing;
        int changes;
    } steps[] = {{false, 1}, {true, 2}, {true, 2}};
    for (const auto& step : steps) {
        compositing = step.compositing;
        window_.fadeIn();
        compositing = !step.compositing;  // while up, nothing is asked
        window_.fadeIn();
        EXPECT_EQ(window_.isTranslucent(), step.compositing);
        EXPECT_EQ(window_.testAttribute(Qt::WA_TranslucentBackground), step.compositing);
        EXPECT_EQ(window_.mask().isEmpty(), step.compositing);
        EXPECT_EQ(window_.paintsOpaque(), !step.compositing);
        EXPECT_EQ(changes, step.changes);
        window_.hide();
    }
}

TEST_F(FloatingPanelWindowTest, ABackdropShowsBlurredInsideTheSurfaceEvenWithoutTranslucency) {
    giveSurface();
    window_.setTranslucencyCheck([] { return false; });
    // Beneath: black on the left half, white on the right.
    QRect asked;
    window_.setBackdrop([&](const QRect& global) {
        asked = global;
        QImage image(global.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        for (int y = 0; y < image.height(); ++y)
            for (int x = image.width() / 2; x < image.width(); ++x)
                image.setPixel(x, y, 0xffffffff);
        return image;
    });
    window_.move(40, 30);
    window_.fadeIn();
    EXPECT_FALSE(window_.isTranslucent() || window_.paintsOpaque());
    EXPECT_TRUE(window_.blursBehind());
    EXPECT_EQ(asked, QRect(QPoint(40, 30), window_.size()));
    const QImage drawn = window_.grab().toImage();
    const auto grey = [&](int x) { return qGray(drawn.pixel(x, 105)); };
    // Far from the edge the sides keep their colour; across it the step is smooth.
    EXPECT_LT(grey(40), 40);
    EXPECT_GT(grey(280), 215);
    EXPECT_GT(grey(155), 60);
    EXPECT_LT(grey(155), 195);
    appearance_.setReduceTransparencyOverride(true);
    EXPECT_TRUE(window_.paintsOpaque());
}

}  // namespace
}  // namespace vantorel

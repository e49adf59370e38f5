#include "preview/PreviewPanel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimScreens.h"

namespace vantorel {
namespace {

using ::testing::ElementsAre;

// A panel window that does what it is told at once and keeps a record of it.
class FakeSurface final : public PanelSurface {
public:
    Size fittingSize() override {
        calls.push_back("fit");
        return fitting;
    }
    bool isVisible() const override { return visible; }
    bool isFadingOut() const override { return fadingOut; }
    void setContentSize(Size size) override {
        calls.push_back("size");
        contentSize = size;
    }
    void setFrameOrigin(Point origin) override {
        calls.push_back("origin");
        frameOrigin = origin;
    }
    void fadeIn() override {
        calls.push_back("fadeIn");
        visible = true;
        fadingOut = false;
    }
    void fadeOut() override {
        calls.push_back("fadeOut");
        fadingOut = true;
    }
    void setHoverHandler(std::function<void(bool)> handler) override { hover = std::move(handler); }
    // The fade-out's end.
    void finishFade() {
        if (fadingOut) visible = false;
        fadingOut = false;
    }

    Size fitting{300, 200};
    bool visible = false;
    bool fadingOut = false;
    Size contentSize;
    Point frameOrigin{-1, -1};
    std::function<void(bool)> hover;
    std::vector<std::string> calls;
};

WindowInfo windowWithID(std::uint32_t id) {
    WindowInfo window;
    window.id = id;
    return window;
}

const ScreenInfo kLaptop{{0, 0, 1728, 1117}, {0, 70, 1728, 1015}};
const Rect kTile(500, 1040, 64, 56);

class PreviewPanelTest : public ::testing::Test {
protected:
    PreviewPanelTest() {
        screens_.setScreens({kLaptop});
        panel_ = std::make_unique<PreviewPanel>(screens_, logger_, [this](PreviewState& state) {
            builtFor_ = &state;
            auto surface = std::make_unique<FakeSurface>();
            surface_ = surface.get();
            return surface;
        });
    }

    std::vector<std::string> uiLines() const { return logger_.messages("ui"); }

    SimScreens screens_;
    MemoryLogger logger_;
    FakeSurface* surface_ = nullptr;
    PreviewState* builtFor_ = nullptr;
    std::unique_ptr<PreviewPanel> panel_;
};

TEST_F(PreviewPanelTest, BuildsItsViewsOverItsOwnState) {
    ASSERT_NE(surface_, nullptr);
    EXPECT_EQ(builtFor_, &panel_->state());
    EXPECT_FALSE(panel_->isVisible());
}

TEST_F(PreviewPanelTest, ShowFitsPlacesLogsAndFadesInOnlyFromHidden) {
    panel_->state().update("Safari", nullptr, {windowWithID(1), windowWithID(2)});
    panel_->show(DockEdge::bottom, kTile);

    EXPECT_THAT(surface_->calls, ElementsAre("fit", "size", "origin", "fadeIn"));
    EXPECT_EQ(surface_->contentSize, (Size{300, 200}));
    EXPECT_EQ(surface_->frameOrigin, (Point{382, 85}));
    EXPECT_THAT(uiLines(), ElementsAre("Panel show: app=Safari cards=2 edge=bottom origin=382,85 "
                                       "size=300×200 wasVisible=false"));
    EXPECT_TRUE(panel_->isVisible());

    // Hovering the next icon: the same panel is re-filled, resized and moved, without a fade.
    surface_->calls.clear();
    surface_->fitting = {1800, 200};
    panel_->state().update("Notes", nullptr, {windowWithID(9)});
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_THAT(surface_->calls, ElementsAre("fit", "size", "origin"));
    EXPECT_EQ(surface_->frameOrigin, (Point{-80, 85}));
    EXPECT_EQ(uiLines().back(),
              "Panel show: app=Notes cards=1 edge=bottom origin=-80,85 size=1800×200 "
              "wasVisible=true");
}

TEST_F(PreviewPanelTest, HideFadesOutOnceAndNothingWhenHidden) {
    panel_->hide();
    EXPECT_TRUE(surface_->calls.empty());
    EXPECT_TRUE(uiLines().empty());

    panel_->show(DockEdge::left, {2, 500, 58, 60});
    surface_->calls.clear();
    logger_.clear();

    panel_->hide();
    // The second hide finds the fade running: it neither restarts it nor logs.
    panel_->hide();
    EXPECT_THAT(surface_->calls, ElementsAre("fadeOut"));
    EXPECT_THAT(uiLines(), ElementsAre("Panel hide"));

    surface_->finishFade();
    panel_->hide();
    EXPECT_EQ(surface_->calls.size(), 1u);
    EXPECT_EQ(uiLines().size(), 1u);
    EXPECT_FALSE(panel_->isVisible());

    // Shown again after the fade: from hidden, so with a fade-in.
    panel_->show(DockEdge::right, {1668, 500, 58, 60});
    EXPECT_EQ(surface_->calls.back(), "fadeIn");
    EXPECT_EQ(uiLines().back(),
              "Panel show: app= cards=0 edge=right origin=1360,487 size=300×200 "
              "wasVisible=false");
}

TEST_F(PreviewPanelTest, ShowDuringTheFadeOutTurnsItBack) {
    panel_->show(DockEdge::bottom, kTile);
    panel_->hide();
    surface_->calls.clear();

    // Without turning the fade back, the panel would order itself out right after this show.
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_THAT(surface_->calls, ElementsAre("fit", "size", "origin", "fadeIn"));
    EXPECT_FALSE(surface_->fadingOut);
    EXPECT_THAT(uiLines().back(), ::testing::EndsWith("wasVisible=true"));
}

TEST_F(PreviewPanelTest, WithoutScreensTheLastPositionIsKept) {
    panel_->show(DockEdge::bottom, kTile);
    ASSERT_EQ(surface_->frameOrigin, (Point{382, 85}));

    screens_.setScreens({});
    surface_->calls.clear();
    surface_->fitting = {640, 186};
    panel_->show(DockEdge::bottom, {100, 1040, 64, 56});
    EXPECT_THAT(surface_->calls, ElementsAre("fit", "size"));
    EXPECT_EQ(surface_->frameOrigin, (Point{382, 85}));
    EXPECT_EQ(uiLines().back(),
              "Panel show: app= cards=0 edge=bottom origin=382,85 size=640×186 wasVisible=true");

    // A tile frame that is not finite is no placement either.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    screens_.setScreens({kLaptop});
    surface_->calls.clear();
    panel_->show(DockEdge::bottom, {nan, 1040, 64, 56});
    EXPECT_THAT(surface_->calls, ElementsAre("fit", "size"));
}

TEST_F(PreviewPanelTest, UntrustedFittingSizesAreMadeSafeAndNumbersLoggedAsWholePoints) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    surface_->fitting = {nan, -40};
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_EQ(surface_->contentSize, (Size{0, 0}));
    EXPECT_EQ(surface_->frameOrigin, (Point{532, 85}));

    // Not a length at all is nothing; an absurd length is cut to a bound all arithmetic survives.
    surface_->fitting = {inf, 1e300};
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_EQ(surface_->contentSize, (Size{0, 100000}));
    EXPECT_THAT(uiLines().back(), ::testing::HasSubstr("size=0×100000"));

    // Fractions are cut, not rounded: the large grid of seven is 1318.8 points wide.
    surface_->fitting = {1318.8 + 48, 473.6};
    panel_->show(DockEdge::bottom, {900, 1040, 64, 56});
    EXPECT_THAT(uiLines().back(), ::testing::HasSubstr("origin=248,85 "));
    EXPECT_THAT(uiLines().back(), ::testing::HasSubstr(" size=1366×473 "));
}

TEST_F(PreviewPanelTest, HoverReportsReachTheOwnerWhileThePanelLives) {
    std::vector<bool> reports;
    ASSERT_TRUE(surface_->hover);
    surface_->hover(true);  // no owner callback yet: nothing happens
    panel_->onPanelHoverChange = [&](bool inside) { reports.push_back(inside); };
    surface_->hover(true);
    surface_->hover(false);
    EXPECT_THAT(reports, ElementsAre(true, false));
}

TEST(PreviewPanel, WithoutASurfaceLogsTheFailureAndDoesNothing) {
    SimScreens screens;
    screens.setScreens({kLaptop});
    MemoryLogger logger;
    PreviewPanel panel(screens, logger, [](PreviewState&) { return nullptr; });
    panel.show(DockEdge::bottom, kTile);
    panel.hide();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_THAT(logger.messages("ui"), ElementsAre("Panel surface could not be created"));

    PreviewPanel noFactory(screens, logger, nullptr);
    noFactory.show(DockEdge::bottom, kTile);
    EXPECT_EQ(logger.lines().size(), 2u);
}

}  // namespace
}  // namespace vantorel

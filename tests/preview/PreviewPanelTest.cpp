#include "preview/PreviewPanel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimScreens.h"
#include "preview/PreviewRig.h"

namespace vantorel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A panel window that does what it is told at once and keeps a record of it.
struct FakeSurface final : PanelSurface {
    template <class T>
    void record(const char* call, T& field, T value) {
        calls.push_back(call);
        field = value;
    }
    Size fittingSize() override { return calls.push_back("fit"), fitting; }
    bool isVisible() const override { return visible; }
    bool isFadingOut() const override { return fadingOut; }
    void setContentSize(Size size) override { record("size", contentSize, size); }
    void setFrameOrigin(Point origin) override { record("origin", frameOrigin, origin); }
    void fadeIn() override {
        record("fadeIn", visible, true);
        fadingOut = false;
    }
    void fadeOut() override { record("fadeOut", fadingOut, true); }
    void orderFront() override { visible = true; }
    void orderOut() override { visible = false; }
    void setHoverHandler(std::function<void(bool)> handler) override { hover = std::move(handler); }

    Size fitting{300, 200}, contentSize;
    bool visible = false, fadingOut = false;
    Point frameOrigin{-1, -1};
    std::function<void(bool)> hover;
    std::vector<std::string> calls;
};

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
    // What the surface was told since the last look.
    std::vector<std::string> calls() { return std::exchange(surface_->calls, {}); }
    std::string lastLine() const {
        const auto lines = logger_.messages("ui");
        return lines.empty() ? "" : lines.back();
    }

    SimScreens screens_;
    MemoryLogger logger_;
    FakeSurface* surface_ = nullptr;
    PreviewState* builtFor_ = nullptr;
    std::unique_ptr<PreviewPanel> panel_;
};

TEST_F(PreviewPanelTest, ShowFitsPlacesAndFadesInOnlyFromHiddenAndHideFadesOutOnce) {
    EXPECT_EQ(builtFor_, &panel_->state());
    EXPECT_FALSE(panel_->isVisible());
    surface_->hover(true);  // nobody listens yet: nothing happens
    panel_->hide();
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(logger_.lines().empty());

    panel_->state().update("Safari", nullptr, {window(1), window(2)});
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_THAT(calls(), ElementsAre("fit", "size", "origin", "fadeIn"));
    EXPECT_EQ(surface_->contentSize, (Size{300, 200}));
    EXPECT_EQ(lastLine(),
              "Panel show: app=Safari cards=2 edge=bottom origin=382,85 size=300×200 "
              "wasVisible=false");
    EXPECT_TRUE(panel_->isVisible());
    EXPECT_TRUE(panel_->state().isShown());

    // The next icon: the same panel is re-filled, resized and moved, without a fade.
    panel_->state().update("Notes", nullptr, {window(9)});
    panel_->show(DockEdge::right, {1668, 500, 58, 60});
    EXPECT_THAT(calls(), ElementsAre("fit", "size", "origin"));
    EXPECT_THAT(lastLine(),
                HasSubstr("cards=1 edge=right origin=1360,487 size=300×200 wasVisible=true"));

    // The second hide finds the fade running: it neither restarts it nor logs.
    logger_.clear();
    panel_->hide();
    panel_->hide();
    EXPECT_THAT(calls(), ElementsAre("fadeOut"));
    EXPECT_THAT(logger_.messages("ui"), ElementsAre("Panel hide"));
    // Cards stop acting as the fade-out starts, not when it ends.
    EXPECT_FALSE(panel_->state().isShown());
    // Shown during the fade-out: without turning it back the panel would order itself out.
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_THAT(calls(), ElementsAre("fit", "size", "origin", "fadeIn"));
    EXPECT_FALSE(surface_->fadingOut);
    EXPECT_TRUE(panel_->state().isShown());

    panel_->hide();
    surface_->visible = surface_->fadingOut = false;  // the fade-out's end
    panel_->hide();
    EXPECT_THAT(calls(), ElementsAre("fadeOut"));
    EXPECT_FALSE(panel_->isVisible());
}

TEST_F(PreviewPanelTest, UntrustedSizesAreMadeSafeAndWithoutAPlaceTheLastOneIsKept) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    surface_->fitting = {nan, -40};
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_EQ(surface_->contentSize, (Size{0, 0}));
    EXPECT_EQ(surface_->frameOrigin, (Point{532, 85}));
    // An absurd length is cut to a bound all arithmetic survives.
    surface_->fitting = {std::numeric_limits<double>::infinity(), 1e300};
    panel_->show(DockEdge::bottom, kTile);
    EXPECT_EQ(surface_->contentSize, (Size{0, 100000}));
    // Logged in whole points, cut rather than rounded.
    surface_->fitting = {1366.8, 473.6};
    panel_->show(DockEdge::bottom, {900, 1040, 64, 56});
    EXPECT_THAT(lastLine(), HasSubstr("origin=248,85 size=1366×473 "));

    calls();
    screens_.setScreens({});
    panel_->show(DockEdge::bottom, {100, 1040, 64, 56});
    screens_.setScreens({kLaptop});
    panel_->show(DockEdge::bottom, {nan, 1040, 64, 56});
    EXPECT_THAT(calls(), ElementsAre("fit", "size", "fit", "size"));
    EXPECT_THAT(lastLine(), HasSubstr("origin=248,85 "));
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

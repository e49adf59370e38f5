#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimScreens.h"
#include "preview/CardCollectionView.h"
#include "preview/HoverControlButton.h"
#include "preview/LargeLayoutView.h"
#include "preview/PreviewPanel.h"
#include "preview/PreviewPanelSurface.h"
#include "preview/PreviewPanelView.h"
#include "preview/WindowCardView.h"
#include "preview/WindowRowView.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

using ::testing::ElementsAre;

WindowInfo window(std::uint32_t id, std::string title, bool minimized = false) {
    WindowInfo info;
    info.id = id;
    info.cgWindowID = minimized ? 0 : id;
    info.title = std::move(title);
    info.isMinimized = minimized;
    info.ownerPID = 501;
    return info;
}

ImageRef solidImage(int width, int height, std::uint32_t argb) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), argb);
    return image;
}

void enter(QWidget* widget) {
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QEnterEvent event(inside, widget->mapToGlobal(inside), widget->mapToGlobal(inside));
    QApplication::sendEvent(widget, &event);
}

void leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget* widget, QPointF at) {
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void clickCentre(QWidget* widget) {
    click(widget, QPointF(widget->width() / 2.0, widget->height() / 2.0));
}

QString accessibleText(QWidget* widget, QAccessible::Text text) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(text) : QStringLiteral("<none>");
}

class PreviewViewsTest : public ::testing::Test {
protected:
    PreviewViewsTest() : appearance_(nullptr), symbols_(SymbolTable::defaultFontFile()) {
        appearance_.setReduceMotionOverride(false);
        appearance_.setReduceTransparencyOverride(false);
        state_.onActivate = [this](const WindowInfo& w) { activated_.push_back(w.id); };
        state_.onClose = [this](const WindowInfo& w) { closed_.push_back(w.id); };
        state_.onMinimizeToggle = [this](const WindowInfo& w) { toggled_.push_back(w.id); };
    }

    // A panel view as the window shows it: sized to its own hint, on screen.
    PreviewPanelView& showView() {
        view_ = std::make_unique<PreviewPanelView>(state_, appearance_, symbols_);
        view_->setAttribute(Qt::WA_DontShowOnScreen);
        view_->resize(view_->sizeHint());
        view_->show();
        return *view_;
    }

    WindowCardView* card(int index) const {
        return qobject_cast<WindowCardView*>(view_->collection()->viewAt(index));
    }

    Appearance appearance_;
    SymbolTable symbols_;
    PreviewState state_;
    std::unique_ptr<PreviewPanelView> view_;
    std::vector<std::uint32_t> activated_;
    std::vector<std::uint32_t> closed_;
    std::vector<std::uint32_t> toggled_;
};

TEST_F(PreviewViewsTest, PointerEnteringAndLeavingThePanelIsReportedOnceEachWay) {
    // The whole chain: the real window's view reports to the controller's owner.
    SimScreens screens;
    screens.setScreens({{{0, 0, 1728, 1117}, {0, 70, 1728, 1015}}});
    MemoryLogger logger;
    QtPanelSurface* surface = nullptr;
    PreviewPanel panel(screens, logger, [&](PreviewState& state) {
        auto made = makePreviewPanelSurface(state, appearance_, symbols_);
        surface = static_cast<QtPanelSurface*>(made.get());
        return made;
    });
    std::vector<bool> reports;
    panel.onPanelHoverChange = [&](bool inside) { reports.push_back(inside); };
    ASSERT_NE(surface, nullptr);
    QWidget* view = surface->window().view();
    ASSERT_NE(qobject_cast<PreviewPanelView*>(view), nullptr);

    enter(view);
    enter(view);
    leave(view);
    leave(view);
    EXPECT_THAT(reports, ElementsAre(true, false));
}

TEST_F(PreviewViewsTest, TheRealPanelTakesTheViewsSizeAndItsPlaceBesideTheTile) {
    SimScreens screens;
    const QRect primary = QApplication::primaryScreen()->geometry();
    screens.setScreens(
        {{{0, 0, static_cast<double>(primary.width()), static_cast<double>(primary.height())},
          {0, 0, static_cast<double>(primary.width()),
           static_cast<double>(primary.height()) - 25}}});
    MemoryLogger logger;
    QtPanelSurface* surface = nullptr;
    PreviewPanel panel(screens, logger, [&](PreviewState& state) {
        auto made = makePreviewPanelSurface(state, appearance_, symbols_);
        surface = static_cast<QtPanelSurface*>(made.get());
        return made;
    });
    appearance_.setReduceMotionOverride(true);  // no fade to wait for
    panel.state().update("Safari", nullptr, {window(1, "One")});
    const double tileX = primary.width() / 2.0 - 32;
    panel.show(DockEdge::bottom, {tileX, primary.height() - 60.0, 64, 56});

    auto* view = static_cast<PreviewPanelView*>(surface->window().view());
    const QSize hint = view->sizeHint();
    EXPECT_EQ(surface->window().size(), hint);
    EXPECT_TRUE(surface->window().isVisible());
    // Centred above the tile: the window's bottom edge 8 above the tile's top, in Qt's terms.
    const QRect frame = surface->window().geometry();
    EXPECT_NEAR(frame.center().x(), primary.x() + primary.width() / 2.0, 1.0);
    EXPECT_EQ(frame.bottom() + 1, primary.y() + primary.height() - 60 - 8);

    // Another application's three windows: the same window grows, without a fade.
    panel.state().update("Notes", nullptr, {window(2, "a"), window(3, "b"), window(4, "c")});
    panel.show(DockEdge::bottom, {tileX, primary.height() - 60.0, 64, 56});
    EXPECT_EQ(surface->window().size(), view->sizeHint());
    EXPECT_GT(view->sizeHint().width(), hint.width());
    EXPECT_THAT(logger.messages("ui").back(), ::testing::EndsWith("wasVisible=true"));

    panel.hide();
    EXPECT_FALSE(surface->window().isVisible());
}

TEST_F(PreviewViewsTest, WindowSystemOriginsBecomeQtTopLeftPositions) {
    const QRect laptop(0, 0, 1728, 1117);
    EXPECT_EQ(QtPanelSurface::toQtPosition({382, 85}, {300, 200}, laptop), QPoint(382, 832));
    EXPECT_EQ(QtPanelSurface::toQtPosition({-80, 85}, {1800, 200}, laptop), QPoint(-80, 832));
    // A primary screen that does not start at Qt's origin.
    EXPECT_EQ(QtPanelSurface::toQtPosition({10, 0}, {100, 50}, QRect(1920, 40, 1440, 900)),
              QPoint(1930, 890));
}

TEST_F(PreviewViewsTest, ClickingACardActivatesThatCardsWindow) {
    state_.update("Safari", nullptr, {window(11, "Apple"), window(12, "News"), window(13, "")});
    showView();
    ASSERT_NE(card(1), nullptr);
    clickCentre(card(1));
    clickCentre(card(2));
    EXPECT_THAT(activated_, ElementsAre(12u, 13u));

    // A press that ends outside the card is no click.
    const QPointF global = card(0)->mapToGlobal(QPointF(20, 20));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20), global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(card(0), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-50, -50), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(card(0), &release);
    EXPECT_EQ(activated_.size(), 2u);

    // The list's rows do the same.
    state_.setLayout(PreviewLayout::list);
    auto* row = qobject_cast<WindowRowView*>(view_->collection()->viewAt(0));
    ASSERT_NE(row, nullptr);
    clickCentre(row);
    EXPECT_EQ(activated_.back(), 11u);
}

TEST_F(PreviewViewsTest, ControlsAppearOnlyWhileHoveringAndCallTheirCallbacks) {
    state_.update("Safari", nullptr, {window(21, "Apple"), window(22, "News", true)});
    for (PreviewLayout layout : {PreviewLayout::automatic, PreviewLayout::list}) {
        state_.setLayout(layout);
        showView();
        WindowItemView* item = view_->collection()->viewAt(0);
        ASSERT_NE(item, nullptr);
        HoverControlButton* close = item->closeControl();
        HoverControlButton* minimize = item->minimizeControl();
        EXPECT_TRUE(close->isHidden());
        EXPECT_TRUE(minimize->isHidden());

        enter(item);
        EXPECT_TRUE(item->isHovering());
        EXPECT_FALSE(close->isHidden());
        EXPECT_FALSE(minimize->isHidden());
        EXPECT_EQ(close->symbol(), "xmark");
        EXPECT_EQ(minimize->symbol(), "minus");
        // The controls lie over the view, where the pointer can reach them.
        EXPECT_TRUE(item->rect().contains(close->geometry()));
        EXPECT_TRUE(item->rect().contains(minimize->geometry()));

        clickCentre(close);
        clickCentre(minimize);
        EXPECT_EQ(closed_.back(), 21u);
        EXPECT_EQ(toggled_.back(), 21u);
        // A control's click is not also the card's.
        EXPECT_TRUE(activated_.empty());

        leave(item);
        EXPECT_TRUE(close->isHidden());
        EXPECT_TRUE(minimize->isHidden());
    }
    EXPECT_EQ(closed_.size(), 2u);
}

TEST_F(PreviewViewsTest, AccessibilityNamesTheWindowsAndOffersTheirActions) {
    state_.update("Safari", nullptr, {window(31, "Apple")});
    showView();
    EXPECT_EQ(accessibleText(view_.get(), QAccessible::Name), "Safari window previews, 1 window");
    state_.update("Safari", nullptr, {window(31, "Apple"), window(32, "Mail", true)});
    EXPECT_EQ(accessibleText(view_.get(), QAccessible::Name), "Safari window previews, 2 windows");
    state_.update("Safari", nullptr, {});
    EXPECT_EQ(accessibleText(view_.get(), QAccessible::Name), "Safari window previews, 0 windows");

    state_.update("Safari", nullptr, {window(31, "Apple"), window(32, "", true)});
    WindowCardView* open = card(0);
    WindowCardView* minimized = card(1);
    ASSERT_TRUE(open && minimized);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(open);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), "Apple");
    EXPECT_EQ(iface->text(QAccessible::Description), "Activates this window");
    // One element: the controls are its actions, not its children.
    EXPECT_EQ(iface->childCount(), 0);
    ASSERT_NE(iface->actionInterface(), nullptr);
    EXPECT_THAT(
        iface->actionInterface()->actionNames(),
        ElementsAre(QAccessibleActionInterface::pressAction(), "Close window", "Minimize window"));

    // An untitled window's card is named after the application; a minimised one restores.
    QAccessibleInterface* other = QAccessible::queryAccessibleInterface(minimized);
    EXPECT_EQ(other->text(QAccessible::Name), "Safari");
    EXPECT_THAT(
        other->actionInterface()->actionNames(),
        ElementsAre(QAccessibleActionInterface::pressAction(), "Close window", "Restore window"));
    EXPECT_EQ(minimized->minimizeControl()->symbol(), "arrow.up.left.and.arrow.down.right");
    EXPECT_EQ(accessibleText(minimized->minimizeControl(), QAccessible::Name), "Restore window");
    EXPECT_EQ(accessibleText(open->closeControl(), QAccessible::Name), "Close window");
    EXPECT_EQ(accessibleText(open->minimizeControl(), QAccessible::Name), "Minimize window");

    // The actions do what the controls do.
    other->actionInterface()->doAction("Restore window");
    other->actionInterface()->doAction("Close window");
    other->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    other->actionInterface()->doAction("Minimize window");  // not offered: ignored
    EXPECT_THAT(toggled_, ElementsAre(32u));
    EXPECT_THAT(closed_, ElementsAre(32u));
    EXPECT_THAT(activated_, ElementsAre(32u));
}

TEST_F(PreviewViewsTest, HoverEnlargesTheCardUnlessReduceMotionIsOn) {
    state_.update("Safari", nullptr, {window(41, "Apple")});
    showView();
    enter(card(0));
    view_->finishAnimations();
    EXPECT_NEAR(card(0)->scale(), 1.03, 1e-6);
    leave(card(0));
    view_->finishAnimations();
    EXPECT_NEAR(card(0)->scale(), 1.0, 1e-6);

    appearance_.setReduceMotionOverride(true);
    enter(card(0));
    view_->finishAnimations();
    EXPECT_NEAR(card(0)->scale(), 1.0, 1e-6);
    EXPECT_FALSE(card(0)->closeControl()->isHidden());
}

TEST_F(PreviewViewsTest, ClosingFromTheCardsOwnControlRemovesItSafely) {
    // The owner removes the card at once, while the control's click is still being handled.
    state_.onClose = [this](const WindowInfo& w) { state_.removeCard(w.id); };
    state_.update("Safari", nullptr, {window(51, "a"), window(52, "b"), window(53, "c")});
    showView();
    const QSize before = view_->sizeHint();
    WindowCardView* middle = card(1);
    enter(middle);
    clickCentre(middle->closeControl());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_EQ(state_.cards().size(), 2u);
    EXPECT_LT(view_->sizeHint().width(), before.width());
    ASSERT_NE(card(1), nullptr);
    EXPECT_EQ(card(1)->card().id, 53u);
    EXPECT_EQ(view_->collection()->viewAt(2), nullptr);
    // The card now in the second place is another window: it starts without hover.
    EXPECT_FALSE(card(1)->isHovering());
}

TEST_F(PreviewViewsTest, TheGridBuildsOnlyTheCardsInSight) {
    std::vector<WindowInfo> windows;
    for (std::uint32_t i = 0; i < 40; ++i)
        windows.push_back(window(100 + i, "Window " + std::to_string(i)));
    state_.setLayout(PreviewLayout::grid);
    state_.update("Terminal", nullptr, windows);
    showView();
    CardCollectionView* grid = view_->collection();
    EXPECT_EQ(grid->builtViewCount(), 12);
    EXPECT_NE(grid->viewAt(11), nullptr);
    EXPECT_EQ(grid->viewAt(12), nullptr);

    grid->scrollTo({0, 1e9});
    EXPECT_NE(grid->viewAt(39), nullptr);
    EXPECT_EQ(grid->viewAt(0), nullptr);
    EXPECT_LE(grid->builtViewCount(), 16);
    clickCentre(grid->viewAt(39));
    EXPECT_THAT(activated_, ElementsAre(139u));
    // Its views sit inside the visible frame.
    EXPECT_GE(grid->viewAt(39)->geometry().bottom(), 0);
    EXPECT_LE(grid->viewAt(39)->geometry().top(), grid->height());
}

TEST_F(PreviewViewsTest, TheLargeLayoutShowsTheSelectionAndAStripFromTwoCards) {
    state_.setLayout(PreviewLayout::large);
    state_.update("Preview", nullptr, {window(61, "One")});
    showView();
    LargeLayoutView* large = view_->largeLayout();
    ASSERT_FALSE(large->isHidden());
    ASSERT_NE(large->hero(), nullptr);
    EXPECT_EQ(large->hero()->card().id, 61u);
    EXPECT_FALSE(large->showsStrip());

    state_.update("Preview", nullptr, {window(61, "One"), window(62, "Two"), window(63, "Three")});
    EXPECT_TRUE(large->showsStrip());
    ASSERT_EQ(large->stripButtonCount(), 3);
    EXPECT_EQ(accessibleText(large->stripButton(2), QAccessible::Name), "Three");
    large->stripButton(2)->click();
    EXPECT_EQ(large->selectedID(), 63u);
    EXPECT_EQ(large->hero()->card().id, 63u);
    EXPECT_TRUE(large->stripButton(2)->isChecked());
    EXPECT_FALSE(large->stripButton(0)->isChecked());
    // Choosing is not activating.
    EXPECT_TRUE(activated_.empty());
    clickCentre(large->hero());
    EXPECT_THAT(activated_, ElementsAre(63u));

    // The selection survives a refill that still has its window, and falls back to the first
    // card when its window goes.
    state_.update("Preview", nullptr, {window(63, "Three"), window(61, "One")});
    EXPECT_EQ(large->selectedID(), 63u);
    state_.removeCard(63);
    EXPECT_EQ(large->selectedID(), 61u);
    EXPECT_EQ(large->hero()->card().id, 61u);
    EXPECT_FALSE(large->showsStrip());

    state_.update("Preview", nullptr, {});
    EXPECT_EQ(large->hero(), nullptr);
    EXPECT_FALSE(large->selectedID());
}

TEST_F(PreviewViewsTest, ThumbnailsReplaceTheProgressIndicatorInTheirCard) {
    state_.update("Safari", nullptr, {window(71, "a"), window(72, "b")});
    showView();
    const auto centreColour = [](QWidget* widget) {
        return widget->grab().toImage().pixelColor(widget->width() / 2, widget->height() / 2 - 8);
    };
    const QColor before = centreColour(card(1));
    state_.setThumbnail(solidImage(400, 250, 0xffff0000u), 72);
    const QColor after = centreColour(card(1));
    EXPECT_NE(before, after);
    EXPECT_GT(after.red(), 200);
    EXPECT_LT(after.green(), 40);
    // Only that card.
    const QColor untouched = centreColour(card(0));
    EXPECT_LT(untouched.red() - untouched.green(), 40);

    // The large layout's strip and hero get it too.
    state_.setLayout(PreviewLayout::large);
    QAbstractButton* strip = view_->largeLayout()->stripButton(1);
    ASSERT_NE(strip, nullptr);
    EXPECT_GT(centreColour(strip).red(), 200);
}

}  // namespace
}  // namespace vantorel

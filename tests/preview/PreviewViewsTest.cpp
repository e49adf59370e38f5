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
#include <QMouseEvent>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/QtPanelSurface.h"
#include "platform/qt/SymbolTable.h"
#include "preview/PreviewRig.h"

namespace vantorel {
namespace {

using ::testing::ElementsAre;

void hover(QWidget* widget, bool inside) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QEnterEvent enter(at, widget->mapToGlobal(at), widget->mapToGlobal(at));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, inside ? static_cast<QEvent*>(&enter) : &leave);
}

// A press in the middle, released there or at `to`.
void click(QWidget* widget, QPointF to = {-1, -1}) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    const QPointF end = to == QPointF(-1, -1) ? at : to;
    QMouseEvent release(QEvent::MouseButtonRelease, end, widget->mapToGlobal(end), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QString accessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Every object an assistive tool can reach by walking down from `root`.
void reachable(QAccessibleInterface* root, std::vector<QObject*>& out) {
    out.push_back(root->object());
    for (int i = 0; i < root->childCount(); ++i)
        reachable(root->child(i), out);
}

class PreviewViewsTest : public ::testing::Test {
protected:
    PreviewViewsTest() : appearance_(nullptr), symbols_(SymbolTable::defaultFontFile()) {
        appearance_.setReduceMotionOverride(false);
        appearance_.setReduceTransparencyOverride(false);
        const auto record = [this](const char* what) {
            return [this, what](const WindowInfo& w) {
                events_.push_back(what + std::to_string(w.id));
            };
        };
        state_.onActivate = record("activate ");
        state_.onClose = record("close ");
        state_.onMinimizeToggle = record("toggle ");
    }

    // A panel view as the window shows it: sized to its own hint, on screen.
    void showView(std::vector<WindowInfo> windows,
                  PreviewLayout layout = PreviewLayout::automatic) {
        state_.setLayout(layout);
        state_.update("Safari", nullptr, windows);
        state_.setShown(true);
        view_ = std::make_unique<PreviewPanelView>(state_, appearance_, symbols_);
        view_->setAttribute(Qt::WA_DontShowOnScreen);
        view_->resize(view_->sizeHint());
        view_->show();
    }
    WindowItemView* item(int index) const { return view_->collection()->viewAt(index); }
    WindowCardView* card(int index) const { return qobject_cast<WindowCardView*>(item(index)); }

    Appearance appearance_;
    SymbolTable symbols_;
    PreviewState state_;
    std::unique_ptr<PreviewPanelView> view_;
    std::vector<std::string> events_;
};

TEST_F(PreviewViewsTest, TheRealPanelReportsHoverTakesTheViewsSizeAndSitsBesideTheTile) {
    SimScreens screens;
    const QRect primary = QApplication::primaryScreen()->geometry();
    const double width = primary.width(), height = primary.height();
    screens.setScreens({{{0, 0, width, height}, {0, 0, width, height - 25}}});
    MemoryLogger logger;
    QtPanelSurface* surface = nullptr;
    PreviewPanel panel(screens, logger, [&](PreviewState& state) {
        auto made = makePreviewPanelSurface(state, appearance_, symbols_);
        surface = static_cast<QtPanelSurface*>(made.get());
        return made;
    });
    auto* view = qobject_cast<PreviewPanelView*>(surface->window().view());
    ASSERT_NE(view, nullptr);
    std::vector<bool> reports;
    panel.onPanelHoverChange = [&](bool inside) { reports.push_back(inside); };
    for (bool inside : {true, true, false, false})
        hover(view, inside);
    EXPECT_THAT(reports, ElementsAre(true, false));

    const Rect tile(width / 2 - 32, height - 60, 64, 56);
    panel.state().update("Safari", nullptr, {window(1, "One")});
    panel.show(DockEdge::bottom, tile);
    // Named after what it shows.
    QWidget* panelWindow = &surface->window();
    EXPECT_EQ(accessibleName(panelWindow), "Safari window previews, 1 window");
    const QSize hint = view->sizeHint();
    EXPECT_EQ(surface->window().size(), hint);
    EXPECT_TRUE(surface->window().isVisible());
    // Centred above the tile: the window's bottom edge 8 above the tile's top, in Qt's terms.
    const QRect frame = surface->window().geometry();
    EXPECT_NEAR(frame.center().x(), primary.x() + width / 2, 1.0);
    EXPECT_EQ(frame.bottom() + 1, primary.y() + primary.height() - 60 - 8);
    // A primary screen that does not start at Qt's origin.
    EXPECT_EQ(QtPanelSurface::toQtPosition({10, 0}, {100, 50}, QRect(1920, 40, 1440, 900)),
              QPoint(1930, 890));

    // Another application's three windows, in the same window.
    panel.state().update("Notes", nullptr, {window(2, "a"), window(3, "b"), window(4, "c")});
    panel.show(DockEdge::bottom, tile);
    EXPECT_EQ(accessibleName(panelWindow), "Notes window previews, 3 windows");
    // The active window's card is the selected one.
    panel.state().setActive(3, true);
    EXPECT_TRUE(
        QAccessible::queryAccessibleInterface(view->collection()->viewAt(1))->state().selected);
    EXPECT_FALSE(
        QAccessible::queryAccessibleInterface(view->collection()->viewAt(0))->state().selected);
    panel.hide();
    surface->window().finishFade();
    EXPECT_FALSE(surface->window().isVisible());
}

TEST_F(PreviewViewsTest, ClicksActivateAndHoverControlsCloseOrMinimizeInCardsAndRows) {
    for (PreviewLayout layout : {PreviewLayout::automatic, PreviewLayout::list}) {
        showView({window(21, "Apple"), window(22, "News"), window(23)}, layout);
        WindowItemView* first = item(0);
        EXPECT_EQ(qobject_cast<WindowRowView*>(first) != nullptr, layout == PreviewLayout::list);
        HoverControlButton* close = first->closeControl();
        HoverControlButton* minimize = first->minimizeControl();
        EXPECT_TRUE(close->isHidden() && minimize->isHidden());
        hover(first, true);
        view_->finishAnimations();
        EXPECT_TRUE(first->isHovering());
        EXPECT_FALSE(close->isHidden() || minimize->isHidden());
        EXPECT_EQ(close->symbol() + minimize->symbol(), "xmarkminus");
        // Over the view, where the pointer can reach them.
        EXPECT_TRUE(first->rect().contains(close->geometry()));
        EXPECT_TRUE(first->rect().contains(minimize->geometry()));
        click(close);
        click(minimize);  // a control's click is not also the card's
        // A card grows while hovered, unless reduce motion is on; a row never does.
        if (auto* grown = qobject_cast<WindowCardView*>(first)) {
            EXPECT_NEAR(grown->scale(), 1.03, 1e-6);
            hover(grown, false);
            view_->finishAnimations();
            EXPECT_NEAR(grown->scale(), 1.0, 1e-6);
            appearance_.setReduceMotionOverride(true);
            hover(grown, true);
            view_->finishAnimations();
            EXPECT_NEAR(grown->scale(), 1.0, 1e-6);
            appearance_.setReduceMotionOverride(false);
        }
        hover(first, false);
        view_->finishAnimations();
        EXPECT_TRUE(close->isHidden() && minimize->isHidden());
        click(item(2));
        click(item(1), QPointF(-50, -50));  // ends outside: no click
        EXPECT_THAT(std::exchange(events_, {}),
                    ElementsAre("close 21", "toggle 21", "activate 23"));
    }
}

TEST_F(PreviewViewsTest, AccessibilityNamesTheWindowsAndOffersTheirActions) {
    showView({window(31, "Apple")});
    EXPECT_EQ(accessibleName(view_.get()), "Safari window previews, 1 window");
    state_.update("Safari", nullptr, {});
    EXPECT_EQ(accessibleName(view_.get()), "Safari window previews, 0 windows");
    state_.update("Safari", nullptr, {window(31, "Apple"), window(32, "", true)});
    EXPECT_EQ(accessibleName(view_.get()), "Safari window previews, 2 windows");

    QAccessibleInterface* open = QAccessible::queryAccessibleInterface(card(0));
    QAccessibleInterface* minimized = QAccessible::queryAccessibleInterface(card(1));
    EXPECT_EQ(open->role(), QAccessible::Button);
    EXPECT_EQ(open->text(QAccessible::Description), "Activates this window");
    // The controls are its actions and its children.
    ASSERT_EQ(open->childCount(), 2);
    EXPECT_EQ(open->child(1)->object(), card(0)->minimizeControl());
    const QString press = QAccessibleActionInterface::pressAction();
    EXPECT_THAT(open->actionInterface()->actionNames(),
                ElementsAre(press, "Close window", "Minimize window"));
    EXPECT_EQ(accessibleName(card(0)->closeControl()), "Close window");
    EXPECT_EQ(accessibleName(card(0)->minimizeControl()), "Minimize window");
    // An untitled window's card is named after the application; a minimised one restores.
    EXPECT_EQ(open->text(QAccessible::Name) + minimized->text(QAccessible::Name), "AppleSafari");
    EXPECT_THAT(minimized->actionInterface()->actionNames(),
                ElementsAre(press, "Close window", "Restore window"));
    EXPECT_EQ(card(1)->minimizeControl()->symbol(), "arrow.up.left.and.arrow.down.right");
    EXPECT_EQ(accessibleName(card(1)->minimizeControl()), "Restore window");

    // The actions do what the controls do; one not offered is ignored.
    for (const QString& action : {QStringLiteral("Restore window"), QStringLiteral("Close window"),
                                  press, QStringLiteral("Minimize window")})
        minimized->actionInterface()->doAction(action);
    EXPECT_THAT(events_, ElementsAre("toggle 32", "close 32", "activate 32"));
}

TEST_F(PreviewViewsTest, StaleCardsLeaveTheTreeAndRefuseEveryActionAndClick) {
    const struct Case {
        const char* name;
        std::function<void()> makeStale;
        // Cards an assistive tool still reaches afterwards.
        std::size_t liveCards;
    } cases[] = {
        {"the panel hides", [this] { state_.setShown(false); }, 0},
        {"its window hides", [this] { view_->hide(); }, 0},
        {"its window closes", [this] { state_.removeCard(81); }, 1},
        {"the large layout replaces it", [this] { state_.setLayout(PreviewLayout::large); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events_.clear();
        showView({window(81, "a"), window(82, "b")});
        WindowItemView* stale = item(0);
        QAccessibleInterface* staleInterface = QAccessible::queryAccessibleInterface(stale);
        const QStringList actions = staleInterface->actionInterface()->actionNames();
        ASSERT_EQ(actions.size(), 3);
        c.makeStale();

        std::vector<QObject*> objects;
        reachable(QAccessible::queryAccessibleInterface(view_.get()), objects);
        EXPECT_EQ(std::count(objects.begin(), objects.end(), stale), 0);
        EXPECT_EQ(std::count_if(objects.begin(), objects.end(),
                                [](QObject* o) { return qobject_cast<WindowItemView*>(o); }),
                  c.liveCards);
        EXPECT_TRUE(staleInterface->state().invisible);
        EXPECT_TRUE(staleInterface->actionInterface()->actionNames().isEmpty());
        for (const QString& action : actions)
            staleInterface->actionInterface()->doAction(action);
        click(stale);
        click(stale->closeControl());
        EXPECT_THAT(events_, ::testing::IsEmpty());
        view_.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(PreviewViewsTest, ClosingFromTheCardsOwnControlRemovesItSafely) {
    // The owner removes the card at once, while the control's click is still being handled.
    state_.onClose = [this](const WindowInfo& w) { state_.removeCard(w.id); };
    showView({window(51, "a"), window(52, "b"), window(53, "c")});
    const QSize before = view_->sizeHint();
    hover(card(1), true);
    click(card(1)->closeControl());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(state_.cards().size(), 2u);
    EXPECT_LT(view_->sizeHint().width(), before.width());
    EXPECT_EQ(card(1)->card().id, 53u);
    EXPECT_EQ(item(2), nullptr);
    // The card now in the second place is another window: it starts without hover.
    EXPECT_FALSE(card(1)->isHovering());
}

TEST_F(PreviewViewsTest, TheGridBuildsOnlyTheCardsInSight) {
    std::vector<WindowInfo> windows;
    for (std::uint32_t i = 0; i < 40; ++i)
        windows.push_back(window(100 + i, "Window " + std::to_string(i)));
    showView(windows, PreviewLayout::grid);
    CardCollectionView* grid = view_->collection();
    EXPECT_EQ(grid->builtViewCount(), 12);
    EXPECT_NE(grid->viewAt(11), nullptr);
    EXPECT_EQ(grid->viewAt(12), nullptr);
    grid->scrollTo({0, 1e9});
    EXPECT_EQ(grid->viewAt(0), nullptr);
    EXPECT_LE(grid->builtViewCount(), 16);
    // The last card sits inside the visible frame, where a click reaches it.
    ASSERT_NE(grid->viewAt(39), nullptr);
    EXPECT_GE(grid->viewAt(39)->geometry().bottom(), 0);
    EXPECT_LE(grid->viewAt(39)->geometry().top(), grid->height());
    click(grid->viewAt(39));
    EXPECT_THAT(events_, ElementsAre("activate 139"));
}

TEST_F(PreviewViewsTest, TheLargeLayoutShowsTheSelectionAndAStripFromTwoCards) {
    showView({window(61, "One")}, PreviewLayout::large);
    LargeLayoutView* large = view_->largeLayout();
    ASSERT_FALSE(large->isHidden());
    EXPECT_EQ(large->hero()->card().id, 61u);
    EXPECT_FALSE(large->showsStrip());

    state_.update("Preview", nullptr, {window(61, "One"), window(62, "Two"), window(63, "Three")});
    EXPECT_TRUE(large->showsStrip());
    ASSERT_EQ(large->stripButtonCount(), 3);
    // The strip is a tab list; every action of a tab selects its card, none activates it.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(large->strip());
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), 3);
    for (int i : {2, 0, 1}) {
        QAccessibleInterface* tab = list->child(i);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        const QStringList actions = tab->actionInterface()->actionNames();
        ASSERT_FALSE(actions.isEmpty());
        for (const QString& action : actions) {
            SCOPED_TRACE(action.toStdString() + " on tab " + std::to_string(i));
            large->select(62 - static_cast<std::uint32_t>(i == 1));  // another tab first
            tab->actionInterface()->doAction(action);
            EXPECT_EQ(large->selectedID(), 61u + static_cast<std::uint32_t>(i));
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(list->child(j)->state().selected, i == j);
        }
    }
    EXPECT_THAT(events_, ::testing::IsEmpty());
    EXPECT_EQ(accessibleName(large->stripButton(2)), "Three");
    large->stripButton(2)->click();  // choosing is not activating
    EXPECT_EQ(large->hero()->card().id, 63u);
    EXPECT_TRUE(large->stripButton(2)->isChecked());
    EXPECT_FALSE(large->stripButton(0)->isChecked());
    click(large->hero());
    EXPECT_THAT(events_, ElementsAre("activate 63"));

    // The selection survives a refill that still has its window, and falls back to the first
    // card when its window goes.
    state_.update("Preview", nullptr, {window(63, "Three"), window(61, "One"), window(62, "Two")});
    EXPECT_EQ(large->selectedID(), 63u);
    state_.removeCard(63);
    EXPECT_EQ(large->selectedID(), 61u);
    EXPECT_EQ(large->hero()->card().id, 61u);
    state_.update("Preview", nullptr, {});
    EXPECT_EQ(large->hero(), nullptr);
    EXPECT_FALSE(large->selectedID());
}

TEST_F(PreviewViewsTest, ThumbnailsLandInTheirCardOnlyAndReduceTransparencyMakesSurfacesOpaque) {
    showView({window(71, "a"), window(72, "b")});
    const auto centre = [](QWidget* widget) {
        return widget->grab().toImage().pixelColor(widget->width() / 2, widget->height() / 2 - 8);
    };
    const QColor before = centre(card(1));
    state_.setThumbnail(solidImage(400, 250, 0xffff0000u), 72);
    const QColor after = centre(card(1));
    EXPECT_NE(before, after);
    EXPECT_GT(after.red(), 200);
    EXPECT_LT(after.green(), 40);
    EXPECT_LT(centre(card(0)).red() - centre(card(0)).green(), 40);
    // Reduce transparency makes the surfaces opaque.
    const auto surfaceAlpha = [this] { return view_->grab().toImage().pixelColor(40, 14).alpha(); };
    EXPECT_LT(surfaceAlpha(), 255);
    appearance_.setReduceTransparencyOverride(true);
    EXPECT_EQ(surfaceAlpha(), 255);
    // The large layout's strip gets it too.
    state_.setLayout(PreviewLayout::large);
    EXPECT_GT(centre(view_->largeLayout()->stripButton(1)).red(), 200);
}

}  // namespace
}  // namespace vantorel

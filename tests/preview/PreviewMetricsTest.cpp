#include "preview/PreviewMetrics.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantorel {
namespace {

constexpr double kEps = 1e-9;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr auto kRow = PreviewLayout::automatic, kGrid = PreviewLayout::grid;
constexpr auto kList = PreviewLayout::list, kLarge = PreviewLayout::large;
constexpr auto kSmall = PreviewSize::small, kMedium = PreviewSize::medium;
constexpr auto kBig = PreviewSize::large;

// A header narrower than every layout, so the layout decides the width.
PreviewMetrics metrics(PreviewLayout layout, PreviewSize size, int count, Size header = {150, 20}) {
    return PreviewMetrics({layout, size, count, header});
}

bool inside(const Rect& outer, const Rect& inner) {
    return inner.minX() >= outer.minX() - kEps && inner.minY() >= outer.minY() - kEps &&
           inner.maxX() <= outer.maxX() + kEps && inner.maxY() <= outer.maxY() + kEps;
}

// The panel's frame holds the header above the body, both on the surface.
void expectPanelHoldsItsParts(const PreviewMetrics& m) {
    EXPECT_TRUE(inside(Rect({0, 0}, m.panelSize()), m.surface()));
    EXPECT_TRUE(inside(m.surface(), m.header()));
    EXPECT_TRUE(inside(m.surface(), m.body()));
    EXPECT_LE(m.header().maxY(), m.body().minY());
}

TEST(PreviewMetrics, EachLayoutShowsUpToItsLimitWholeAndScrollsTheRest) {
    struct Case {
        PreviewLayout layout;
        PreviewSize size;
        int count;
        int columns;
        int whole;  // items wholly in view before scrolling
    };
    const Case cases[] = {
        {kRow, kSmall, 1, 1, 1},       {kRow, kMedium, 5, 5, 5},   {kRow, kBig, 6, 6, 5},
        {kRow, kSmall, 8, 8, 5},       {kGrid, kMedium, 1, 1, 1},  {kGrid, kBig, 7, 4, 7},
        {kGrid, kMedium, 12, 4, 12},   {kGrid, kSmall, 13, 4, 12}, {kGrid, kBig, 40, 4, 12},
        {kList, kSmall, 6, 1, 6},      {kList, kSmall, 7, 1, 6},   {kList, kMedium, 6, 1, 6},
        {kList, kBig, 6, 1, 6},        {kList, kBig, 7, 1, 6},     {kList, kMedium, 100000, 1, 6},
        {kGrid, kSmall, 100001, 4, 12}};
    for (const Case& c : cases) {
        const auto m = metrics(c.layout, c.size, c.count);
        SCOPED_TRACE(std::string(toString(c.layout)) + " " + std::string(toString(c.size)) + " " +
                     std::to_string(c.count));
        EXPECT_EQ(m.columns(), c.columns);
        EXPECT_EQ(m.rows(), (c.count + c.columns - 1) / c.columns);
        EXPECT_LE(m.body().width(), m.bodyLimit().width + kEps);
        EXPECT_LE(m.body().height(), m.bodyLimit().height + kEps);
        const Rect content({0, 0}, m.contentSize());
        const bool scrolls = m.contentSize().width > m.body().width() + kEps ||
                             m.contentSize().height > m.body().height() + kEps;
        EXPECT_EQ(scrolls, c.whole < c.count);
        expectPanelHoldsItsParts(m);
        EXPECT_EQ(m.itemFrame(c.count), Rect());
        EXPECT_EQ(m.itemFrame(-1), Rect());

        // At the start and scrolled to the end, exactly the items meeting the viewport are built.
        const Rect start({0, 0}, m.body().size);
        const Rect end({content.maxX() - start.width(), content.maxY() - start.height()},
                       start.size);
        for (const Rect& viewport : {start, end}) {
            const auto [first, last] = m.visibleItems(viewport);
            EXPECT_EQ(viewport == start ? first : c.count - last, 0);
            const int from = std::max(first - 5, 0);
            for (int i = from; i < std::min(last + 5, c.count); ++i) {
                const Rect item = m.itemFrame(i);
                EXPECT_EQ(item.intersects(viewport), i >= first && i < last) << i;
                EXPECT_TRUE(inside(content, item)) << i;
                if (viewport == start) {
                    EXPECT_EQ(inside(viewport, item), i < c.whole) << i;
                }
                if (i > from) {
                    EXPECT_FALSE(item.intersects(m.itemFrame(i - 1))) << i;
                }
            }
        }
    }
}

TEST(PreviewMetrics, NothingOrNonsenseTakesNoRoom) {
    // A negative count is none, a header that is not a length is no header.
    const auto bad = metrics(kRow, kMedium, -4, {kNan, -20});
    const auto none = metrics(kRow, kMedium, 0, {0, 0});
    EXPECT_EQ(bad.cardCount(), 0);
    EXPECT_EQ(bad.panelSize(), none.panelSize());
    EXPECT_EQ(bad.body(), none.body());
    for (const auto& empty : {metrics(kGrid, kSmall, 0), metrics(kList, kBig, 0)}) {
        EXPECT_EQ(empty.rows(), 0);
        EXPECT_EQ(empty.visibleItems(Rect(0, 0, 300, 300)), std::make_pair(0, 0));
        EXPECT_LT(empty.body().height(), 10);
    }
    // A viewport of nothing, or of nonsense, shows nothing.
    const auto grid = metrics(kGrid, kMedium, 40);
    EXPECT_EQ(grid.visibleItems(Rect(0, 100, 10, 0)), std::make_pair(0, 0));
    EXPECT_EQ(grid.visibleItems(Rect(0, kNan, 10, 10)), std::make_pair(0, 0));

    // A header wider than the layout widens the panel, not the layout.
    const auto wide = metrics(kList, kMedium, 2, {500, 22});
    EXPECT_NEAR(wide.body().width(), 360, kEps);
    EXPECT_NEAR(wide.header().width(), 500, kEps);
    expectPanelHoldsItsParts(wide);

    // The large layout without cards: nothing below the header, not even the spacing.
    const auto large = metrics(kLarge, kMedium, 0);
    EXPECT_EQ(large.body().size, Size());
    EXPECT_NEAR(large.panelSize().height - large.header().maxY(), large.header().minY(), kEps);
}

TEST(PreviewMetrics, TheLargeLayoutHasAStripFromTwoCardsNeverWiderThanTheHero) {
    const auto one = metrics(kLarge, kMedium, 1);
    EXPECT_EQ(one.stripFrame().size, Size());
    EXPECT_NEAR(one.body().height(), one.heroFrame().height(), kEps);
    EXPECT_EQ(one.stripButtonFrame(0), Rect());

    const auto two = metrics(kLarge, kMedium, 2);
    const Rect strip = two.stripFrame();
    EXPECT_GT(strip.minY(), two.heroFrame().maxY());
    EXPECT_NEAR(strip.center().x, two.heroFrame().center().x, kEps);
    EXPECT_NEAR(two.body().height(), strip.maxY(), kEps);
    EXPECT_TRUE(inside(Rect({0, 0}, two.stripContentSize()), two.stripButtonFrame(1)));
    EXPECT_LT(two.stripButtonFrame(0).maxX(), two.stripButtonFrame(1).minX());
    EXPECT_EQ(two.stripButtonFrame(2), Rect());
    EXPECT_EQ(two.visibleItems(Rect(0, 0, 1, 1)), std::make_pair(0, 1));
    EXPECT_EQ(two.itemFrame(0), two.heroFrame());
    EXPECT_EQ(two.itemFrame(1), Rect());
    EXPECT_EQ(metrics(kRow, kMedium, 2).stripButtonFrame(0), Rect());

    const auto many = metrics(kLarge, kSmall, 30);
    EXPECT_NEAR(many.stripFrame().width(), many.heroFrame().width(), kEps);
    EXPECT_GT(many.stripContentSize().width, many.stripFrame().width());
}

TEST(PreviewMetrics, CardsAndRowsKeepTheirPartsInsideAndApart) {
    for (PreviewSize size : {kSmall, kMedium, kBig}) {
        const Size card = metrics(kGrid, size, 4).itemSize();
        const Rect thumbnail = PreviewMetrics::cardThumbnailFrame(card, 14);
        const Rect title = PreviewMetrics::cardTitleFrame(card, 14);
        const Rect close = PreviewMetrics::cardControlFrame(thumbnail, 0);
        const Rect minimize = PreviewMetrics::cardControlFrame(thumbnail, 1);
        EXPECT_TRUE(inside(Rect({0, 0}, card), thumbnail) && inside(Rect({0, 0}, card), title));
        EXPECT_TRUE(inside(thumbnail, close) && inside(thumbnail, minimize));
        EXPECT_TRUE(thumbnail.maxY() < title.minY() && close.maxX() < minimize.minX());
        // Top trailing: the leading corner is where a window keeps its own buttons.
        EXPECT_TRUE(close.minX() > thumbnail.center().x && close.maxY() < thumbnail.center().y);
        EXPECT_NEAR(thumbnail.width() / thumbnail.height(), 244.0 / 156.0, 0.15);
    }
    // A title line taller than the card leaves an empty thumbnail, never a negative one.
    EXPECT_EQ(PreviewMetrics::cardThumbnailFrame({100, 40}, 60).height(), 0);

    // In a row the controls take the title's room only while shown.
    const Size row{352, 74}, thumb{104, 66};
    const Rect thumbnail = PreviewMetrics::rowThumbnailFrame(row, thumb);
    const Rect plain = PreviewMetrics::rowTitleFrame(row, thumb, 15, false);
    const Rect hovered = PreviewMetrics::rowTitleFrame(row, thumb, 15, true);
    const Rect close = PreviewMetrics::rowControlFrame(row, 0);
    const Rect minimize = PreviewMetrics::rowControlFrame(row, 1);
    EXPECT_TRUE(inside(Rect({0, 0}, row), thumbnail) && thumbnail.maxX() < plain.minX());
    EXPECT_TRUE(hovered.maxX() < close.minX() && close.maxX() < minimize.minX());
    EXPECT_TRUE(minimize.minX() < plain.maxX() && plain.maxX() < row.width);
    EXPECT_EQ(PreviewMetrics::rowTitleFrame({100, 74}, thumb, 15, true).width(), 0);
}

}  // namespace
}  // namespace vantorel

#include "preview/PreviewMetrics.h"

#include <gtest/gtest.h>

#include <limits>

#include "preview/PreviewState.h"

namespace vantorel {
namespace {

constexpr double kEps = 1e-9;
// A header narrower than every layout, so the layout decides the width.
constexpr Size kHeader{150, 20};

PreviewMetrics metrics(PreviewLayout layout, PreviewSize size, int count, Size header = kHeader) {
    return PreviewMetrics({layout, size, count, header});
}

// The panel is the layout plus the header, the spacing, the content padding and the margin.
void expectPanelAroundBody(const PreviewMetrics& m, Size header = kHeader) {
    const double outer = 2 * (PreviewMetrics::kPanelMargin + PreviewMetrics::kContentPadding);
    EXPECT_NEAR(m.panelSize().width, std::max(m.body().width(), header.width) + outer, kEps);
    EXPECT_NEAR(m.panelSize().height,
                header.height + PreviewMetrics::kContentSpacing + m.body().height() + outer, kEps);
    EXPECT_NEAR(m.body().minX(), 24, kEps);
    EXPECT_NEAR(m.body().minY(), 24 + header.height + 10, kEps);
    EXPECT_NEAR(m.surface().minX(), 8, kEps);
    EXPECT_NEAR(m.surface().maxX(), m.panelSize().width - 8, kEps);
}

TEST(PreviewMetrics, RowOfThreeMediumCards) {
    const auto m = metrics(PreviewLayout::automatic, PreviewSize::medium, 3);
    EXPECT_NEAR(m.ruleSize().width, 244, kEps);
    EXPECT_NEAR(m.ruleSize().height, 156, kEps);
    // 3·244 + 2·14 + 8 at most, and three cards need exactly that.
    EXPECT_NEAR(m.bodyLimit().width, 768, kEps);
    EXPECT_NEAR(m.body().width(), 768, kEps);
    EXPECT_NEAR(m.body().height(), 186, kEps);
    expectPanelAroundBody(m);

    // Every card lies inside the row, after the padding, one spacing apart.
    EXPECT_NEAR(m.itemFrame(0).minX(), 4, kEps);
    EXPECT_NEAR(m.itemFrame(1).minX() - m.itemFrame(0).maxX(), 14, kEps);
    EXPECT_NEAR(m.itemFrame(2).maxX(), 768 - 4, kEps);
    EXPECT_GE(m.itemFrame(0).minY(), 4);
    EXPECT_LE(m.itemFrame(0).maxY(), 186 - 4);
    EXPECT_EQ(m.itemFrame(3), Rect());
    EXPECT_EQ(m.itemFrame(-1), Rect());
}

TEST(PreviewMetrics, RowShowsAtMostFiveCardsAndScrollsTheRest) {
    const auto one = metrics(PreviewLayout::automatic, PreviewSize::small, 1);
    EXPECT_NEAR(one.body().width(), 0.82 * 244 + 8, kEps);
    EXPECT_NEAR(one.body().height(), 0.82 * 156 + 30, kEps);

    const auto eight = metrics(PreviewLayout::automatic, PreviewSize::large, 8);
    const double five = 5 * 317.2 + 4 * 14 + 8;
    EXPECT_NEAR(eight.bodyLimit().width, five, kEps);
    EXPECT_NEAR(eight.body().width(), five, kEps);
    EXPECT_NEAR(eight.contentSize().width, 8 * 317.2 + 7 * 14 + 8, kEps);
    EXPECT_NEAR(eight.body().height(), 1.3 * 156 + 30, kEps);

    // Scrolled by two cards: the third to the seventh card meet the viewport.
    const double pitch = 317.2 + 14;
    const auto [first, last] = eight.visibleItems(Rect(2 * pitch, 0, five, 232.8));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 7);
}

TEST(PreviewMetrics, SmallCompactListOfNineWindows) {
    // The automatic layout with threshold 6 turns nine windows into the list.
    PreviewState state;
    state.setCompactThreshold(6);
    std::vector<WindowInfo> windows(9);
    for (std::uint32_t i = 0; i < 9; ++i)
        windows[i].id = i + 1;
    state.update("Terminal", nullptr, windows);
    ASSERT_EQ(state.effectiveLayout(), PreviewLayout::list);

    const auto m = metrics(state.effectiveLayout(), PreviewSize::small, 9);
    EXPECT_NEAR(m.ruleSize().width, 85.28, kEps);
    EXPECT_NEAR(m.ruleSize().height, 54.12, kEps);
    EXPECT_NEAR(m.body().width(), 360, kEps);
    EXPECT_NEAR(m.bodyLimit().height, 428.72, kEps);
    EXPECT_NEAR(m.body().height(), 428.72, kEps);
    EXPECT_GT(m.contentSize().height, 428.72);
    expectPanelAroundBody(m);

    // Rows fill the list's width inside its padding and hold their thumbnail.
    const Rect row = m.itemFrame(0);
    EXPECT_NEAR(row.width(), 352, kEps);
    const Rect thumbnail = PreviewMetrics::rowThumbnailFrame(row.size, m.ruleSize());
    EXPECT_GE(thumbnail.minY(), 0);
    EXPECT_LE(thumbnail.maxY(), row.height());
}

TEST(PreviewMetrics, ListRowsUpToSixAreAllVisible) {
    for (PreviewSize size : {PreviewSize::small, PreviewSize::medium, PreviewSize::large}) {
        const double s = PreviewMetrics::scale(size);
        for (int n = 1; n <= 6; ++n) {
            const auto m = metrics(PreviewLayout::list, size, n);
            EXPECT_NEAR(m.bodyLimit().height, (66 * s + 16) * n + 8, kEps);
            EXPECT_LE(m.contentSize().height, m.bodyLimit().height + kEps) << n;
            EXPECT_NEAR(m.body().height(), m.contentSize().height, kEps);
            EXPECT_LE(m.itemFrame(n - 1).maxY(), m.body().height());
        }
        // The seventh row is cut: the list scrolls.
        const auto seven = metrics(PreviewLayout::list, size, 7);
        EXPECT_NEAR(seven.body().height(), (66 * s + 16) * 6 + 8, kEps);
        EXPECT_GT(seven.itemFrame(6).maxY(), seven.body().height());
    }
}

TEST(PreviewMetrics, LargeGridOfSevenCards) {
    const auto m = metrics(PreviewLayout::grid, PreviewSize::large, 7);
    EXPECT_EQ(m.columns(), 4);
    EXPECT_EQ(m.rows(), 2);
    EXPECT_NEAR(m.body().width(), 3 * 14 + 4 * 317.2 + 8, kEps);
    EXPECT_NEAR(m.body().width(), 1318.8, kEps);
    EXPECT_NEAR(m.bodyLimit().height, 473.6, kEps);
    EXPECT_LE(m.body().height(), 473.6);
    expectPanelAroundBody(m);

    // The last row holds three cards in the leading columns.
    EXPECT_NEAR(m.itemFrame(6).minX(), m.itemFrame(2).minX(), kEps);
    EXPECT_NEAR(m.itemFrame(6).minY() - m.itemFrame(2).maxY(), 14, kEps);
    EXPECT_LE(m.itemFrame(6).maxY(), m.body().height());
}

TEST(PreviewMetrics, GridShowsThreeWholeRowsAndBuildsOnlyWhatIsInView) {
    // Twelve cards: three rows, all of them fully visible.
    const auto twelve = metrics(PreviewLayout::grid, PreviewSize::medium, 12);
    EXPECT_NEAR(twelve.bodyLimit().height, 186 * 3 + 8, kEps);
    EXPECT_LE(twelve.itemFrame(11).maxY(), twelve.body().height());

    // Forty cards: ten rows, three in view.
    const auto forty = metrics(PreviewLayout::grid, PreviewSize::medium, 40);
    EXPECT_EQ(forty.rows(), 10);
    EXPECT_NEAR(forty.body().height(), 566, kEps);
    EXPECT_GT(forty.contentSize().height, 566);
    const Size viewport = forty.body().size;
    auto [first, last] = forty.visibleItems(Rect({0, 0}, viewport));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 12);  // the fourth row starts below the viewport
    std::tie(first, last) =
        forty.visibleItems(Rect({0, forty.contentSize().height - 566}, viewport));
    EXPECT_EQ(last, 40);
    EXPECT_EQ(first % 4, 0);
    // A viewport of nothing, or of nonsense, shows nothing.
    EXPECT_EQ(forty.visibleItems(Rect(0, 100, 10, 0)), std::make_pair(0, 0));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(forty.visibleItems(Rect(0, nan, 10, 10)), std::make_pair(0, 0));

    // A single card is still one full column wide.
    const auto one = metrics(PreviewLayout::grid, PreviewSize::medium, 1);
    EXPECT_EQ(one.columns(), 1);
    EXPECT_NEAR(one.body().width(), 244 + 8, kEps);
}

TEST(PreviewMetrics, LargeLayoutHeroAndStrip) {
    struct Case {
        PreviewSize size;
        double width;
        double height;
    };
    for (const Case& c :
         {Case{PreviewSize::small, 0.82 * 244 * 1.9, 0.82 * 156 * 1.9},
          Case{PreviewSize::medium, 463.6, 296.4}, Case{PreviewSize::large, 560, 360}}) {
        const auto m = metrics(PreviewLayout::large, c.size, 3);
        EXPECT_NEAR(m.heroRuleSize().width, c.width, kEps) << toString(c.size);
        EXPECT_NEAR(m.heroRuleSize().height, c.height, kEps) << toString(c.size);
        EXPECT_NEAR(m.heroFrame().width(), c.width, kEps);
        EXPECT_NEAR(m.body().width(), c.width, kEps);
    }

    // One card: the hero alone.
    const auto one = metrics(PreviewLayout::large, PreviewSize::medium, 1);
    EXPECT_TRUE(one.stripFrame().size == Size());
    EXPECT_NEAR(one.body().height(), one.heroFrame().height(), kEps);
    EXPECT_EQ(one.stripButtonFrame(0), Rect());

    // Several: a strip 12 below the hero, centred, 50-point thumbnails padded 4.
    const auto three = metrics(PreviewLayout::large, PreviewSize::medium, 3);
    const Rect strip = three.stripFrame();
    EXPECT_NEAR(strip.minY() - three.heroFrame().maxY(), 12, kEps);
    EXPECT_NEAR(strip.width(), 3 * 78 + 2 * 8 + 8, kEps);
    EXPECT_NEAR(strip.height(), 58, kEps);
    EXPECT_NEAR(strip.center().x, three.heroFrame().center().x, kEps);
    EXPECT_NEAR(three.body().height(), strip.maxY(), kEps);
    EXPECT_EQ(three.stripButtonFrame(2), Rect(4 + 2 * 86, 4, 78, 50));

    // Many: the strip is never wider than the hero and scrolls.
    const auto many = metrics(PreviewLayout::large, PreviewSize::small, 30);
    EXPECT_NEAR(many.stripFrame().width(), many.heroFrame().width(), kEps);
    EXPECT_GT(many.stripContentSize().width, many.stripFrame().width());

    // None: nothing below the header, not even the spacing.
    const auto none = metrics(PreviewLayout::large, PreviewSize::medium, 0);
    EXPECT_EQ(none.body().size, Size());
    EXPECT_NEAR(none.panelSize().height, kHeader.height + 2 * 24, kEps);
}

TEST(PreviewMetrics, HeaderWiderThanTheLayoutWidensThePanelAndBadInputIsHarmless) {
    const Size wide{500, 22};
    const auto m = metrics(PreviewLayout::list, PreviewSize::medium, 2, wide);
    EXPECT_NEAR(m.body().width(), 360, kEps);
    expectPanelAroundBody(m, wide);
    EXPECT_NEAR(m.header().width(), 500, kEps);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto bad = metrics(PreviewLayout::automatic, PreviewSize::medium, -4, {nan, -20});
    EXPECT_EQ(bad.cardCount(), 0);
    EXPECT_NEAR(bad.header().height(), 0, kEps);
    EXPECT_NEAR(bad.body().width(), 8, kEps);
    EXPECT_NEAR(bad.body().height(), 186, kEps);
    EXPECT_NEAR(bad.panelSize().width, 8 + 48, kEps);

    const auto emptyGrid = metrics(PreviewLayout::grid, PreviewSize::medium, 0);
    EXPECT_EQ(emptyGrid.rows(), 0);
    EXPECT_NEAR(emptyGrid.body().height(), 8, kEps);
    EXPECT_EQ(emptyGrid.visibleItems(Rect(0, 0, 300, 300)), std::make_pair(0, 0));
}

TEST(PreviewMetrics, CardInteriorKeepsThumbnailTitleAndControlsInside) {
    for (PreviewSize size : {PreviewSize::small, PreviewSize::medium, PreviewSize::large}) {
        const auto m = metrics(PreviewLayout::grid, size, 4);
        const Size card = m.itemSize();
        const double title = 14;
        const Rect thumbnail = PreviewMetrics::cardThumbnailFrame(card, title);
        const Rect caption = PreviewMetrics::cardTitleFrame(card, title);
        EXPECT_NEAR(thumbnail.minX(), 8, kEps);
        EXPECT_NEAR(thumbnail.width(), card.width - 16, kEps);
        EXPECT_NEAR(caption.minY() - thumbnail.maxY(), 6, kEps);
        EXPECT_NEAR(caption.maxY(), card.height - 8, kEps);
        // The thumbnail keeps roughly the base card's proportions.
        EXPECT_NEAR(thumbnail.width() / thumbnail.height(), 244.0 / 156.0, 0.15);

        const Rect close = PreviewMetrics::cardControlFrame(thumbnail, 0);
        const Rect minimize = PreviewMetrics::cardControlFrame(thumbnail, 1);
        EXPECT_NEAR(thumbnail.maxX() - minimize.maxX(), 8, kEps);
        EXPECT_NEAR(close.minY() - thumbnail.minY(), 8, kEps);
        EXPECT_NEAR(minimize.minX() - close.maxX(), 6, kEps);
        EXPECT_EQ(close.size, (Size{20, 20}));
    }

    // A title line taller than the card leaves an empty thumbnail, never a negative one.
    EXPECT_NEAR(PreviewMetrics::cardThumbnailFrame({100, 40}, 60).height(), 0, kEps);

    // In a row, the controls take the title's room only while shown.
    const Size row{352, 74};
    const Size thumb{104, 66};
    const Rect plain = PreviewMetrics::rowTitleFrame(row, thumb, 15, false);
    const Rect hovered = PreviewMetrics::rowTitleFrame(row, thumb, 15, true);
    EXPECT_NEAR(plain.minX(), 10 + 104 + 10, kEps);
    EXPECT_NEAR(plain.maxX(), 352 - 10, kEps);
    EXPECT_NEAR(hovered.maxX(), PreviewMetrics::rowControlFrame(row, 0).minX() - 10, kEps);
    EXPECT_NEAR(PreviewMetrics::rowControlFrame(row, 1).maxX(), 352 - 10, kEps);
    EXPECT_NEAR(PreviewMetrics::rowControlFrame(row, 1).minX() -
                    PreviewMetrics::rowControlFrame(row, 0).maxX(),
                6, kEps);
}

}  // namespace
}  // namespace vantorel

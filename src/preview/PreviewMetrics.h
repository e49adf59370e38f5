#pragma once

#include <utility>

#include "platform/Geometry.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewSize.h"

namespace vantorel {

// The size rules of the preview views, and where everything in the panel goes. The views place
// their parts where this says and report its panel size as theirs, so the panel's size and the
// views' layout cannot drift apart. All lengths in points; frames have a top-left origin.
class PreviewMetrics {
public:
    // The panel's base card and spacing.
    static constexpr Size kBaseCard{244, 156};
    static constexpr double kSpacing = 14;

    // Panel: a transparent margin (room for the shadow), the glass surface, its content.
    static constexpr double kPanelMargin = 8;
    static constexpr double kContentPadding = 16;
    static constexpr double kContentSpacing = 10;
    static constexpr double kSurfaceRadius = 26;

    // Header: icon, name, and the count on a capsule.
    static constexpr double kHeaderIconSide = 20;
    static constexpr double kHeaderSpacing = 8;
    static constexpr double kCountPaddingX = 7;
    static constexpr double kCountPaddingY = 2;
    // A very long application name is cut rather than stretching the panel across the screen.
    static constexpr double kHeaderNameMaxWidth = 420;

    // Row and grid.
    static constexpr double kLayoutPadding = 4;
    static constexpr double kRowExtraHeight = 30;
    static constexpr int kRowVisibleCards = 5;
    static constexpr int kGridColumns = 4;
    static constexpr int kGridVisibleRows = 3;
    // A card's frame is its size-rule size plus a band for the title. The row and grid heights
    // leave 30 points a card, of which the padding takes 8: with 20 the three visible grid rows
    // and their spacing fit exactly, instead of the last row scrolling by a few points.
    static constexpr double kCardTitleBand = 20;

    // List.
    static constexpr double kListWidth = 360;
    static constexpr double kListSpacing = 8;
    static constexpr double kListRowExtraHeight = 16;
    static constexpr int kListVisibleRows = 6;
    static constexpr Size kListThumbnail{104, 66};
    static constexpr double kListRowPaddingX = 10;
    // 4 rather than 6: a row is then its thumbnail plus 8, and with the spacing exactly the 16
    // points a row the height cap allows, so six rows are fully visible.
    static constexpr double kListRowPaddingY = 4;
    static constexpr double kListRowSpacing = 10;
    static constexpr double kListRowRadius = 14;
    static constexpr double kListThumbnailRadius = 8;

    // Large: the hero card and the strip of small thumbnails below it.
    static constexpr double kHeroFactor = 1.9;
    static constexpr Size kHeroMax{560, 360};
    static constexpr double kLargeSpacing = 12;
    static constexpr Size kStripThumbnail{78, 50};
    static constexpr double kStripSpacing = 8;
    static constexpr double kStripRadius = 8;

    // Inside a card.
    static constexpr double kCardPadding = 8;
    static constexpr double kCardSpacing = 6;
    static constexpr double kCardRadius = 18;
    static constexpr double kThumbnailRadius = 12;
    static constexpr double kControlSide = 20;
    static constexpr double kControlInset = 8;
    static constexpr double kControlSpacing = 6;
    static constexpr double kHoverScale = 1.03;

    struct Input {
        // The effective layout (automatic is the single row).
        PreviewLayout layout = PreviewLayout::automatic;
        PreviewSize size = PreviewSize::medium;
        int cardCount = 0;
        // The header row's natural size, measured with its fonts by the view.
        Size header;
    };

    explicit PreviewMetrics(const Input& input);

    // Card scale: small 0.82, medium 1, large 1.3.
    static double scale(PreviewSize size);

    PreviewLayout layout() const { return input_.layout; }
    int cardCount() const { return count_; }
    double scale() const { return scale_; }

    // The fitting size of the whole panel: what the window is sized to.
    Size panelSize() const { return panel_; }
    // Panel coordinates.
    Rect surface() const { return surface_; }
    Rect header() const { return header_; }
    // The visible frame of the layout; row, grid and list scroll their content inside it.
    Rect body() const { return body_; }
    // The rule's size of the layout: the fixed length, or the longest it may grow to.
    Size bodyLimit() const { return bodyLimit_; }
    // Row, grid and list: the size of everything that scrolls.
    Size contentSize() const { return content_; }

    // Row and grid: a card's size-rule size (the thumbnail size the views are given), and the
    // frame a card view fills. List: the row thumbnail, and the frame a row view fills.
    Size ruleSize() const { return ruleSize_; }
    Size itemSize() const { return itemSize_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    // Frame of card or row `index` in content coordinates.
    Rect itemFrame(int index) const;
    // The items at least partly inside `viewport` (content coordinates), as [first, last).
    std::pair<int, int> visibleItems(const Rect& viewport) const;

    // Large layout, body coordinates. The hero is empty without cards; the strip with fewer
    // than two.
    Size heroRuleSize() const { return heroRule_; }
    Rect heroFrame() const { return hero_; }
    Rect stripFrame() const { return strip_; }
    Size stripContentSize() const { return stripContent_; }
    // Strip content coordinates.
    Rect stripButtonFrame(int index) const;

    // Inside a card view of `card` size whose title line is `titleHeight` tall.
    static Rect cardThumbnailFrame(Size card, double titleHeight);
    static Rect cardTitleFrame(Size card, double titleHeight);
    // The close (0) and minimise (1) controls over a thumbnail, side by side in its top-trailing
    // corner.
    static Rect cardControlFrame(const Rect& thumbnail, int index);

    // Inside a row view of `row` size with a thumbnail of `thumbnail` size.
    static Rect rowThumbnailFrame(Size row, Size thumbnail);
    // The close (0) and minimise (1) controls, side by side at the trailing end.
    static Rect rowControlFrame(Size row, int index);
    // The title takes what is left; the controls take their room only while shown.
    static Rect rowTitleFrame(Size row, Size thumbnail, double titleHeight, bool controlsShown);

private:
    void layOutRow();
    void layOutGrid();
    void layOutList();
    void layOutLarge();

    Input input_;
    int count_ = 0;
    double scale_ = 1;
    Size ruleSize_;
    Size itemSize_;
    int columns_ = 1;
    int rows_ = 0;
    Size bodyLimit_;
    Size bodySize_;
    Size content_;
    Size heroRule_;
    Rect hero_;
    Rect strip_;
    Size stripContent_;
    Size panel_;
    Rect surface_;
    Rect header_;
    Rect body_;
};

}  // namespace vantorel

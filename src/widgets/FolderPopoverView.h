#pragma once

#include <QWidget>

#include <functional>
#include <map>

#include "widgets/FolderState.h"
#include "widgets/FolderViewContext.h"

class QScrollArea;

namespace vantorel {

class Appearance;
class FolderItemTile;

// The content of the folder panel: a glass card with the header (folder icon, name, number of
// items) above a scrolling grid of the folder's items, or "Empty folder". Tiles are built only
// for the rows in and next to view, so a folder of any size costs a few dozen widgets. Its size
// hint is the panel's fitting size.
class FolderPopoverView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kColumns = 4;
    static constexpr int kSpacing = 10;
    static constexpr int kVisibleRows = 4;
    static constexpr int kGridInset = 4;
    static constexpr int kMargin = 8;
    static constexpr int kContentInset = 16;
    static constexpr qreal kCardRadius = 26;
    static constexpr int kHeaderInset = 4;
    static constexpr int kHeaderSpacing = 8;
    static constexpr int kHeaderIconSide = 20;
    static constexpr int kCountPaddingX = 7;
    static constexpr int kCountPaddingY = 2;
    static constexpr int kHeaderNameMaxWidth = 420;
    static constexpr QSize kEmptySize{220, 60};

    FolderPopoverView(FolderState& state, Appearance& appearance, QWidget* parent = nullptr);
    ~FolderPopoverView() override;

    // True when the pointer enters the panel, false when it leaves; once each way.
    std::function<void(bool)> onPanelHoverChange;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // False when the window cannot be translucent: surfaces are then painted opaque.
    void setTranslucentWindow(bool translucent);

    QScrollArea* scrollArea() const { return scroll_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    // The tile of the entry at `index`, when it is built (in or next to view).
    FolderItemTile* tileAt(int index) const;
    int builtTileCount() const { return static_cast<int>(tiles_.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void buildVisibleTiles();
    QSize measureHeader() const;
    QRect card() const;
    QRect body() const;
    void setPointerInside(bool inside);

    FolderState& state_;
    FolderViewContext context_;
    QScrollArea* scroll_ = nullptr;
    QWidget* grid_ = nullptr;
    std::map<int, FolderItemTile*> tiles_;
    int columns_ = 0;
    int rows_ = 0;
    QSize header_;
    QSize bodySize_;
    QImage folderIcon_;
    bool pointerInside_ = false;
    FolderState::Subscription subscription_;
};

}  // namespace vantorel

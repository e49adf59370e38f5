#pragma once

#include <map>

#include "platform/qt/PanelViewContext.h"
#include "platform/qt/PopoverView.h"
#include "widgets/FolderState.h"

class QScrollArea;

namespace vantorel {

class Appearance;
class FolderItemTile;

// The content of the folder panel: a glass card with the header (folder icon, name, number of
// items) above a scrolling grid of the folder's items, or "Empty folder". Tiles are built only
// for the rows in and next to view, so a folder of any size costs a few dozen widgets. Its size
// hint is the panel's fitting size.
class FolderPopoverView final : public PopoverView {
    Q_OBJECT

public:
    static constexpr int kColumns = 4;
    static constexpr int kSpacing = 10;
    static constexpr int kVisibleRows = 4;
    static constexpr int kGridInset = 4;
    static constexpr qreal kCardRadius = 26;
    static constexpr int kHeaderInset = 4;
    static constexpr QSize kEmptySize{220, 60};

    FolderPopoverView(FolderState& state, Appearance& appearance, QWidget* parent = nullptr);
    ~FolderPopoverView() override;

    QSize sizeHint() const override;

    QScrollArea* scrollArea() const { return scroll_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    // The tile of the entry at `index`, when it is built (in or next to view).
    FolderItemTile* tileAt(int index) const;
    int builtTileCount() const { return static_cast<int>(tiles_.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void buildVisibleTiles();
    QRect body() const;

    FolderState& state_;
    PanelViewContext context_;
    QScrollArea* scroll_ = nullptr;
    QWidget* grid_ = nullptr;
    std::map<int, FolderItemTile*> tiles_;
    int columns_ = 0;
    int rows_ = 0;
    QSize header_;
    QSize bodySize_;
    QImage folderIcon_;
    FolderState::Subscription subscription_;
};

}  // namespace vantorel

#include "widgets/FolderPanel.h"

namespace vantorel {

void FolderPanel::show(DockEdge edge, const Rect& tileFrame) {
    showPanel(edge, tileFrame, [this](const PanelHost::Shown& shown) {
        return "Folder panel show: " + state().folderName() +
               " items=" + std::to_string(state().entries().size()) + " " +
               "size=" + PanelHost::integer(shown.size.width) + "×" +
               PanelHost::integer(shown.size.height);
    });
}

}  // namespace vantorel

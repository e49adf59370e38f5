#pragma once

#include <QAbstractButton>
#include <QImage>

#include <cstdint>

#include "preview/PreparedThumbnail.h"
#include "preview/PreviewState.h"

namespace vantorel {

class PreviewViewContext;

// One card in the large layout's strip: its image, or the application icon, on a small dark
// well, outlined in the accent colour while it is the selection.
class StripButton final : public QAbstractButton {
    Q_OBJECT

public:
    StripButton(PreviewViewContext& context, QWidget* parent);

    void bind(const PreviewState::Card& card, bool selected);
    std::uint32_t id() const { return id_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewViewContext& context_;
    std::uint32_t id_ = 0;
    QImage image_;
    PreparedThumbnail picture_;
};

}  // namespace vantorel

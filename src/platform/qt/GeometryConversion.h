#pragma once

#include <QRectF>
#include <QSizeF>

#include "platform/Geometry.h"

namespace vantorel {

// The core's geometry as Qt draws it, and back; both are in points.
inline QRectF toQRect(const Rect& rect) {
    return {rect.minX(), rect.minY(), rect.width(), rect.height()};
}

inline Size toSize(const QSizeF& size) {
    return {size.width(), size.height()};
}

}  // namespace vantorel

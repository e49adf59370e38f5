#pragma once

#include <QImage>
#include <QPixmap>

#include "platform/Image.h"

namespace vantorel {

// The core's image as a QImage over the same pixels: nothing is copied, and the QImage keeps the
// image alive for as long as it (or any copy of it) exists. Null for a missing or malformed image.
QImage toQImage(const ImageRef& image);

// For the few Qt calls that want a QPixmap. Converts on every call and caches nothing, since a
// live thumbnail replaces its image several times a second.
QPixmap toQPixmap(const ImageRef& image);

// A copy of a QImage as the core's premultiplied ARGB image; null for a null QImage.
ImageRef fromQImage(const QImage& source);

}  // namespace vantorel

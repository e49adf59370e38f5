#include "platform/qt/ImageConversion.h"

#include <limits>

namespace vantorel {
namespace {

void releaseImage(void* holder) {
    delete static_cast<ImageRef*>(holder);
}

}  // namespace

QImage toQImage(const ImageRef& image) {
    if (!image || !image->isValid()) return {};
    if (image->width > std::numeric_limits<int>::max() / 4) return {};

    auto* holder = new ImageRef(image);
    // The const-data constructor makes Qt copy on the first write, so the shared pixels stay
    // immutable as the core promises.
    QImage wrapped(reinterpret_cast<const uchar*>(image->pixels.data()), image->width,
                   image->height, static_cast<qsizetype>(image->width) * 4,
                   QImage::Format_ARGB32_Premultiplied, &releaseImage, holder);
    // Qt does not call the cleanup function when it rejects the buffer.
    if (wrapped.isNull()) delete holder;
    return wrapped;
}

QPixmap toQPixmap(const ImageRef& image) {
    const QImage wrapped = toQImage(image);
    if (wrapped.isNull()) return {};
    return QPixmap::fromImage(wrapped, Qt::NoFormatConversion);
}

}  // namespace vantorel

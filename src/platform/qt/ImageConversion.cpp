#include "platform/qt/ImageConversion.h"

#include <cstring>
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

ImageRef fromQImage(const QImage& source) {
    if (source.isNull()) return nullptr;
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto image = std::make_shared<Image>();
    image->width = argb.width();
    image->height = argb.height();
    image->pixels.resize(static_cast<std::size_t>(argb.width()) *
                         static_cast<std::size_t>(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(image->pixels.data() + static_cast<std::ptrdiff_t>(y) * argb.width(),
                    argb.constScanLine(y), static_cast<std::size_t>(argb.width()) * 4);
    }
    return image;
}

}  // namespace vantorel

#include "platform/x11/X11ScreenCapture.h"

#include <xcb/composite.h>

#include <QImage>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace vantorel {
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

ImageRef scaledToFit(ImageRef source, const CaptureConfiguration& configuration) {
    if (!configuration.scalesToFit || configuration.width <= 0 || configuration.height <= 0)
        return source;
    if (source->width <= configuration.width && source->height <= configuration.height)
        return source;  // never up: small windows keep their own pixels
    const QImage wrapped(reinterpret_cast<const uchar*>(source->pixels.data()), source->width,
                         source->height, source->width * 4, QImage::Format_ARGB32_Premultiplied);
    const QImage scaled =
        wrapped
            .scaled(static_cast<int>(std::min<std::int64_t>(configuration.width, 1 << 14)),
                    static_cast<int>(std::min<std::int64_t>(configuration.height, 1 << 14)),
                    Qt::KeepAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto image = std::make_shared<Image>();
    image->width = scaled.width();
    image->height = scaled.height();
    image->pixels.resize(static_cast<std::size_t>(image->width) * image->height);
    for (int y = 0; y < image->height; ++y)
        std::memcpy(image->pixels.data() + static_cast<std::size_t>(y) * image->width,
                    scaled.constScanLine(y), static_cast<std::size_t>(image->width) * 4);
    return image;
}

}  // namespace

X11ScreenCapture::X11ScreenCapture(const char* display, Scheduler& scheduler, Logger& logger)
    : scheduler_(scheduler), log_(logger, "capture") {
    connection_ = xcb_connect(display, nullptr);
    if (xcb_connection_has_error(connection_)) return;
    Reply<xcb_composite_query_version_reply_t> version(xcb_composite_query_version_reply(
        connection_, xcb_composite_query_version(connection_, 0, 4), nullptr));
    composite_ = version && (version->major_version > 0 || version->minor_version >= 2);
    if (!composite_) log_.error("The X server offers no Composite extension: no thumbnails");
}

X11ScreenCapture::~X11ScreenCapture() {
    xcb_disconnect(connection_);
}

void X11ScreenCapture::getShareableContent(bool, bool, ShareableContentHandler completion) {
    std::vector<WindowNumber> ids;
    {
        std::lock_guard lock(mutex_);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const char kList[] = "_NET_CLIENT_LIST";
        Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 1, sizeof kList - 1, kList), nullptr));
        if (screen && atom) {
            Reply<xcb_get_property_reply_t> list(
                xcb_get_property_reply(connection_,
                                       xcb_get_property(connection_, 0, screen->root, atom->atom,
                                                        XCB_ATOM_WINDOW, 0, 1 << 16),
                                       nullptr));
            if (list && list->format == 32) {
                const auto* values =
                    static_cast<const std::uint32_t*>(xcb_get_property_value(list.get()));
                ids.assign(values, values + xcb_get_property_value_length(list.get()) / 4);
            }
        }
    }
    const bool usable = composite_;
    scheduler_.post([completion = std::move(completion), ids = std::move(ids), usable] {
        if (!usable) {
            completion(std::nullopt, CaptureError{"The X server cannot capture windows"});
            return;
        }
        completion(ShareableContent{ids}, std::nullopt);
    });
}

ImageRef X11ScreenCapture::grab(WindowNumber windowID, std::string* error) {
    std::lock_guard lock(mutex_);
    if (!composite_) {
        if (error) *error = "no Composite extension";
        return nullptr;
    }
    xcb_connection_t* c = connection_;
    // Automatic redirection keeps the screen painted by the server; it lasts only this long.
    xcb_composite_redirect_window(c, windowID, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    const auto named = xcb_composite_name_window_pixmap_checked(c, windowID, pixmap);
    Reply<xcb_generic_error_t> nameError(xcb_request_check(c, named));
    ImageRef result;
    if (nameError) {
        if (error)
            *error = "the window has no content to read (X error " +
                     std::to_string(nameError->error_code) + ")";
    } else {
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, pixmap), nullptr));
        Reply<xcb_get_image_reply_t> image;
        if (geometry && geometry->width > 0 && geometry->height > 0)
            image.reset(
                xcb_get_image_reply(c,
                                    xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, 0,
                                                  geometry->width, geometry->height, ~0u),
                                    nullptr));
        const std::size_t count =
            geometry ? static_cast<std::size_t>(geometry->width) * geometry->height : 0;
        if (!image || image->depth < 24 ||
            static_cast<std::size_t>(xcb_get_image_data_length(image.get())) < count * 4) {
            if (error) *error = "the window's pixels could not be read";
        } else {
            auto picture = std::make_shared<Image>();
            picture->width = geometry->width;
            picture->height = geometry->height;
            picture->pixels.resize(count);
            std::memcpy(picture->pixels.data(), xcb_get_image_data(image.get()), count * 4);
            // A window without an alpha channel leaves the top byte undefined.
            if (image->depth == 24)
                for (auto& pixel : picture->pixels)
                    pixel |= 0xFF000000u;
            result = std::move(picture);
        }
        xcb_free_pixmap(c, pixmap);
    }
    xcb_composite_unredirect_window(c, windowID, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
    xcb_flush(c);
    return result;
}

void X11ScreenCapture::captureImage(WindowNumber windowID,
                                    const CaptureConfiguration& configuration,
                                    CaptureImageHandler completion) {
    std::string error;
    ImageRef image = grab(windowID, &error);
    if (image) image = scaledToFit(std::move(image), configuration);
    scheduler_.post(
        [completion = std::move(completion), image = std::move(image), error = std::move(error)] {
            if (image) {
                completion(image, std::nullopt);
            } else {
                completion(nullptr, CaptureError{error});
            }
        });
}

std::shared_ptr<CaptureStream> X11ScreenCapture::createStream(WindowNumber,
                                                              const CaptureConfiguration&) {
    return nullptr;
}

}  // namespace vantorel

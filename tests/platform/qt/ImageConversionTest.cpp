#include "platform/qt/ImageConversion.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantorel {
namespace {

std::shared_ptr<Image> opaqueImage(int width, int height) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    for (int i = 0; i < width * height; ++i)
        image->pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(i * 0x010203));
    return image;
}

TEST(ImageConversion, WrapsTheSamePixelsKeepsThemAliveAndNeverWritesThroughToThem) {
    std::shared_ptr<Image> source = opaqueImage(3, 2);
    const std::uint32_t* pixels = source->pixels.data();
    std::weak_ptr<const Image> watch = source;
    ImageRef ref = std::move(source);
    QImage wrapped = toQImage(ref);
    ASSERT_FALSE(wrapped.isNull());
    EXPECT_EQ(wrapped.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(wrapped.size(), QSize(3, 2));
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(wrapped.constBits()), pixels);
    EXPECT_EQ(wrapped.pixel(2, 1), pixels[5]);
    EXPECT_EQ(toQPixmap(ref).toImage().pixel(2, 1), pixels[5]);
    QImage written = toQImage(ref);
    written.setPixel(0, 0, 0xFFFFFFFFu);  // detaches: the shared pixels stay as they were
    EXPECT_EQ(ref->pixels[0], 0xFF000000u);

    // The core drops its reference (the card got a newer image): the QImage still owns the pixels.
    ref.reset();
    QImage copy = wrapped;
    wrapped = QImage();
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(copy.pixel(1, 0), 0xFF010203u);
    copy = QImage();
    EXPECT_TRUE(watch.expired());
}

TEST(ImageConversion, MissingOrMalformedImagesGiveNothing) {
    EXPECT_TRUE(toQImage(nullptr).isNull());
    EXPECT_TRUE(toQPixmap(nullptr).isNull());
    EXPECT_TRUE(toQImage(std::make_shared<Image>()).isNull());
    // Fewer pixels than the size claims: wrapping would read past the buffer.
    auto truncated = opaqueImage(4, 4);
    truncated->pixels.resize(15);
    std::weak_ptr<const Image> watch = truncated;
    EXPECT_TRUE(toQImage(truncated).isNull());
    truncated.reset();
    EXPECT_TRUE(watch.expired());
    auto negative = opaqueImage(2, 2);
    negative->width = negative->height = -2;
    EXPECT_TRUE(toQImage(negative).isNull());
}

}  // namespace
}  // namespace vantorel

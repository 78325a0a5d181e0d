#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/FailureInjection.h"
#include "platform/graphics/PNGEncoding.h"

#include <gtest/gtest.h>

#include <limits>

using namespace graphics;

TEST(BitmapImage, DescribesItsBytesOrIsNotMade) {
    constexpr auto kRGBA = BitmapLayout::RGBAPremultipliedLast;
    struct Case {
        std::uint32_t width, height;
        std::size_t bytesPerRow, byteCount;
        bool made;
    };
    for (const auto c : {Case{2, 3, 8, 24, true}, Case{2, 3, 12, 36, true}, Case{2, 3, 8, 23, false},
                         Case{0, 3, 8, 24, false}, Case{2, 0, 8, 24, false}, Case{2, 3, 7, 24, false},
                         Case{1, 3, std::numeric_limits<std::size_t>::max() / 2, 24, false}}) {
        const auto image = BitmapImage::create(c.width, c.height, c.bytesPerRow, kRGBA,
                                               std::vector<std::uint8_t>(c.byteCount));
        EXPECT_EQ(image != nullptr, c.made) << c.width << "x" << c.height << " " << c.bytesPerRow << " " << c.byteCount;
    }
}

TEST(FailureInjection, EachFlagFailsTheNextCallOfItsOperationOnce) {
    auto& injection = graphics::testing::failureInjection();
    const auto rep = BitmapImageRep::initWithPixelsWide(1, 1);
    const std::vector<std::uint8_t> pixel{0, 0, 0, 255};
    const auto image = BitmapImage::create(1, 1, 4, BitmapLayout::BGRAPremultipliedFirst, pixel);

    injection.failNextBitmapImage = true;
    injection.failNextImageFromPixels = true;
    // Each flag waits for its own operation: decoding makes images too, but
    // not through create().
    const auto png = encodePNG(*image);
    ASSERT_TRUE(png);
    EXPECT_NE(decodePNG(*png), nullptr);
    EXPECT_EQ(rep->CGImage(), nullptr);
    EXPECT_NE(rep->CGImage(), nullptr);
    EXPECT_EQ(BitmapImage::create(1, 1, 4, BitmapLayout::BGRAPremultipliedFirst, pixel), nullptr);
    EXPECT_NE(BitmapImage::create(1, 1, 4, BitmapLayout::BGRAPremultipliedFirst, pixel), nullptr);
    injection.failNextPNGEncoding = true;
    EXPECT_FALSE(encodePNG(*image));
    EXPECT_TRUE(encodePNG(*image));

    injection.failNextPNGEncoding = true;
    injection.reset();
    EXPECT_TRUE(encodePNG(*image));
}

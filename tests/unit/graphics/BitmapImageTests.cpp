#include "platform/graphics/BitmapImage.h"

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

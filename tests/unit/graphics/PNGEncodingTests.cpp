#include "platform/graphics/PNGEncoding.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <optional>

using namespace graphics;

namespace {

// What a PNG file says about itself, read with libpng's full reader rather
// than the code under test.
struct PNGFile {
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    bool tagsSRGB = false;
    int intent = -1;
    std::vector<std::uint8_t> straightPixels;
};

std::optional<PNGFile> inspectPNG(const std::vector<std::uint8_t>& file) {
    struct Reader {
        const std::vector<std::uint8_t>* file;
        std::size_t offset = 0;
    } reader{&file};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PNGFile result;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &reader, [](png_structp png, png_bytep out, png_size_t length) {
        auto* source = static_cast<Reader*>(png_get_io_ptr(png));
        if (source->offset + length > source->file->size()) png_error(png, "truncated");
        std::copy_n(source->file->data() + source->offset, length, out);
        source->offset += length;
    });
    png_read_info(png, info);
    png_get_IHDR(png, info, &result.width, &result.height, &result.bitDepth, &result.colorType, nullptr, nullptr,
                 nullptr);
    result.tagsSRGB = png_get_sRGB(png, info, &result.intent) != 0;
    result.straightPixels.resize(png_get_rowbytes(png, info) * result.height);
    for (png_uint_32 y = 0; y < result.height; ++y) {
        png_read_row(png, result.straightPixels.data() + y * png_get_rowbytes(png, info), nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

std::vector<std::uint8_t> opaqueGradient(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow) {
    std::vector<std::uint8_t> bytes(bytesPerRow * height, 0xEE);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = &bytes[y * bytesPerRow + x * 4];
            pixel[0] = static_cast<std::uint8_t>(x * 37);
            pixel[1] = static_cast<std::uint8_t>(y * 91);
            pixel[2] = static_cast<std::uint8_t>(x * y + 5);
            pixel[3] = 255;
        }
    }
    return bytes;
}

} // namespace

TEST(PNGEncoding, OpaquePixelsSurviveARoundTripExactlyWhateverTheRowPadding) {
    constexpr std::uint32_t kWidth = 13, kHeight = 7;
    for (const std::size_t bytesPerRow : {std::size_t{kWidth * 4}, std::size_t{kWidth * 4 + 12}}) {
        const auto pixels = opaqueGradient(kWidth, kHeight, bytesPerRow);
        const auto original =
            BitmapImage::create(kWidth, kHeight, bytesPerRow, BitmapLayout::RGBAPremultipliedLast, pixels);
        const auto png = encodePNG(*original);
        ASSERT_TRUE(png);
        const auto decoded = decodePNG(*png);
        ASSERT_NE(decoded, nullptr);
        ASSERT_EQ(decoded->width(), kWidth);
        ASSERT_EQ(decoded->height(), kHeight);
        for (std::uint32_t y = 0; y < kHeight; ++y) {
            EXPECT_TRUE(std::ranges::equal(decoded->row(y), original->row(y))) << "row " << y;
        }
    }
}

TEST(PNGEncoding, WritesEightBitRGBATaggedSRGBWithStraightAlpha) {
    // Blue, green, red, alpha in memory, colour premultiplied: opaque
    // background, half-transparent red, fully transparent.
    const std::vector<std::uint8_t> readBack{22, 18, 15, 255, 0, 0, 64, 128, 0, 0, 0, 0};
    const auto png = encodePNG(*BitmapImage::create(3, 1, 12, BitmapLayout::BGRAPremultipliedFirst, readBack));
    ASSERT_TRUE(png);
    const auto file = inspectPNG(*png);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->width, 3u);
    EXPECT_EQ(file->bitDepth, 8);
    EXPECT_EQ(file->colorType, PNG_COLOR_TYPE_RGBA);
    EXPECT_TRUE(file->tagsSRGB);
    EXPECT_EQ(file->intent, PNG_sRGB_INTENT_PERCEPTUAL);
    const std::vector<std::uint8_t> straight{15, 18, 22, 255, 128, 0, 0, 128, 0, 0, 0, 0};
    EXPECT_EQ(file->straightPixels, straight);
}

TEST(PNGEncoding, DecodingPremultipliesAndRejectsWhatIsNoPNG) {
    const auto png = encodePNG(*BitmapImage::create(1, 1, 4, BitmapLayout::RGBAPremultipliedLast, {128, 0, 0, 128}));
    ASSERT_TRUE(png);
    const auto decoded = decodePNG(*png);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->layout(), BitmapLayout::RGBAPremultipliedLast);
    EXPECT_EQ(std::vector<std::uint8_t>(decoded->bytes().begin(), decoded->bytes().end()),
              (std::vector<std::uint8_t>{128, 0, 0, 128}));

    const std::vector<std::uint8_t> truncated(png->begin(), png->begin() + png->size() / 2);
    for (const auto& bytes : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{'<', 's', 'v', 'g'}, truncated}) {
        EXPECT_EQ(decodePNG(bytes), nullptr) << bytes.size();
    }
}

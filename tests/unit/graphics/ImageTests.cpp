#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PNGEncoding.h"

#include "tests/unit/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace graphics;
using graphics::test::drawIntoRaster;
using graphics::test::Pixel;
using graphics::test::pixelAt;

namespace {

constexpr std::uint32_t kLogoWidth = 1478;
constexpr std::uint32_t kLogoHeight = 270;
constexpr Pixel kTransparent{0, 0, 0, 0};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kGreen{0, 255, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};

// Red everywhere, green in the artwork's upper-left quarter.
const std::string kSquareArtwork = svgDocument(R"(<rect width="100" height="100" fill="#f00"/>)"
                                               R"(<rect width="50" height="50" fill="#0f0"/>)");

class ImageTest : public ::testing::Test {
protected:
    std::shared_ptr<Image> load(const std::string& contents) const {
        return Image::initWithContentsOfFile(scratch.write("artwork", contents));
    }
    std::shared_ptr<BitmapImage> rasterise(const std::string& contents, std::uint32_t width = kLogoWidth,
                                           std::uint32_t height = kLogoHeight) const {
        const auto image = load(contents);
        if (!image) return nullptr;
        return drawIntoRaster(*image, BitmapImageRep::initWithPixelsWide(width, height));
    }

    ScratchDirectory scratch;
};

} // namespace

TEST_F(ImageTest, FilesThatHoldNoImageGiveNone) {
    for (const std::string contents : {"", "plain text", "<?xml version=\"1.0\"?><svg", "<html><body/></html>", "\x89PNG\r\n\x1a\n garbage"}) {
        EXPECT_EQ(load(contents), nullptr) << contents;
    }
    EXPECT_EQ(Image::initWithContentsOfFile(scratch.write("x", "") / "missing.svg"), nullptr);
    EXPECT_EQ(Image::initWithContentsOfFile("/nonexistent/overlay-logo.svg"), nullptr);
}

TEST_F(ImageTest, SVGSizeComesFromItsPixelSizeElseItsViewBox) {
    struct Case {
        std::string attributes;
        Size expected;
    };
    for (const auto& c : {Case{R"(width="40" height="20" viewBox="0 0 4 2")", {40, 20}},
                          Case{R"(viewBox="0 0 1478 270")", {1478, 270}},
                          Case{R"(width="100%" height="100%")", {0, 0}}}) {
        const auto image = load(svgDocument("", c.attributes));
        ASSERT_NE(image, nullptr) << c.attributes;
        EXPECT_EQ(image->size().width, c.expected.width) << c.attributes;
        EXPECT_EQ(image->size().height, c.expected.height) << c.attributes;
    }
}

TEST_F(ImageTest, ArtworkOfAnotherAspectRatioIsStretchedOverTheWholeRaster) {
    const auto bitmap = rasterise(kSquareArtwork);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width(), kLogoWidth);
    EXPECT_EQ(bitmap->height(), kLogoHeight);
    EXPECT_EQ(bitmap->layout(), BitmapLayout::RGBAPremultipliedLast);
    // Letter-boxing would leave the corners on one axis empty.
    EXPECT_EQ(pixelAt(*bitmap, 0, 0), kGreen);
    EXPECT_EQ(pixelAt(*bitmap, kLogoWidth - 1, 0), kRed);
    EXPECT_EQ(pixelAt(*bitmap, 0, kLogoHeight - 1), kRed);
    EXPECT_EQ(pixelAt(*bitmap, kLogoWidth - 1, kLogoHeight - 1), kRed);
    // Each axis is scaled on its own: the quarter ends half-way along both.
    EXPECT_EQ(pixelAt(*bitmap, kLogoWidth / 2 - 2, kLogoHeight / 2 - 2), kGreen);
    EXPECT_EQ(pixelAt(*bitmap, kLogoWidth / 2 + 1, kLogoHeight / 2 - 2), kRed);
    EXPECT_EQ(pixelAt(*bitmap, kLogoWidth / 2 - 2, kLogoHeight / 2 + 1), kRed);
}

TEST_F(ImageTest, TheRastersTopRowIsTheArtworksTopEdge) {
    const auto bitmap = rasterise(svgDocument(R"(<rect width="1478" height="27" fill="#00f"/>)",
                                              R"(viewBox="0 0 1478 270")"));
    ASSERT_NE(bitmap, nullptr);
    for (const std::uint32_t x : {0u, kLogoWidth / 2, kLogoWidth - 1}) {
        EXPECT_EQ(pixelAt(*bitmap, x, 0), kBlue) << x;
        EXPECT_EQ(pixelAt(*bitmap, x, 26), kBlue) << x;
        EXPECT_EQ(pixelAt(*bitmap, x, 27), kTransparent) << x;
        EXPECT_EQ(pixelAt(*bitmap, x, kLogoHeight - 1), kTransparent) << x;
    }
}

TEST_F(ImageTest, CopyReplacesEarlierContentWhereOverBlendsOnIt) {
    const auto leftHalf = load(svgDocument(R"(<rect width="50" height="100" fill="#00f"/>)"));
    const auto opaque = load(kSquareArtwork);
    struct Case {
        CompositingOperation operation;
        Pixel right;
    };
    for (const auto c : {Case{CompositingOperation::Copy, kTransparent}, Case{CompositingOperation::SourceOver, kRed}}) {
        const auto rep = BitmapImageRep::initWithPixelsWide(40, 20);
        drawIntoRaster(*opaque, rep);
        const auto bitmap = drawIntoRaster(*leftHalf, rep, c.operation);
        EXPECT_EQ(pixelAt(*bitmap, 0, 0), kBlue);
        EXPECT_EQ(pixelAt(*bitmap, 39, 19), c.right);
    }
}

TEST_F(ImageTest, ArtworkThatDrawsNothingGivesAFullyTransparentRaster) {
    const auto bitmap = rasterise(svgDocument("", R"(width="10" height="10")"));
    ASSERT_NE(bitmap, nullptr);
    for (const auto byte : bitmap->bytes()) ASSERT_EQ(byte, 0);
}

TEST_F(ImageTest, ArtworkSizedInPercentFillsTheRectItIsDrawnInto) {
    const auto bitmap = rasterise(
        svgDocument(R"(<rect width="100%" height="50%" fill="#f00"/>)", R"(width="100%" height="100%")"), 20, 10);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(pixelAt(*bitmap, 19, 4), kRed);
    EXPECT_EQ(pixelAt(*bitmap, 19, 5), kTransparent);
}

TEST_F(ImageTest, ASourceRectangleSelectsAPartMeasuredFromTheImagesBottom) {
    const auto image = load(kSquareArtwork);
    const auto rep = BitmapImageRep::initWithPixelsWide(8, 8);
    const auto context = GraphicsContext::graphicsContextWithBitmapImageRep(rep);
    GraphicsContext::setCurrentContext(context);
    // The upper-left quarter, in coordinates that grow upwards.
    image->drawInRect({{0, 0}, {8, 8}}, {{0, 50}, {50, 50}}, CompositingOperation::Copy, 1.0, true);
    GraphicsContext::setCurrentContext(nullptr);
    const auto bitmap = rep->CGImage();
    EXPECT_EQ(pixelAt(*bitmap, 0, 0), kGreen);
    EXPECT_EQ(pixelAt(*bitmap, 7, 7), kGreen);
}

TEST_F(ImageTest, AFlippedContextShowsTheArtworkUprightOnlyWhenRespected) {
    const auto image = load(kSquareArtwork);
    struct Case {
        bool flipped, respectFlipped;
        Pixel topLeft;
    };
    for (const auto c : {Case{false, false, kGreen}, Case{false, true, kGreen}, Case{true, true, kGreen},
                         Case{true, false, kRed}}) {
        const auto rep = BitmapImageRep::initWithPixelsWide(8, 8);
        GraphicsContext::setCurrentContext(GraphicsContext::graphicsContextWithBitmapImageRep(rep, c.flipped));
        image->drawInRect({{0, 0}, {8, 8}}, {}, CompositingOperation::Copy, 1.0, c.respectFlipped);
        GraphicsContext::setCurrentContext(nullptr);
        EXPECT_EQ(pixelAt(*rep->CGImage(), 0, 0), c.topLeft) << c.flipped << c.respectFlipped;
    }
}

TEST_F(ImageTest, ThePointSizeSetsTheCoordinatesOfTheRaster) {
    const auto image = load(kSquareArtwork);
    const auto rep = BitmapImageRep::initWithPixelsWide(200, 100);
    rep->setSize({100, 50});
    const auto bitmap = drawIntoRaster(*image, rep);
    EXPECT_EQ(pixelAt(*bitmap, 0, 0), kGreen);
    EXPECT_EQ(pixelAt(*bitmap, 199, 99), kRed);
}

TEST_F(ImageTest, EmptyRectanglesOrNoCurrentContextDrawNothingAndHarmNothing) {
    const auto image = load(kSquareArtwork);
    const auto rep = BitmapImageRep::initWithPixelsWide(4, 4);
    image->drawInRect({{0, 0}, {4, 4}}, {}, CompositingOperation::Copy, 1.0, true);
    GraphicsContext::setCurrentContext(GraphicsContext::graphicsContextWithBitmapImageRep(rep));
    image->drawInRect({{0, 0}, {0, 4}}, {}, CompositingOperation::Copy, 1.0, true);
    image->drawInRect({{0, 0}, {4, 4}}, {{1, 1}, {0, 0}}, CompositingOperation::Copy, 1.0, true);
    EXPECT_EQ(pixelAt(*rep->CGImage(), 3, 3), kTransparent);
    // The context still draws afterwards.
    image->drawInRect({{0, 0}, {4, 4}}, {}, CompositingOperation::Copy, 1.0, true);
    GraphicsContext::setCurrentContext(nullptr);
    EXPECT_EQ(pixelAt(*rep->CGImage(), 3, 3), kRed);
}

TEST_F(ImageTest, PNGFilesDrawScaledWithTheContextsInterpolation) {
    const std::vector<std::uint8_t> redThenBlue{255, 0, 0, 255, 0, 0, 255, 255};
    const auto png = encodePNG(*BitmapImage::create(2, 1, 8, BitmapLayout::RGBAPremultipliedLast, redThenBlue));
    ASSERT_TRUE(png);
    const auto image = load(std::string(png->begin(), png->end()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size().width, 2);
    EXPECT_EQ(image->size().height, 1);
    for (const auto interpolation : {ImageInterpolation::None, ImageInterpolation::High}) {
        const auto rep = BitmapImageRep::initWithPixelsWide(8, 1);
        const auto context = GraphicsContext::graphicsContextWithBitmapImageRep(rep);
        context->setImageInterpolation(interpolation);
        GraphicsContext::setCurrentContext(context);
        image->drawInRect({{0, 0}, {8, 1}}, {}, CompositingOperation::Copy, 1.0, true);
        GraphicsContext::setCurrentContext(nullptr);
        const auto bitmap = rep->CGImage();
        EXPECT_EQ(pixelAt(*bitmap, 0, 0), kRed);
        EXPECT_EQ(pixelAt(*bitmap, 7, 0), kBlue);
        // Only a smoothing filter mixes the two pixels where they meet.
        const bool mixed = pixelAt(*bitmap, 3, 0) != kRed;
        EXPECT_EQ(mixed, interpolation == ImageInterpolation::High);
    }
}

TEST_F(ImageTest, TheShippedLogoFillsTheLogoRasterWithLightPremultipliedStrokes) {
    const auto logo = Image::initWithContentsOfFile(KORLAN_FLOW_RESOURCES_DIR "/overlay-logo.svg");
    ASSERT_NE(logo, nullptr);
    EXPECT_NEAR(logo->size().width / logo->size().height, 5.4724174, 0.01);
    const auto bitmap = drawIntoRaster(*logo, BitmapImageRep::initWithPixelsWide(kLogoWidth, kLogoHeight));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(pixelAt(*bitmap, 0, 0), kTransparent);
    std::size_t opaque = 0;
    for (std::uint32_t y = 0; y < kLogoHeight; ++y) {
        for (std::uint32_t x = 0; x < kLogoWidth; ++x) {
            const Pixel pixel = pixelAt(*bitmap, x, y);
            ASSERT_LE(std::max({pixel[0], pixel[1], pixel[2]}), pixel[3]) << x << "," << y;
            if (pixel[3] == 255) {
                ++opaque;
                ASSERT_GE(std::min({pixel[0], pixel[1], pixel[2]}), 200) << x << "," << y;
            }
        }
    }
    // Strokes cover a good part of the raster, not all of it.
    EXPECT_GT(opaque, kLogoWidth * kLogoHeight / 10);
    EXPECT_LT(opaque, kLogoWidth * kLogoHeight / 2);
}

#include "tests/unit/renderer/RendererHarness.h"

#include "tests/support/GraphicsFaults.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::uint32_t kWidth = 1478, kHeight = 270;
using Pixel = std::array<std::uint8_t, 4>; // red, green, blue, alpha; premultiplied

class LogoTexture : public ::testing::Test {
protected:
    // Builds a renderer whose logo is the given artwork; the raster handed to
    // the texture loader is then in uploads().
    std::shared_ptr<KORLANFlowRenderer> rendererWithLogo(const std::string& svg, ErrorRef* error = nullptr) {
        harness.bundle.withResource("overlay-logo.svg", svg);
        return harness.makeRenderer(error);
    }
    Pixel pixelAt(std::uint32_t x, std::uint32_t y) const {
        const auto loads = harness.device->textureLoads();
        const auto& load = loads.back();
        const auto* p = load.pixels.data() + y * load.bytesPerRow + x * 4;
        return {p[0], p[1], p[2], p[3]};
    }

    RendererHarness harness;
};

} // namespace

TEST_F(LogoTexture, RasterizesTheArtworkOnceIntoAShaderReadTopLeftTexture) {
    const auto renderer = rendererWithLogo(svgDocument(100, 20, "<rect width=\"100\" height=\"20\" fill=\"#ff0000\"/>"));
    ASSERT_NE(renderer, nullptr);
    const auto loads = harness.device->textureLoads();
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].width, kWidth);
    EXPECT_EQ(loads[0].height, kHeight);
    EXPECT_FALSE(loads[0].options.SRGB);
    EXPECT_EQ(loads[0].options.origin, gpu::TextureLoaderOrigin::TopLeft);
    EXPECT_EQ(loads[0].options.textureUsage, gpu::TextureUsageShaderRead);
    ASSERT_NE(renderer->logoTexture(), nullptr);
    EXPECT_EQ(renderer->logoTexture()->label(), "KORLAN Flow Overlay Logo");
    EXPECT_EQ(renderer->logoTexture()->width(), kWidth);
    EXPECT_EQ(renderer->logoTexture()->height(), kHeight);
}

TEST_F(LogoTexture, StretchesArtworkOfAnotherAspectRatioOverTheWholeRaster) {
    // A square artwork, red on top and blue below, would be letter-boxed if
    // its proportions were kept.
    ASSERT_NE(rendererWithLogo(svgDocument(10, 10, "<rect width=\"10\" height=\"5\" fill=\"#ff0000\"/>"
                                                   "<rect y=\"5\" width=\"10\" height=\"5\" fill=\"#0000ff\"/>")),
              nullptr);
    EXPECT_EQ(pixelAt(0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(kWidth - 1, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(0, kHeight - 1), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(kWidth - 1, kHeight - 1), (Pixel{0, 0, 255, 255}));
}

TEST_F(LogoTexture, TransparentArtworkStaysTransparentAndPremultiplied) {
    ASSERT_NE(rendererWithLogo(svgDocument(100, 20, "<rect width=\"50\" height=\"20\" fill=\"#ffffff\" "
                                                    "fill-opacity=\"0.5\"/>")),
              nullptr);
    const Pixel half = pixelAt(100, 100);
    EXPECT_NEAR(half[0], 128, 1);
    EXPECT_EQ(half[0], half[3]);
    EXPECT_EQ(pixelAt(kWidth - 10, 100), (Pixel{0, 0, 0, 0}));
}

TEST_F(LogoTexture, ArtworkThatDrawsNothingGivesATransparentLogo) {
    ErrorRef error;
    ASSERT_NE(rendererWithLogo(svgDocument(547, 100, ""), &error), nullptr);
    EXPECT_EQ(error, nullptr);
    const auto loads = harness.device->textureLoads();
    for (std::uint8_t byte : loads.back().pixels) ASSERT_EQ(byte, 0);
}

TEST_F(LogoTexture, AMissingOrUnreadableLogoFailsConstructionWithCodeSix) {
    for (const char* contents : std::initializer_list<const char*>{nullptr, "this is no image", "<svg xmlns=\"http://www.w3.org/2000/svg\""}) {
        RendererHarness harness;
        TestBundle bare;
        if (contents) bare.withResource("overlay-logo.svg", contents);
        ErrorRef error;
        EXPECT_EQ(KORLANFlowRenderer::initWithMetalView(harness.view, *bare.bundle(), &error), nullptr);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), 6);
        EXPECT_EQ(error->localizedDescription(), "KORLAN-Logo fehlt oder kann nicht gelesen werden.");
        EXPECT_TRUE(harness.device->textureLoads().empty());
    }
}

// Without a drawing context the raster would stay blank and still yield an
// image: that must fail like a raster that yields none, not pass as a logo.
TEST_F(LogoTexture, ARasterWithoutDrawingContextOrImageFailsWithCodeSeven) {
    for (const auto fault : {GraphicsFault::NoGraphicsContext, GraphicsFault::NoBitmapImage}) {
        const FailNextGraphicsCall failure(fault);
        ErrorRef error;
        EXPECT_EQ(harness.makeRenderer(&error), nullptr);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), 7);
        EXPECT_EQ(error->localizedDescription(), "KORLAN-Logo konnte nicht rasterisiert werden.");
        EXPECT_TRUE(harness.device->textureLoads().empty());
    }
}

TEST_F(LogoTexture, LeavesTheCallersGraphicsContextCurrent) {
    const auto mine = graphics::GraphicsContext::graphicsContextWithBitmapImageRep(
        graphics::BitmapImageRep::initWithPixelsWide(4, 4));
    graphics::GraphicsContext::setCurrentContext(mine);
    ASSERT_NE(harness.makeRenderer(), nullptr);
    EXPECT_EQ(graphics::GraphicsContext::currentContext(), mine);
    for (const auto fault : {GraphicsFault::NoGraphicsContext, GraphicsFault::NoBitmapImage}) {
        const FailNextGraphicsCall failure(fault);
        EXPECT_EQ(harness.makeRenderer(), nullptr);
        EXPECT_EQ(graphics::GraphicsContext::currentContext(), mine);
    }
    graphics::GraphicsContext::setCurrentContext(nullptr);
}

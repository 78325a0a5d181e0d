#include "tests/integration/shaders/ShaderTestFixture.h"

#include "platform/gpu/TextureLoader.h"

#include <cmath>

namespace {

// Premultiplied RGBA texels as the logo raster holds them, one per pixel
// of a 4 x 2 target: opaque, half, faint and fully transparent colour.
constexpr std::uint32_t kColumns = 4;
constexpr std::uint32_t kRows = 2;
constexpr std::array<std::array<std::uint8_t, 4>, kColumns * kRows> kLogoTexels{{
    {200, 100, 50, 255}, {100, 64, 20, 128}, {51, 0, 25, 51}, {0, 0, 0, 0},
    {255, 255, 255, 255}, {0, 128, 128, 128}, {10, 20, 30, 40}, {3, 2, 1, 4},
}};
// What the pattern shows under the logo, as red, green, blue.
constexpr std::array<double, 3> kUnderneath{40.0, 80.0, 120.0};

// Source-over of premultiplied colour: what a correct logo pass leaves.
double over(std::uint8_t premultiplied, std::uint8_t alpha, double destination) {
    return premultiplied + destination * (1.0 - alpha / 255.0);
}

class LogoProgram : public ShaderTest {
protected:
    std::shared_ptr<gpu::Texture> loadLogo() const {
        std::vector<std::uint8_t> bytes;
        for (const auto& texel : kLogoTexels) bytes.insert(bytes.end(), texel.begin(), texel.end());
        const gpu::CPUImage image{kColumns, kRows, kColumns * 4, bytes.data()};
        gpu::TextureLoaderOptions options;
        options.SRGB = false;
        options.origin = gpu::TextureLoaderOrigin::TopLeft;
        return device_->newTextureLoader()->newTextureWithImage(image, options);
    }
};

TEST_F(LogoProgram, BlendsItsPremultipliedRasterExactlyOverThePattern) {
    // The quad over the whole target, two triangles as the scene draws it.
    constexpr std::array<KORLANFlowLogoVertex, 6> kQuad{{
        {-1, 1, 0, 0}, {-1, -1, 0, 1}, {1, 1, 1, 0}, {1, 1, 1, 0}, {-1, -1, 0, 1}, {1, -1, 1, 1},
    }};
    const Pass pass{.pipeline = newPipeline("logoVertex", "logoFragment", true),
                    .clearColor = {kUnderneath[0] / 255.0, kUnderneath[1] / 255.0, kUnderneath[2] / 255.0, 1.0},
                    .vertexBytes = blockBytes(kQuad),
                    .texture = loadLogo(),
                    .sampler = newSampler(gpu::SamplerMinMagFilter::Nearest),
                    .vertexCount = kQuad.size()};
    ASSERT_TRUE(pass.pipeline && pass.texture);

    const auto pixels = render(newTarget(kColumns, kRows), std::span(&pass, 1));
    ASSERT_FALSE(pixels.bytes.empty());
    for (std::uint32_t y = 0; y < kRows; ++y) {
        for (std::uint32_t x = 0; x < kColumns; ++x) {
            const auto& texel = kLogoTexels[y * kColumns + x];
            const auto bgra = pixels.at(x, y);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(bgra[2 - c], over(texel[c], texel[3], kUnderneath[c]), 1.0)
                    << "texel " << x << "," << y << " channel " << c;
            }
            EXPECT_EQ(bgra[3], 255) << x << "," << y;
        }
    }
}

} // namespace

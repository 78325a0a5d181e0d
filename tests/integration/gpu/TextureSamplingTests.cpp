#include "tests/integration/gpu/GpuTest.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using Rgba = std::array<std::uint8_t, 4>;

// An image held in memory, in the texture loader's byte order.
struct Image {
    std::uint32_t width;
    std::uint32_t height;
    std::vector<Rgba> texels; // rows from the top

    gpu::CPUImage view() const {
        return {width, height, width * sizeof(Rgba), reinterpret_cast<const std::uint8_t*>(texels.data())};
    }
    const Rgba& at(int x, int y) const { return texels[static_cast<std::size_t>(y) * width + x]; }
};

// What linear filtering with clamp-to-edge gives at one pixel's centre when
// the image is stretched over the target.
double bilinear(const Image& image, std::size_t channel, std::uint32_t x, std::uint32_t y, std::uint32_t targetSize) {
    auto axis = [&](std::uint32_t pixel, std::uint32_t texels, int& first, int& second) {
        const double position = (pixel + 0.5) / targetSize * texels - 0.5;
        const double floor = std::floor(position);
        first = std::clamp(static_cast<int>(floor), 0, static_cast<int>(texels) - 1);
        second = std::clamp(static_cast<int>(floor) + 1, 0, static_cast<int>(texels) - 1);
        return position - floor;
    };
    int x0, x1, y0, y1;
    const double fx = axis(x, image.width, x0, x1);
    const double fy = axis(y, image.height, y0, y1);
    auto value = [&](int tx, int ty) { return static_cast<double>(image.at(tx, ty)[channel]); };
    const double top = value(x0, y0) * (1 - fx) + value(x1, y0) * fx;
    const double bottom = value(x0, y1) * (1 - fx) + value(x1, y1) * fx;
    return top * (1 - fy) + bottom * fy;
}

// The texel as a BGRA target stores it.
Pixel asTargetPixel(const Rgba& texel) { return {texel[2], texel[1], texel[0], texel[3]}; }

const Image kCorners{2, 2, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}}};

} // namespace

class TextureSamplingTest : public GpuTest {
protected:
    std::shared_ptr<gpu::Texture> load(const Image& image, bool sRGB, gpu::TextureLoaderOrigin origin) {
        gpu::TextureLoaderOptions options;
        options.SRGB = sRGB;
        options.origin = origin;
        foundation::ErrorRef error;
        auto texture = device_->newTextureLoader()->newTextureWithImage(image.view(), options, &error);
        EXPECT_NE(texture, nullptr) << (error ? error->localizedDescription() : "no error");
        return texture;
    }

    Pixels stretch(const std::shared_ptr<gpu::Texture>& source, std::uint32_t width, std::uint32_t height,
                   gpu::SamplerMinMagFilter filter) {
        const auto target = newTarget(width, height);
        draw(target, {.pipeline = newPipeline("fullscreenVertex", "sampledFragment"),
                      .texture = source,
                      .sampler = newSampler(filter)});
        return readPixels(*target);
    }
};

TEST_F(TextureSamplingTest, StretchesWithLinearFilteringClampedToTheEdges) {
    constexpr std::uint32_t kSize = 64;
    const auto pixels = stretch(load(kCorners, false, gpu::TextureLoaderOrigin::TopLeft), kSize, kSize,
                                gpu::SamplerMinMagFilter::Linear);
    // Clamped, the outermost pixels are the corner texels themselves.
    EXPECT_EQ(pixels.at(0, 0), asTargetPixel(kCorners.at(0, 0)));
    EXPECT_EQ(pixels.at(kSize - 1, 0), asTargetPixel(kCorners.at(1, 0)));
    EXPECT_EQ(pixels.at(0, kSize - 1), asTargetPixel(kCorners.at(0, 1)));
    EXPECT_EQ(pixels.at(kSize - 1, kSize - 1), asTargetPixel(kCorners.at(1, 1)));
    for (std::uint32_t y = 0; y < kSize; y += 9) {
        for (std::uint32_t x = 0; x < kSize; x += 7) {
            const Pixel actual = pixels.at(x, y);
            for (std::size_t channel = 0; channel < 3; ++channel) {
                const double expected = bilinear(kCorners, channel, x, y, kSize);
                EXPECT_NEAR(actual[2 - channel], expected, 2.0) << "channel " << channel << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(TextureSamplingTest, LoadsImagesWithTheirFirstRowWhereTheOriginSays) {
    const Image image{2, 3, {{10, 20, 30, 255}, {40, 50, 60, 200}, {70, 80, 90, 255},
                             {100, 110, 120, 128}, {130, 140, 150, 255}, {160, 170, 180, 0}}};
    for (const auto origin : {gpu::TextureLoaderOrigin::TopLeft, gpu::TextureLoaderOrigin::BottomLeft}) {
        const auto texture = load(image, false, origin);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->pixelFormat(), gpu::PixelFormat::RGBA8Unorm);
        EXPECT_EQ(texture->storageMode(), gpu::StorageMode::Private);
        const auto pixels = stretch(texture, image.width, image.height, gpu::SamplerMinMagFilter::Nearest);
        for (std::uint32_t y = 0; y < image.height; ++y) {
            const std::uint32_t sourceRow = origin == gpu::TextureLoaderOrigin::TopLeft ? y : image.height - 1 - y;
            for (std::uint32_t x = 0; x < image.width; ++x) {
                EXPECT_EQ(pixels.at(x, y), asTargetPixel(image.at(x, sourceRow))) << x << "," << y;
            }
        }
    }
}

TEST_F(TextureSamplingTest, SRGBImagesAreDecodedToLinearLightWhenSampled) {
    const Image image{1, 1, {{188, 64, 255, 77}}};
    const auto texture = load(image, true, gpu::TextureLoaderOrigin::TopLeft);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->pixelFormat(), gpu::PixelFormat::RGBA8Unorm_sRGB);
    const Pixel actual = stretch(texture, 2, 2, gpu::SamplerMinMagFilter::Nearest).at(1, 1);
    auto linear = [](std::uint8_t encoded) { return std::pow((encoded / 255.0 + 0.055) / 1.055, 2.4); };
    EXPECT_NEAR(actual[2], unorm8(linear(188)), 1);
    EXPECT_NEAR(actual[1], unorm8(linear(64)), 1);
    EXPECT_EQ(actual[0], 255);
    EXPECT_EQ(actual[3], 77) << "alpha is stored linearly";
}

TEST_F(TextureSamplingTest, ImagesWithoutPixelsGiveAnError) {
    const std::uint8_t pixel[4] = {1, 2, 3, 4};
    for (const auto& image : {gpu::CPUImage{0, 1, 4, pixel}, gpu::CPUImage{1, 0, 4, pixel},
                              gpu::CPUImage{1, 1, 4, nullptr}, gpu::CPUImage{2, 1, 4, pixel}}) {
        foundation::ErrorRef error;
        EXPECT_EQ(device_->newTextureLoader()->newTextureWithImage(image, {}, &error), nullptr);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), gpu::kErrorDomain);
    }
}

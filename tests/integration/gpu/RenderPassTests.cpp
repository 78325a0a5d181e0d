#include "tests/integration/gpu/GpuTest.h"

#include <cstdlib>

namespace {

// Two triangles over the upper half: NDC y from +1 (the top edge) to 0.
std::vector<float> upperHalfQuad() {
    return {-1, 1, 0, 0, -1, 0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, -1, 0, 0, 1, 1, 0, 1, 1};
}

Pixel bgra(double red, double green, double blue, double alpha) {
    return {unorm8(blue), unorm8(green), unorm8(red), unorm8(alpha)};
}

bool near(const Pixel& actual, const Pixel& expected, int tolerance) {
    for (std::size_t channel = 0; channel < actual.size(); ++channel) {
        if (std::abs(int{actual[channel]} - int{expected[channel]}) > tolerance) return false;
    }
    return true;
}

} // namespace

class RenderPassTest : public GpuTest {};

TEST_F(RenderPassTest, AFullscreenTriangleCoversEveryPixel) {
    const auto target = newTarget(61, 37);
    ASSERT_NE(target, nullptr);
    draw(target, {.pipeline = newPipeline("fullscreenVertex", "flatFragment"),
                  .fragmentBytes = colorBytes(0.2f, 0.4f, 0.6f, 1.0f)});
    const auto pixels = readPixels(*target);
    const Pixel expected = bgra(0.2, 0.4, 0.6, 1.0);
    int uncovered = 0;
    for (std::uint32_t y = 0; y < pixels.height; ++y) {
        for (std::uint32_t x = 0; x < pixels.width; ++x) uncovered += pixels.at(x, y) != expected;
    }
    EXPECT_EQ(uncovered, 0);
}

TEST_F(RenderPassTest, ReadBackStartsAtTheTopRowWithTheCallersRowPitch) {
    const auto target = newTarget(16, 8);
    ASSERT_NE(target, nullptr);
    draw(target, {.pipeline = newPipeline("quadVertex", "flatFragment"),
                  .clearColor = {0.0, 0.0, 1.0, 1.0},
                  .vertexBytes = upperHalfQuad(),
                  .fragmentBytes = colorBytes(1.0f, 0.0f, 0.0f, 1.0f),
                  .vertexCount = 6});
    const Pixel red = bgra(1, 0, 0, 1);
    const Pixel blue = bgra(0, 0, 1, 1);
    const auto pixels = readPixels(*target);
    for (std::uint32_t y = 0; y < 8; ++y) EXPECT_EQ(pixels.at(5, y), y < 4 ? red : blue) << "row " << y;

    // Rows 3 to 5 of columns 2 to 6, into rows padded by 12 bytes that stay
    // as they were.
    constexpr std::size_t kRowPitch = 5 * 4 + 12;
    constexpr std::uint8_t kUntouched = 0xAB;
    std::vector<std::uint8_t> bytes(kRowPitch * 3, kUntouched);
    target->getBytes(bytes.data(), kRowPitch, {{2, 3, 0}, {5, 3, 1}}, 0);
    for (std::size_t row = 0; row < 3; ++row) {
        const Pixel expected = row == 0 ? red : blue;
        for (std::size_t column = 0; column < 5; ++column) {
            const std::uint8_t* pixel = bytes.data() + row * kRowPitch + column * 4;
            EXPECT_EQ((Pixel{pixel[0], pixel[1], pixel[2], pixel[3]}), expected) << row << "," << column;
        }
        for (std::size_t pad = 20; pad < kRowPitch; ++pad) EXPECT_EQ(bytes[row * kRowPitch + pad], kUntouched);
    }
}

TEST_F(RenderPassTest, BlendsTheSourceOverTheDestinationByTheSourceAlpha) {
    struct Case {
        gpu::ClearColor destination;
        std::array<float, 4> source;
    };
    const auto pipeline = newPipeline("fullscreenVertex", "flatFragment", true);
    for (const auto& c : {Case{{0.2, 0.4, 0.6, 1.0}, {1.0f, 0.5f, 0.0f, 0.25f}},
                          Case{{0.2, 0.4, 0.6, 0.5}, {0.0f, 1.0f, 1.0f, 0.6f}},
                          Case{{0.8, 0.1, 0.3, 1.0}, {0.5f, 0.5f, 0.5f, 0.0f}}}) {
        const auto target = newTarget(4, 4);
        draw(target, {.pipeline = pipeline,
                      .clearColor = c.destination,
                      .fragmentBytes = colorBytes(c.source[0], c.source[1], c.source[2], c.source[3])});
        const double a = c.source[3];
        const Pixel expected = bgra(c.source[0] * a + c.destination.red * (1 - a),
                                    c.source[1] * a + c.destination.green * (1 - a),
                                    c.source[2] * a + c.destination.blue * (1 - a), a + c.destination.alpha * (1 - a));
        const Pixel actual = readPixels(*target).at(2, 1);
        EXPECT_TRUE(near(actual, expected, 1))
            << "alpha " << a << ": got " << int{actual[2]} << "," << int{actual[1]} << "," << int{actual[0]} << ","
            << int{actual[3]};
    }
}

TEST_F(RenderPassTest, LoadKeepsWhatEarlierBuffersStored) {
    const auto target = newTarget(8, 8);
    const auto first = queue_->commandBuffer();
    encodePass(*first, target, {.pipeline = newPipeline("fullscreenVertex", "flatFragment"),
                                .fragmentBytes = colorBytes(0.0f, 1.0f, 0.0f, 1.0f)});
    const auto second = queue_->commandBuffer();
    encodePass(*second, target, {.pipeline = newPipeline("quadVertex", "flatFragment"),
                                 .loadAction = gpu::LoadAction::Load,
                                 .vertexBytes = upperHalfQuad(),
                                 .fragmentBytes = colorBytes(1.0f, 0.0f, 0.0f, 1.0f),
                                 .vertexCount = 6});
    first->commit();
    second->commit();
    second->waitUntilCompleted();
    const auto pixels = readPixels(*target);
    EXPECT_EQ(pixels.at(3, 0), bgra(1, 0, 0, 1));
    EXPECT_EQ(pixels.at(3, 7), bgra(0, 1, 0, 1));
}

TEST_F(RenderPassTest, PassesNeedATextureThatCanBeARenderTarget) {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(kTargetFormat, 4, 4, false);
    descriptor.usage = gpu::TextureUsageShaderRead;
    const auto sampledOnly = device_->newTextureWithDescriptor(descriptor);
    ASSERT_NE(sampledOnly, nullptr);
    const auto commandBuffer = queue_->commandBuffer();
    for (const auto& texture : {std::shared_ptr<gpu::Texture>(), sampledOnly}) {
        auto pass = gpu::RenderPassDescriptor::renderPassDescriptor();
        pass.colorAttachments[0].texture = texture;
        EXPECT_EQ(commandBuffer->renderCommandEncoderWithDescriptor(pass), nullptr);
    }
}

TEST_F(RenderPassTest, TexturesOfNoValidFormatOrSizeAreNotMade) {
    struct Case {
        gpu::PixelFormat format;
        std::uint64_t width, height;
    };
    for (const auto& c : {Case{gpu::PixelFormat::Invalid, 4, 4}, Case{kTargetFormat, 0, 4},
                          Case{kTargetFormat, 4, 0}, Case{kTargetFormat, 1u << 20, 4}}) {
        const auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(c.format, c.width, c.height, false);
        EXPECT_EQ(device_->newTextureWithDescriptor(descriptor), nullptr) << c.width << "x" << c.height;
    }
}

// The renderer on the real GPU backend, built from the bundle as it ships,
// with the validation layer on: any message it reports fails the test.
#include "renderer/KORLANFlowRenderer.h"
#include "tests/support/GpuTestSupport.h"
#include "tests/support/PixelStatistics.h"
#include "tests/support/ScratchDirectoryVariable.h"
#include "tests/support/TestBundle.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/graphics/PNGEncoding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

namespace {

class RendererOnGPU : public ::testing::Test {
protected:
    void SetUp() override {
        gpu::setDeviceOptions(validatedTestDeviceOptions());
        device = gpu::Device::createSystemDefaultDevice();
        ASSERT_NE(device, nullptr) << "no Vulkan device, not even a software one";
        bundle = foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH);
        ASSERT_NE(bundle, nullptr);
        takeValidationMessages();
    }
    void TearDown() override {
        dispatch::MainQueue::shared().drain();
        EXPECT_THAT(takeValidationMessages(), ::testing::IsEmpty());
    }

    // A renderer on a view of the given size in points, scale pixels each.
    std::shared_ptr<KORLANFlowRenderer> rendererFor(view::Size points, double scale = 1.0, float seed = 4242.0f) {
        views.push_back(view::MetalView::initWithFrame({{0.0, 0.0}, points}, device, scale));
        ErrorRef error;
        auto renderer = KORLANFlowRenderer::initWithMetalView(views.back(), *bundle, &error);
        EXPECT_NE(renderer, nullptr) << (error ? error->localizedDescription() : "no error given");
        if (renderer) {
            renderer->setRandomSeed(seed);
            renderer->setElapsedTime(321.0f);
        }
        return renderer;
    }
    static Pixels capture(KORLANFlowRenderer& renderer) {
        Pixels pixels;
        std::uint64_t width = 0, height = 0;
        ErrorRef error;
        EXPECT_TRUE(renderer.copyCurrentFramePixels(pixels.bytes, &width, &height, &error))
            << (error ? error->localizedDescription() : "");
        pixels.width = std::uint32_t(width);
        pixels.height = std::uint32_t(height);
        return pixels;
    }

    ScratchDirectoryVariable cacheHome{"XDG_CACHE_HOME"};
    std::shared_ptr<gpu::Device> device;
    std::shared_ptr<foundation::Bundle> bundle;
    std::vector<std::shared_ptr<view::MetalView>> views;
};

// Pixels that differ between two captures, inside and outside a box.
struct Differences {
    std::size_t inside = 0, outside = 0;
};

Differences differencesAround(const Pixels& a, const Pixels& b, std::uint32_t boxRight, std::uint32_t boxBottom) {
    Differences differences;
    for (std::uint32_t y = 0; y < a.height; ++y) {
        for (std::uint32_t x = 0; x < a.width; ++x) {
            if (a.at(x, y) == b.at(x, y)) continue;
            ++(x < boxRight && y < boxBottom ? differences.inside : differences.outside);
        }
    }
    return differences;
}

// Blanks the upper-left corner, where the logo sits.
Pixels withoutCorner(Pixels pixels, std::uint32_t right, std::uint32_t bottom) {
    for (std::uint32_t y = 0; y < bottom; ++y) {
        std::fill_n(pixels.bytes.begin() + std::ptrdiff_t(y) * pixels.width * 4, right * 4, std::uint8_t{0});
    }
    return pixels;
}

} // namespace

TEST_F(RendererOnGPU, DrawsTheLogoOverThePatternInTheUpperLeftCorner) {
    const auto renderer = rendererFor({640.0, 360.0});
    ASSERT_NE(renderer, nullptr);
    ASSERT_NE(renderer->logoTexture(), nullptr);
    EXPECT_EQ(renderer->logoTexture()->width(), 1478u);
    EXPECT_EQ(renderer->logoTexture()->height(), 270u);

    const Pixels withLogo = capture(*renderer);
    renderer->setLogoTexture(nullptr);
    const Pixels patternOnly = capture(*renderer);
    EXPECT_GT(shareAwayFromBackground(patternOnly, 2), 0.5);
    // At 640 points wide the logo is 24 points high, 16 from the corner.
    const auto differences = differencesAround(withLogo, patternOnly, 16 + 132 + 1, 16 + 24 + 1);
    EXPECT_EQ(differences.outside, 0u);
    EXPECT_GT(differences.inside, 300u);
}

TEST_F(RendererOnGPU, AReducedFrameLooksLikeTheFullOneScaledDown) {
    const auto full = rendererFor({1920.0, 1080.0}, 1.0);
    const auto reduced = rendererFor({1920.0, 1080.0}, 2.0);
    ASSERT_TRUE(full && reduced);
    const Pixels native = capture(*full);
    const Pixels large = capture(*reduced);
    ASSERT_EQ(large.width, 3840u);
    ASSERT_NE(reduced->reducedPatternTexture(), nullptr);
    EXPECT_EQ(reduced->reducedPatternTexture()->width(), 2731u);
    EXPECT_EQ(full->reducedPatternTexture(), nullptr);

    // Compared at 960 x 540, outside the logo's corner.
    const Pixels a = withoutCorner(downsample(native, 960, 540), 100, 40);
    const Pixels b = withoutCorner(downsample(large, 960, 540), 100, 40);
    EXPECT_LE(meanAbsoluteDifference(a, b), 2.0);
}

TEST_F(RendererOnGPU, CapturesAreRepeatableAndFollowSeedTimeAndSettings) {
    const auto renderer = rendererFor({320.0, 180.0});
    ASSERT_NE(renderer, nullptr);
    std::uint64_t first = 0, again = 0;
    ASSERT_TRUE(renderer->captureFrameChecksum(&first, nullptr));
    ASSERT_TRUE(renderer->captureFrameChecksum(&again, nullptr));
    EXPECT_EQ(first, again);

    const auto checksumAfter = [&](auto change) {
        const auto other = rendererFor({320.0, 180.0});
        change(*other);
        std::uint64_t checksum = 0;
        EXPECT_TRUE(other->captureFrameChecksum(&checksum, nullptr));
        return checksum;
    };
    EXPECT_NE(checksumAfter([](KORLANFlowRenderer& r) { r.setRandomSeed(4243.0f); }), first);
    EXPECT_NE(checksumAfter([](KORLANFlowRenderer& r) { r.setElapsedTime(330.0f); }), first);
    EXPECT_NE(checksumAfter([](KORLANFlowRenderer& r) { r.applyConfiguration({0.8f, 0.5f, 1.0f}); }), first);
}

TEST_F(RendererOnGPU, ThePNGCarriesTheReadBackColoursAndTheSRGBTag) {
    const auto renderer = rendererFor({160.0, 90.0});
    ASSERT_NE(renderer, nullptr);
    const Pixels pixels = capture(*renderer);
    const auto png = renderer->captureFramePNGWithError();
    ASSERT_NE(png, nullptr);
    const std::string_view file(reinterpret_cast<const char*>(png->data()), png->size());
    EXPECT_NE(file.find("sRGB"), std::string_view::npos);
    const auto decoded = graphics::decodePNG(*png);
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(decoded->width(), pixels.width);
    const auto rgba = decoded->bytes();
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < pixels.bytes.size(); i += 4) {
        mismatches += rgba[i] != pixels.bytes[i + 2] || rgba[i + 1] != pixels.bytes[i + 1] ||
                      rgba[i + 2] != pixels.bytes[i] || rgba[i + 3] != 255;
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST_F(RendererOnGPU, FramesAreCountedWhenTheyArePresented) {
    const auto renderer = rendererFor({320.0, 180.0});
    ASSERT_NE(renderer, nullptr);
    views.back()->setDelegate(renderer);
    renderer->startAtTimestamp(0.0);
    for (int frame = 0; frame < 5; ++frame) views.back()->draw();
    renderer->stopAndWaitForPendingCommands();
    // The presented reports hop to the main queue after the GPU thread saw
    // each frame complete.
    dispatch::MainQueue::shared().runUntil([&] { return renderer->presentedFrameCount() >= 5; },
                                           std::chrono::seconds(2));
    EXPECT_EQ(renderer->frameCount(), 5u);
    EXPECT_EQ(renderer->presentedFrameCount(), 5u);
    EXPECT_EQ(renderer->lastError(), nullptr);
}

TEST_F(RendererOnGPU, ABundleWithoutWorkingProgramsOrLogoGivesNoRenderer) {
    struct Case {
        const char* what;
        std::function<void(TestBundle&)> build;
        std::string domain;
        long code;
    };
    const std::string rendererDomain = "de.korlan.flow.Renderer";
    const std::vector<Case> cases{
        {"no program library", [](TestBundle& b) { b.withBuiltResource("overlay-logo.svg"); }, rendererDomain, 3},
        {"a library that is no SPIR-V",
         [](TestBundle& b) { b.withBuiltResource("overlay-logo.svg").withResource("default.spv", "not SPIR-V"); },
         gpu::kErrorDomain, -3},
        {"no logo", [](TestBundle& b) { b.withBuiltResource("default.spv"); }, rendererDomain, 6},
    };
    const auto view = view::MetalView::initWithFrame({{0.0, 0.0}, {320.0, 180.0}}, device);
    for (const auto& c : cases) {
        TestBundle broken;
        c.build(broken);
        ErrorRef error;
        EXPECT_EQ(KORLANFlowRenderer::initWithMetalView(view, *broken.bundle(), &error), nullptr) << c.what;
        ASSERT_NE(error, nullptr) << c.what;
        EXPECT_EQ(error->domain(), c.domain) << c.what;
        EXPECT_EQ(error->code(), c.code) << c.what << ": " << error->localizedDescription();
    }
}

#include "tests/unit/renderer/RendererHarness.h"

#include "tests/support/GraphicsFaults.h"

#include "platform/graphics/PNGEncoding.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

class FrameCapture : public ::testing::Test {
protected:
    void SetUp() override {
        renderer = harness.makeRenderer();
        ASSERT_NE(renderer, nullptr);
        harness.device->clearRecording();
    }

    // The next capture reads back a frame of this size filled with these
    // pixels (blue, green, red, alpha each).
    void nextFrame(double width, double height, Bytes pixels) {
        renderer->updateDrawableMetrics({width, height});
        harness.device->nextTextureContents = std::move(pixels);
    }
    std::uint64_t checksumOf(Bytes pixel, std::uint64_t* occupied = nullptr) {
        nextFrame(1, 1, std::move(pixel));
        std::uint64_t checksum = 0;
        EXPECT_TRUE(renderer->captureFrameChecksum(&checksum, occupied));
        return checksum;
    }

    RendererHarness harness{{320.0, 180.0}};
    std::shared_ptr<KORLANFlowRenderer> renderer;
};

} // namespace

TEST_F(FrameCapture, ReadsBackAFrameOfTheRoundedDrawableSizeIntoAnExactlySizedBuffer) {
    struct Case {
        double width, height;
        std::uint64_t expectedWidth, expectedHeight;
        std::size_t bufferBefore;
    };
    for (const Case c : {Case{1279.5, 719.5, 1280, 720, 0}, Case{1.4, 2.5, 1, 3, 100}, Case{64, 32, 64, 32, 1 << 20}}) {
        nextFrame(c.width, c.height, {1, 2, 3, 4});
        Bytes pixels(c.bufferBefore, 0xee);
        std::uint64_t width = 0, height = 0;
        ASSERT_TRUE(renderer->copyCurrentFramePixels(pixels, &width, &height));
        EXPECT_EQ(width, c.expectedWidth);
        EXPECT_EQ(height, c.expectedHeight);
        ASSERT_EQ(pixels.size(), c.expectedWidth * c.expectedHeight * 4);
        EXPECT_EQ(pixels[pixels.size() - 4], 1);
        EXPECT_EQ(pixels.back(), 4);

        const auto created = harness.device->textureCreations().back().descriptor;
        EXPECT_EQ(created.width, c.expectedWidth);
        EXPECT_EQ(created.pixelFormat, gpu::PixelFormat::BGRA8Unorm);
        EXPECT_EQ(created.usage, 5u);
        EXPECT_EQ(created.storageMode, gpu::StorageMode::Shared);
    }
    // The capture's buffer is committed, unlabelled, and waited for.
    const auto commands = harness.device->commands();
    EXPECT_TRUE(testing_gpu::commandsOfKind(commands, testing_gpu::CommandKind::SetCommandBufferLabel).empty());
    EXPECT_EQ(commands.back().kind, testing_gpu::CommandKind::WaitUntilCompleted);
}

TEST_F(FrameCapture, LeavesClockCountersAndErrorsAsTheyWere) {
    renderer->startAtTimestamp(0.0);
    renderer->advanceToTimestamp(100.0);
    harness.view->setDelegate(renderer);
    harness.view->draw();
    const float elapsed = renderer->elapsedTime();
    Bytes pixels;
    ASSERT_TRUE(renderer->copyCurrentFramePixels(pixels));
    EXPECT_EQ(renderer->elapsedTime(), elapsed);
    EXPECT_EQ(renderer->frameCount(), 1u);
    EXPECT_EQ(renderer->lastError(), nullptr);
    EXPECT_EQ(testing_gpu::commandsOfKind(harness.device->commands(), testing_gpu::CommandKind::PresentDrawable).size(),
              1u);
}

TEST_F(FrameCapture, EachFailureLeavesTheBufferAndOutputsAloneAndSaysWhy) {
    const auto lost = testing_gpu::makeDeviceError(-4, "device lost");
    struct Case {
        const char* what;
        std::function<void()> arrange;
        long code; // 0: `lost` passes through
    };
    const std::vector<Case> cases{
        {"not ready, no earlier error", [&] { renderer->setReady(false); }, 11},
        {"not ready, an earlier error",
         [&] {
             renderer->setReady(false);
             renderer->setLastError(lost);
         },
         0},
        {"no check texture", [&] { harness.device->failures.textures = true; }, 12},
        {"the view is gone", [&] { harness.view.reset(); }, 12},
        {"no render encoder", [&] { harness.device->failures.renderEncoderAt = harness.device->renderEncoderRequests(); },
         9},
        {"no command buffer", [&] { harness.device->failures.commandBuffer = true; }, 9},
        {"the GPU fails", [&] { harness.device->failures.execution = lost; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        harness.device->failures = {};
        SetUp();
        c.arrange();
        const ErrorRef lastErrorBefore = renderer->lastError();
        Bytes pixels{9, 9, 9};
        std::uint64_t width = 7, height = 7, checksum = 7, occupied = 7;
        ErrorRef error;
        EXPECT_FALSE(renderer->copyCurrentFramePixels(pixels, &width, &height, &error));
        EXPECT_EQ(pixels, (Bytes{9, 9, 9}));
        EXPECT_EQ(width, 7u);
        EXPECT_EQ(height, 7u);
        ASSERT_NE(error, nullptr);
        if (c.code == 0) {
            EXPECT_EQ(error, lost);
        } else {
            EXPECT_EQ(error->code(), c.code);
        }
        c.arrange(); // faults that fire once are armed again
        EXPECT_FALSE(renderer->captureFrameChecksum(&checksum, &occupied));
        EXPECT_EQ(checksum, 7u);
        EXPECT_EQ(occupied, 7u);
        ErrorRef pngError;
        c.arrange();
        EXPECT_EQ(renderer->captureFramePNGWithError(&pngError), nullptr);
        EXPECT_EQ(pngError->code(), error->code());
        EXPECT_EQ(renderer->lastError(), lastErrorBefore);
        harness.view = view::MetalView::initWithFrame({{0, 0}, {320, 180}}, harness.device);
    }
}

TEST_F(FrameCapture, ChecksumFoldsRedGreenBlueAndCountsPixelsAwayFromTheBackground) {
    std::uint64_t occupied = 99;
    EXPECT_EQ(checksumOf({22, 18, 15, 255}, &occupied), 0x045F5B18846347F6ull);
    EXPECT_EQ(occupied, 0u);
    checksumOf({22, 18, 23, 255}, &occupied); // red 23: a difference of 8
    EXPECT_EQ(occupied, 0u);
    checksumOf({22, 18, 24, 255}, &occupied);
    EXPECT_EQ(occupied, 1u);
    EXPECT_EQ(checksumOf({22, 18, 15, 0}), 0x045F5B18846347F6ull); // alpha is not folded in
    EXPECT_NE(checksumOf({22, 18, 16, 255}), 0x045F5B18846347F6ull);

    nextFrame(4, 2, {22, 18, 15, 255});
    EXPECT_TRUE(renderer->captureFrameChecksum(nullptr, nullptr));
}

TEST_F(FrameCapture, ThePNGHoldsTheReadBackColours) {
    const Bytes frame{10, 20, 30, 255, 200, 150, 100, 255};
    nextFrame(2, 1, frame);
    const auto png = renderer->captureFramePNGWithError();
    ASSERT_NE(png, nullptr);
    const auto decoded = graphics::decodePNG(*png);
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(decoded->width(), 2u);
    const auto bytes = decoded->bytes();
    EXPECT_EQ((Bytes{bytes[0], bytes[1], bytes[2], bytes[4], bytes[5], bytes[6]}), (Bytes{30, 20, 10, 100, 150, 200}));
}

TEST_F(FrameCapture, ImageAndEncodingFailuresGiveCodesThirteenAndFourteen) {
    for (const auto& [fault, code] :
         {std::pair{GraphicsFault::NoImageFromPixels, 13L}, std::pair{GraphicsFault::NoPNG, 14L}}) {
        const FailNextGraphicsCall failure(fault);
        ErrorRef error;
        EXPECT_EQ(renderer->captureFramePNGWithError(&error), nullptr);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), code);
        EXPECT_EQ(error->localizedDescription(), code == 13 ? "Prüfbild konnte nicht erzeugt werden."
                                                            : "Prüfbild konnte nicht als PNG kodiert werden.");
        EXPECT_NE(renderer->captureFramePNGWithError(), nullptr); // the fault was for one call only
    }
}

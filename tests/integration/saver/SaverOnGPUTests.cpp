// The saver view on the real GPU backend (lavapipe in CI) in off-screen
// windows, with the bundle as built and the validation layer on: any
// message it reports fails the test.
#include "saver/KORLANFlowScreenSaverView.h"

#include "tests/support/GpuTestSupport.h"
#include "tests/support/PlatformOverrides.h"
#include "tests/support/ProcessMemory.h"
#include "tests/support/ScratchConfigHome.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/view/Screen.h"
#include "platform/view/Window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

namespace {

constexpr int kCycles = 20;
// Rounds that let the driver's caches and its threads' heaps settle first.
constexpr int kWarmUpCycles = 5;
// The validation layer keeps about 12 KiB of its own records a cycle; a
// renderer left behind would hold megabytes (its logo alone is 1.6 MB).
constexpr std::size_t kHeapGrowthAllowed = 1024 * 1024;
constexpr std::int64_t kDisplay = 4242;
constexpr view::Rect kFrame{{0.0, 0.0}, {640.0, 360.0}};

class SaverOnGPU : public ::testing::Test {
protected:
    void SetUp() override {
        gpu::setDeviceOptions(validatedTestDeviceOptions());
        ASSERT_NE(gpu::Device::createSystemDefaultDevice(), nullptr) << "no Vulkan device, not even a software one";
        takeValidationMessages();
    }
    void TearDown() override {
        dispatch::MainQueue::shared().drain();
        EXPECT_THAT(takeValidationMessages(), ::testing::IsEmpty());
    }

    // A view of the principal class in an off-screen window of its own.
    static std::shared_ptr<KORLANFlowScreenSaverView> placedView(const std::shared_ptr<view::Window>& window,
                                                                 bool isPreview) {
        auto saver = KORLANFlowScreenSaverView::initWithFrame(kFrame, isPreview);
        window->contentView()->addSubview(saver);
        return saver;
    }
    static std::shared_ptr<view::Window> window() {
        return view::Window::initWithContentRect(
            kFrame, view::WindowStyleMaskBorderless,
            view::Screen::initWithFrame(kFrame, 1.0, {{view::kScreenNumberKey, kDisplay}}));
    }

    ScratchDirectoryVariable cacheHome{"XDG_CACHE_HOME"};
    ScratchConfigHome configHome;
    UseBundleForAddress builtBundle{foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH)};
};

// Starts the view and runs the loop until its renderer has presented
// frames; false when none came.
bool startAndPresent(KORLANFlowScreenSaverView& saver, std::uint64_t frames) {
    saver.startAnimation();
    const auto renderer = saver.renderer();
    return renderer && dispatch::MainQueue::shared().runUntil([&] { return renderer->presentedFrameCount() >= frames; },
                                                              std::chrono::seconds(20));
}

} // namespace

TEST_F(SaverOnGPU, StartStopCyclesPresentThePatternAndLeaveNoMemoryBehind) {
    const auto shownIn = window();
    const auto saver = placedView(shownIn, false);
    ASSERT_TRUE(startAndPresent(*saver, 2));
    std::uint64_t checksum = 0, occupied = 0;
    foundation::ErrorRef error;
    ASSERT_TRUE(saver->renderer()->captureFrameChecksum(&checksum, &occupied, &error))
        << (error ? error->localizedDescription() : "");
    EXPECT_GT(occupied, 640u * 360u / 2);
    saver->stopAnimation();
    const auto cycle = [&](int number) {
        ASSERT_TRUE(startAndPresent(*saver, 2)) << "cycle " << number;
        saver->stopAnimation();
        EXPECT_TRUE(saver->subviews().empty());
        EXPECT_EQ(saver->renderer(), nullptr);
        dispatch::MainQueue::shared().drain();
    };
    for (int number = 0; number < kWarmUpCycles; ++number) cycle(number);
    const auto before = ProcessMemory::now();

    for (int number = 0; number < kCycles; ++number) cycle(number);

    const auto after = ProcessMemory::now();
    std::cout << "before: " << before << "; after " << kCycles << " cycles: " << after << "\n";
    if (!kMemoryIsQuarantined) {
        EXPECT_LT(after.heapBytes, before.heapBytes + kHeapGrowthAllowed);
    }
}

TEST_F(SaverOnGPU, APreviewShowsTheBundlesPictureWithoutTheGPU) {
    const auto shownIn = window();
    const auto preview = placedView(shownIn, true);
    preview->startAnimation();
    ASSERT_NE(preview->settingsPreviewImage(), nullptr);
    ASSERT_NE(shownIn->contents(), nullptr);
    const auto image = shownIn->contents()->CGImage();
    // The pattern's picture: hardly a pixel of it is the flat background.
    std::size_t background = 0;
    for (std::uint32_t y = 0; y < image->height(); y += 8) {
        for (std::uint32_t x = 0; x < image->width(); x += 8) {
            const auto pixel = image->row(y).subspan(x * 4, 3);
            background += pixel[0] == 15 && pixel[1] == 18 && pixel[2] == 22;
        }
    }
    EXPECT_LT(background, 80u * 45u / 2);
    EXPECT_EQ(preview->renderer(), nullptr);
}
